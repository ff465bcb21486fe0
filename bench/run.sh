#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Times hreftrack on three logs against the floor no converter can beat:
# reading the log (`grep -c '<slide>'`'s time) plus writing as many bytes as
# the track holds (`dd bs=16384`), and, paired with it in the same rounds,
# another build of the tool, the baseline (an earlier commit's, say).  Then
# runs the micro-benchmarks of the scanner and the writer.
#
#   bench/run.sh [ROUNDS [BASELINE]]
#
# The logs: dense (slide entries back to back, 3.6 million in 200 MB),
# declared (as dense, after an XML declaration, slide numbers of three
# digits) and sparse (prose, an entry every 100 KB, 1 GB).
#
# A ratio is only as fair as its pairing, so every timed run of every
# program starts from the same state: the same files in its directory, its
# output absent, and no other program's output waiting to be written (each
# output, the track, the count, the floor's file, is removed right after
# its run, and the disk synced), the log read into the page cache just
# before the round.  Within a round the tool and the baseline take turns
# at going first.  Each program is timed by bench/timed.cc: wall time and
# processor time (user plus system).  The script prints each program's
# medians, and the median and the middle half (the quartiles) of the
# per-round ratios, for wall and for processor time.
#
# Check the pairing before quoting a ratio: paired with a copy of the very
# build it times, it must say 1.00 within a few per cent on every log:
#
#   cp build-bench/hreftrack /tmp/same && bench/run.sh 21 /tmp/same
#
# The baseline's track must be the tool's, byte for byte.  It builds an
# optimised tree in build-bench/ and makes its logs once, in
# $HREFTRACK_BENCH_DIR (default /tmp/hreftrack-bench): about 1.4 GB.  It
# needs Google Benchmark (libbenchmark-dev), GNU grep and /usr/bin/time.
set -euo pipefail
rounds=${1:-11}
baseline=${2:+$(realpath "$2")}
top=$(cd "$(dirname "$0")/.." && pwd)
build=$top/build-bench
data=${HREFTRACK_BENCH_DIR:-/tmp/hreftrack-bench}

cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DHREFTRACK_BENCH=ON \
  -DHREFTRACK_BUILD_TESTS=OFF > /dev/null
cmake --build "$build" --parallel 2 > /dev/null
tool=$build/hreftrack
timed=$build/bench/timed

mkdir -p "$data"
if [ ! -f "$data/dense.xml" ] || [ ! -f "$data/declared.xml" ] || [ ! -f "$data/sparse.xml" ]; then
  echo "making the logs in $data ..."
  "$build/bench/make_logs" "$data"
fi
# A 1 MB log, for the tool's memory on a small input.
head -c 1000000 "$data/sparse.xml" > "$data/small.xml"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/tool" "$work/baseline" "$work/reference"
for dir in tool baseline; do printf '0 0 5\n0 2 10 50\n' > "$work/$dir/answers"; done

# Peak resident memory of one conversion by BUILD in DIR, in KiB.
peak_kib() {
  (cd "$2" && /usr/bin/time -f %M "$1" < answers 2>&1 > /dev/null | tail -n 1)
  rm -f "$2/HREFTrack.txt"
}

# Runs `timed DIR INPUT OUTPUT COMMAND...` for one program, from the same
# state every time: the FILE it makes absent, and nothing left to write to
# the disk.  Prints "wall cpu"; KEEP names a copy to make of FILE.
run() {
  local file=$1 keep=$2
  shift 2
  rm -f "$file"
  sync
  "$timed" "$@" | awk '{ printf "%.6f %.6f\n", $1, $2 + $3 }'
  if [ -n "$keep" ]; then cp "$file" "$keep"; fi
  rm -f "$file"
}

# The median and the quartiles of the numbers on standard input.
spread() {
  sort -g | awk '{ v[NR] = $1 }
    function q(p,   at, low) { at = 1 + p * (NR - 1); low = int(at); return v[low] + (at - low) * (v[low + 1] - v[low]) }
    END { printf "%.3f [%.3f-%.3f]", q(0.5), q(0.25), q(0.75) }'
}

