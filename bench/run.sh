#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Measures hreftrack against `grep -c '<slide>'` on the same logs, in the
# same run, and against the floor no converter can beat: reading the log
# (grep's time) plus writing as many bytes as the track holds with
# `dd bs=16384` in the same directory.  It prints the median wall time of
# several alternating runs of each, the ratios tool/grep and tool/floor,
# the tool's throughput and its peak resident memory; then runs the
# micro-benchmarks of the scanner and the writer.
#
#   bench/run.sh [RUNS [BASELINE]]
#
# BASELINE, another build of the tool (an earlier commit's, say), is run in
# the same rounds, paired with this one: its median, the ratio tool/baseline
# and its peak memory are printed too, and its track must be byte for byte
# the tool's.
#
# It builds an optimised tree in build-bench/ and makes its logs once, in
# $HREFTRACK_BENCH_DIR (default /tmp/hreftrack-bench): about 1.2 GB.  It
# needs Google Benchmark (libbenchmark-dev), GNU grep and /usr/bin/time.
set -euo pipefail
runs=${1:-7}
baseline=${2:+$(realpath "$2")}
top=$(cd "$(dirname "$0")/.." && pwd)
build=$top/build-bench
data=${HREFTRACK_BENCH_DIR:-/tmp/hreftrack-bench}

cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DHREFTRACK_BENCH=ON \
  -DHREFTRACK_BUILD_TESTS=OFF > /dev/null
cmake --build "$build" --parallel 2 > /dev/null
tool=$build/hreftrack

mkdir -p "$data"
if [ ! -f "$data/dense.xml" ] || [ ! -f "$data/sparse.xml" ]; then
  echo "making the logs in $data ..."
  "$build/bench/make_logs" "$data"
fi
# A 1 MB log, for the tool's memory on a small input.
head -c 1000000 "$data/sparse.xml" > "$data/small.xml"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '0 0 5\n0 2 10 50\n' > "$work/answers"

# Seconds since the epoch, to the microsecond.
now() { echo "${EPOCHREALTIME/,/.}"; }

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Peak resident memory of one conversion by TOOL (the tool by default), in KiB.
peak_kib() {
  (cd "$work" && /usr/bin/time -f %M "${1:-$tool}" < answers 2>&1 > /dev/null | tail -n 1)
}

# Seconds between two readings of now().
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { print b - a }'; }

measure() {
  local name=$1 log=$data/$1.xml
  ln -sf "$log" "$work/log.xml"
  cat "$log" > /dev/null  # Both read it from the page cache.
  local tool_times=() grep_times=() write_times=() baseline_times=()
  for _ in $(seq "$runs"); do
    local start after_tool after_grep end
    if [ -n "$baseline" ]; then
      start=$(now)
      (cd "$work" && cat answers | "$baseline" > /dev/null && mv HREFTrack.txt baseline.txt)
      baseline_times+=("$(elapsed "$start" "$(now)")")
    fi
    start=$(now)
    (cd "$work" && cat answers | "$tool" > /dev/null)
    after_tool=$(now)
    if [ -n "$baseline" ] && ! cmp -s "$work/baseline.txt" "$work/HREFTrack.txt"; then
      echo "$name: the baseline's track differs from the tool's" >&2
      exit 1
    fi
    # Not into /dev/null: grep would stop at the first match.
    (cd "$work" && LC_ALL=C grep -c '<slide>' log.xml > count)
    after_grep=$(now)
    dd if=/dev/zero of="$work/floor" bs=16384 count="$(stat -c %s "$work/HREFTrack.txt")" \
      iflag=count_bytes status=none
    end=$(now)
    tool_times+=("$(elapsed "$start" "$after_tool")")
    grep_times+=("$(elapsed "$after_tool" "$after_grep")")
    write_times+=("$(elapsed "$after_grep" "$end")")
  done
  local tool_median grep_median write_median bytes
  tool_median=$(printf '%s\n' "${tool_times[@]}" | median)
  grep_median=$(printf '%s\n' "${grep_times[@]}" | median)
  write_median=$(printf '%s\n' "${write_times[@]}" | median)
  bytes=$(stat -L -c %s "$log")
  awk -v name="$name" -v bytes="$bytes" -v tags="$(cat "$work/count")" -v tool="$tool_median" \
    -v grep="$grep_median" -v write="$write_median" -v track="$(stat -c %s "$work/HREFTrack.txt")" \
    -v peak="$(peak_kib)" 'BEGIN {
      printf "%-7s %5.0f MB  %8d tags  %4.0f MB track  peak %d KiB  %5.0f MB/s\n",
        name, bytes / 1e6, tags, track / 1e6, peak, bytes / 1e6 / tool
      printf "        tool %.3f s  grep %.3f s  write %.3f s  floor %.3f s  tool/grep %.2f  tool/floor %.2f\n",
        tool, grep, write, grep + write, tool / grep, tool / (grep + write) }'
  if [ -n "$baseline" ]; then
    awk -v tool="$tool_median" -v base="$(printf '%s\n' "${baseline_times[@]}" | median)" \
      -v peak="$(peak_kib "$baseline")" 'BEGIN {
        printf "        baseline %.3f s  tool/baseline %.3f  baseline peak %d KiB\n",
          base, tool / base, peak }'
  fi
  rm -f "$work/floor" "$work/baseline.txt"
}

echo "median of $runs alternating runs each; grep: $(grep --version | head -n 1)"
measure sparse
measure dense
ln -sf "$data/small.xml" "$work/log.xml"
echo "peak memory on a 1 MB log: $(peak_kib) KiB"
echo
"$build/bench/micro_bench"
