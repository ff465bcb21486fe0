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
# A tool given by a relative path must still be found from the fresh directory.
if [ -f "$1" ]; then set -- "$(realpath "$1")" "${@:2}"; fi
here=$(realpath "$(dirname "$0")")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/run"
cd "$work/run" || exit 1

# Reports go to the script's own output, even from a run whose output is closed.
exec 5>&1
failed=0
fail() {
  echo "$name: $*" >&5
  failed=1
}

# shellcheck source=tests/tool_texts.sh
source "$here/tool_texts.sh"
printf '%s' "$banner" > "$work/banner"
offset_prompt='Offset [tim min sek] = '
length_prompt='Eksakt spilletid [tim min sek hundr] = '
too_few=$'For faa argumenter\r\n\r\n'

# The track for offset 0 0 5 and play length 0 2 10 50, with the samples
# given as arguments, a stamp and a slide number each.
expect_track() {
  {
    printf '%s\r\n[00:00:00.00]\r\nA<foil0.html> T<myfoil>\r\n' "$header"
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

# Runs the tool with the redirections given (answers come through a pipe,
# from process substitution, so that the checks run in this shell), then checks the status,
# standard error and, unless told otherwise, standard output and the track.
run() {
  "$@" 2> "$work/stderr"
  local status=$?
  [ "$status" -eq 0 ] || fail "exit status $status, expected 0 (124: it did not end in time)"
  [ -s "$work/stderr" ] && fail "standard error is not empty: $(head -c 300 "$work/stderr" | cat -A)"
}

check_stdout() {
  cmp -s "$work/expected_stdout" "$work/stdout" ||
    fail "standard output differs: $(cmp "$work/expected_stdout" "$work/stdout" 2>&1)"
}

check_track() {
  if [ -n "${1:-}" ]; then
    [ -e HREFTrack.txt ] && fail "HREFTrack.txt was created"
  else
    cmp -s "$work/expected_track" HREFTrack.txt ||
      fail "HREFTrack.txt differs: $(cmp "$work/expected_track" HREFTrack.txt 2>&1)"
  fi
}

answers=$'0 0 5\n0 2 10 50\n'
one_entry=$'<entry><slide>1</slide><time>00:00:10</time></entry>\r\n'

case $name in
  stdin_dev_null | stdin_closed)
    printf '%s' "$one_entry" > log.xml
    { cat "$work/banner"; printf '%s%s' "$offset_prompt" "$too_few"; } > "$work/expected_stdout"
    if [ "$name" = stdin_dev_null ]; then
      run timeout 10 "$@" < /dev/null > "$work/stdout"
    else
      run timeout 10 "$@" <&- > "$work/stdout"
    fi
    check_stdout
    check_track none
    ;;

  stdout_closed)
    printf '%s' "$one_entry" > log.xml
    expect_track '[00:00:15.00]' 1
    run timeout 10 "$@" < <(printf '%s' "$answers") >&-
    check_track
    ;;

  stdout_reader_gone)
    # Standard output is a pipe whose reader has gone: every console write
    # fails, and the track is still written whole.
    printf '%s' "$one_entry" > log.xml
    expect_track '[00:00:15.00]' 1
    mkfifo "$work/pipe"
    exec 3<> "$work/pipe" 4> "$work/pipe" 3<&-
    run timeout 10 "$@" < <(printf '%s' "$answers") >&4
    exec 4>&-
    check_track
    ;;

  answer_megabyte)
    # One line of 1 MiB: the offset takes its first 49 characters, and
    # every further piece of 49 is refused as a play length.
    printf '%s' "$one_entry" > log.xml
    length=1048576
    { printf '0 0 5'; head -c $((length - 5)) /dev/zero | tr '\0' x; printf '\n0 2 10 50\n'; } \
      > "$work/answers"
    pieces=$(((length - 49) / 49 + 1))
    {
      cat "$work/banner"
      printf '%s' "$offset_prompt"
      for _ in $(seq "$pieces"); do printf '%s%s' "$length_prompt" "$too_few"; done
      printf '%s' "$length_prompt"
    } > "$work/expected_stdout"
    expect_track '[00:00:15.00]' 1
    run timeout 20 "$@" < <(cat "$work/answers") > "$work/stdout"
    check_stdout
    check_track
    ;;

  log_random_bytes)
    # 1 MiB of bytes from a fixed seed; no "<slide>" among them.
    LC_ALL=C awk 'BEGIN { srand(20261208); for (i = 0; i < 1048576; i++) printf "%c", int(rand() * 256) }' \
      > log.xml
    [ "$(stat -c %s log.xml)" -ge 1000000 ] || fail "the random log came out short"
    expect_quiet_console
    expect_track
    run timeout 20 "$@" < <(printf '%s' "$answers") > "$work/stdout"
    check_stdout
    check_track
    ;;

  log_50mb_one_line)
    # 50 MB without a line end, and one slide at its very end.
    { head -c 50000000 /dev/zero | tr '\0' x; printf '<slide>9</slide><time>00:00:01</time>'; } > log.xml
    expect_quiet_console
    expect_track '[00:00:06.00]' 9
    run timeout 20 "$@" < <(printf '%s' "$answers") > "$work/stdout"
    check_stdout
    check_track
    ;;

  log_million_tags)
    # The first tag's search swallows the million after it and finds the
    # hours in the 1 at the end: one sample, of an empty slide number.
    { yes '<slide>' | head -n 1000000 | tr -d '\n'; printf '1 0:0:1'; } > log.xml
    expect_quiet_console
    expect_track '[01:00:05.00]' ''
    run timeout 20 "$@" < <(printf '%s' "$answers") > "$work/stdout"
    check_stdout
    check_track
    ;;

  *)
    echo "no hostile case named $name"
    exit 2
    ;;
esac
exit "$failed"