measure() {
  local name=$1 log=$data/$1.xml
  ln -sf "$log" "$work/tool/log.xml"
  ln -sf "$log" "$work/baseline/log.xml"
  ln -sf "$log" "$work/reference/log.xml"
  : > "$work/times"
  local round first second track
  # The first round keeps a copy of each track, outside the timing.
  local kept_tool=$work/track.tool kept_baseline=$work/track.baseline
  for round in $(seq "$rounds"); do
    cat "$log" > /dev/null
    first=tool second=baseline
    if [ $((round % 2)) -eq 0 ]; then first=baseline second=tool; fi
    local -A times=()
    for who in $first $second; do
      if [ "$who" = tool ]; then
        times[tool]=$(run "$work/tool/HREFTrack.txt" "$kept_tool" "$work/tool" "$work/tool/answers" /dev/null \
                        "$tool")
      elif [ -n "$baseline" ]; then
        times[baseline]=$(run "$work/baseline/HREFTrack.txt" "$kept_baseline" "$work/baseline" \
                            "$work/baseline/answers" /dev/null "$baseline")
      fi
    done
    if [ "$round" -eq 1 ]; then
      track=$(stat -c %s "$work/track.tool")
      if [ -n "$baseline" ] && ! cmp -s "$work/track.tool" "$work/track.baseline"; then
        echo "$name: the baseline's track differs from the tool's" >&2
        exit 1
      fi
      rm -f "$work/track.tool" "$work/track.baseline"
      kept_tool="" kept_baseline=""
    fi
    # Into a file, not /dev/null: GNU grep would stop at the first match.
    times[grep]=$(run "$work/reference/count" "$work/count" "$work/reference" /dev/null "$work/reference/count" \
                    grep -c '<slide>' log.xml)
    times[write]=$(run "$work/reference/floor" "" "$work/reference" /dev/null /dev/null \
                     dd if=/dev/zero of=floor bs=16384 count="$track" iflag=count_bytes status=none)
    echo "${times[tool]} ${times[baseline]:-0 0} ${times[grep]} ${times[write]}" >> "$work/times"
  done
  # Columns: tool wall, cpu; baseline wall, cpu; grep wall, cpu; write wall, cpu.
  column() { awk "{ print $1 }" "$work/times" | spread; }
  awk -v name="$name" -v bytes="$(stat -L -c %s "$log")" -v events="$(cat "$work/count")" \
    -v track="$track" -v peak="$(peak_kib "$tool" "$work/tool")" 'BEGIN {
      printf "%s: %.0f MB, %d events, a track of %.0f MB; the tool'"'"'s peak memory %d KiB\n",
        name, bytes / 1e6, events, track / 1e6, peak }'
  echo "  medians of $rounds rounds, and of the per-round ratios with their middle half [quartiles]:"
  echo "  tool      wall $(column '$1') s   cpu $(column '$2') s"
  if [ -n "$baseline" ]; then
    echo "  baseline  wall $(column '$3') s   cpu $(column '$4') s  (peak $(peak_kib "$baseline" "$work/baseline") KiB)"
  fi
  echo "  grep      wall $(column '$5') s   write wall $(column '$7') s   floor (grep + write) wall $(column '$5 + $7') s"
  if [ -n "$baseline" ]; then
    echo "  tool/baseline  wall $(column '$1 / $3')   cpu $(column '$2 / $4')"
  fi
  echo "  tool/floor     wall $(column '$1 / ($5 + $7)')   tool/grep wall $(column '$1 / $5')"
}

echo "$rounds rounds; grep: $(grep --version | head -n 1)"
measure dense
measure declared
measure sparse
ln -sf "$data/small.xml" "$work/tool/log.xml"
echo "peak memory on a 1 MB log: $(peak_kib "$tool" "$work/tool") KiB"
echo
"$build/bench/micro_bench"
