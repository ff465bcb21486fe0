#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Converts the shipped example as the README does, in a fresh directory,
# and compares the track with the one shipped beside it.
#
#   run_example.sh EXAMPLES_DIR COMMAND...
set -u
examples=$(realpath "$1")
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$examples/log.xml" "$work/"
(cd "$work" && exec timeout 20 "$@") < "$examples/answers.txt" > /dev/null || exit 1
if ! cmp "$examples/HREFTrack.expected.txt" "$work/HREFTrack.txt"; then
  diff <(cat -A "$examples/HREFTrack.expected.txt") <(cat -A "$work/HREFTrack.txt") | head -n 40
  exit 1
fi
