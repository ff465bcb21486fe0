#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Hostile input end to end: inputs too large or too odd to keep as golden
# files are made here, and standard input and output are closed or cut.
# Each case must end within its time, with status 0, nothing on standard
# error and exactly the expected console output and track.
#
#   run_hostile.sh CASE COMMAND...
set -u
name=$1
shift
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
e2e_start "$@"
cd "$work/run" || exit 1

# The track for offset 0 0 5 and play length 0 2 10 50, with the samples
# given as arguments, a stamp and a slide number each.
expect_track() {
  {
    cat "$work/opening"
    while [ $# -gt 0 ]; do
      printf '%s\r\nA<foil%s.html> T<myfoil>\r\n' "$1" "$2"
      shift 2
    done
    printf '[00:02:10.50]\r\n'
  } > "$work/expected_track"
}

# Console output of a run whose two answers are accepted at once.
expect_quiet_console() {
  { cat "$work/banner"; printf '%s%s' "$offset_prompt" "$length_prompt"; } > "$work/expected_stdout"
}

check_stdout() {
  cmp -s "$work/expected_stdout" "$work/stdout" ||
    fail "standard output differs: $(cmp "$work/expected_stdout" "$work/stdout" 2>&1)"
}

check_track() {
  cmp -s "$work/expected_track" HREFTrack.txt ||
    fail "HREFTrack.txt differs: $(cmp "$work/expected_track" HREFTrack.txt 2>&1)"
}

# Runs the tool on answers that are accepted at once, its output in a file,
# and checks the console and the track.
convert() {
  expect_quiet_console
  run_checked timeout 20 "${tool[@]}" < <(printf '0 0 5\n0 2 10 50\n') > "$work/stdout"
  check_stdout
  check_track
}

one_entry=$'<entry><slide>1</slide><time>00:00:10</time></entry>\r\n'

case $name in
  stdin_dev_null | stdin_closed)
    printf '%s' "$one_entry" > log.xml
    { cat "$work/banner"; printf '%s%s' "$offset_prompt" "$too_few"; } > "$work/expected_stdout"
    if [ "$name" = stdin_dev_null ]; then
      run_checked timeout 10 "${tool[@]}" < /dev/null > "$work/stdout"
    else
      run_checked timeout 10 "${tool[@]}" <&- > "$work/stdout"
    fi
    check_stdout
    [ -e HREFTrack.txt ] && fail "HREFTrack.txt was created"
    ;;

  stdout_closed | stdout_reader_gone)
    # Every console write fails, and the track is still written whole: with
    # standard output closed, or a pipe whose reader has gone.
    printf '%s' "$one_entry" > log.xml
    expect_track '[00:00:15.00]' 1
    if [ "$name" = stdout_closed ]; then
      run_checked timeout 10 "${tool[@]}" < <(printf '0 0 5\n0 2 10 50\n') >&-
    else
      mkfifo "$work/pipe"
      exec 3<> "$work/pipe" 4> "$work/pipe" 3<&-
      run_checked timeout 10 "${tool[@]}" < <(printf '0 0 5\n0 2 10 50\n') >&4
      exec 4>&-
    fi
    check_track
    ;;

  answer_megabyte)
    # One line of 1 MiB: the offset takes its first 49 characters, and
    # every further piece of 49 is refused as a play length.
    printf '%s' "$one_entry" > log.xml
    length=1048576
    pieces=$(((length - 49) / 49 + 1))
    {
      cat "$work/banner"
      printf '%s' "$offset_prompt"
      for _ in $(seq "$pieces"); do printf '%s%s' "$length_prompt" "$too_few"; done
      printf '%s' "$length_prompt"
    } > "$work/expected_stdout"
    expect_track '[00:00:15.00]' 1
    run_checked timeout 20 "${tool[@]}" \
      < <(printf '0 0 5'; head -c $((length - 5)) /dev/zero | tr '\0' x; printf '\n0 2 10 50\n') \
      > "$work/stdout"
    check_stdout
    check_track
    ;;

  log_random_bytes)
    # 1 MiB of bytes from a fixed seed; no "<slide>" among them.
    LC_ALL=C awk 'BEGIN { srand(20261208); for (i = 0; i < 1048576; i++) printf "%c", int(rand() * 256) }' \
      > log.xml
    [ "$(wc -c < log.xml)" -ge 1000000 ] || fail "the random log came out short"
    expect_track
    convert
    ;;

  log_50mb_one_line)
    # 50 MB without a line end, and one slide at its very end.
    { head -c 50000000 /dev/zero | tr '\0' x; printf '<slide>9</slide><time>00:00:01</time>'; } > log.xml
    expect_track '[00:00:06.00]' 9
    convert
    ;;

  log_million_tags)
    # The first tag's search swallows the million after it and finds the
    # hours in the 1 at the end: one sample, of an empty slide number.
    { yes '<slide>' | head -n 1000000 | tr -d '\n'; printf '1 0:0:1'; } > log.xml
    expect_track '[01:00:05.00]' ''
    convert
    ;;

  *)
    echo "no hostile case named $name"
    exit 2
    ;;
esac
e2e_end
