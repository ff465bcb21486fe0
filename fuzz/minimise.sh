#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Shrinks the seed corpora to the inputs that add coverage, with libFuzzer's
# -merge=1.  Named inputs (a regression input is named after what it found,
# a seed after what it shows) are always kept as they are; the inputs named
# by their SHA-1, which fuzzing found, are replaced by the merge's choice
# among them.
#
#   fuzz/minimise.sh BUILD_DIR     (a build configured with -DHREFTRACK_FUZZ=ON)
set -eu
build=$(realpath "$1")
corpus=$(realpath "$(dirname "$0")/corpus")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

is_hash_named() { [[ $(basename "$1") =~ ^[0-9a-f]{40}$ ]]; }

for name in answers conversion; do
  seeds=$corpus/answers
  [ "$name" = conversion ] && seeds=$corpus/log
  mkdir -p "$work/$name/merged" "$work/$name/found"
  for input in "$seeds"/*; do
    if is_hash_named "$input"; then cp "$input" "$work/$name/found/"; else cp "$input" "$work/$name/merged/"; fi
  done
  named=$(ls "$work/$name/merged" | wc -l)
  before=$(ls "$work/$name/found" | wc -l)
  "$build/fuzz/fuzz_$name" -merge=1 "$work/$name/merged" "$work/$name/found" \
    > "$work/$name/log" 2>&1 || { tail -n 20 "$work/$name/log"; exit 1; }
  for input in "$seeds"/*; do is_hash_named "$input" && rm "$input"; done
  for input in "$work/$name/merged"/*; do
    is_hash_named "$input" && cp "$input" "$seeds/"
  done
  after=$(find "$seeds" -type f | wc -l)
  echo "fuzz_$name: $named named inputs kept, $before found inputs merged into $((after - named))"
done
