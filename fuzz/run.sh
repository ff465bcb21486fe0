#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs every fuzzer of a fuzzing build for a bounded time, starting from the
# seed corpus and from the example's and the golden cases' logs and answers,
# and fails on the first finding, printing the input that found it.  The
# seed corpus in the tree is never changed.
#
#   fuzz/run.sh BUILD_DIR [SECONDS_EACH]
set -u
build=$(realpath "$1")
seconds=${2:-60}
seeds=$(realpath "$(dirname "$0")/corpus")
root=$(realpath "$(dirname "$0")/..")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

status=0
for name in answers conversion; do
  corpus=$seeds/answers
  [ "$name" = conversion ] && corpus=$seeds/log
  mkdir -p "$work/$name/corpus" "$work/$name/cases"
  if [ "$name" = answers ]; then
    cases=("$root"/examples/answers.txt "$root"/tests/e2e/data/*.answers)
  else
    cases=("$root"/examples/log.xml "$root"/tests/e2e/data/*.log)
  fi
  for input in "${cases[@]}"; do cp "$input" "$work/$name/cases/$(basename "$input")"; done
  echo "fuzz_$name: $seconds s"
  if ! (cd "$work/$name" && "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=512 -malloc_limit_mb=128 -print_final_stats=1 corpus "$corpus" cases \
        > log 2>&1); then
    echo "fuzz_$name found a fault:"
    tail -n 40 "$work/$name/log"
    for input in "$work/$name"/crash-* "$work/$name"/leak-* "$work/$name"/timeout-* \
                 "$work/$name"/oom-*; do
      [ -f "$input" ] || continue
      echo "input $(basename "$input"), in hex:"
      od -A d -t x1 "$input" | head -n 40
    done
    status=1
  else
    grep -E '^stat::number_of_executed_units|^Done' "$work/$name/log"
  fi
done
exit "$status"
