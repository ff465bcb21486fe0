#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Converts the shipped example as the README does, in a fresh directory,
# and compares the track with the one shipped beside it.
#
#   run_example.sh COMMAND...
set -u
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
e2e_start "$@"
cp "$examples/log.xml" "$work/run/"
cd "$work/run" || exit 1
run_checked timeout 20 "${tool[@]}" < "$examples/answers.txt" > /dev/null
if ! cmp "$examples/HREFTrack.expected.txt" HREFTrack.txt; then
  fail "the example's track differs (cat -A):"
  diff <(cat -A "$examples/HREFTrack.expected.txt") <(cat -A HREFTrack.txt) | head -n 40
fi
e2e_end
