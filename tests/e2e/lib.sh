# SPDX-License-Identifier: MIT
# What the end-to-end runners share: the tool's fixed texts, a fresh
# directory for each run, and the checks every run must pass.  Sourced by
# bash after `set -u`, with the tool's command as the runner's arguments:
#
#   source lib.sh; e2e_start "$@"
#
# Then `tool` holds the command (its program as an absolute path), `work` a
# fresh directory removed at exit, `work/run` the directory the tool runs
# in, and `work/banner` and `work/opening` the banner and the opening of
# every track.  `fail MESSAGE` reports a fault and makes the runner fail;
# `e2e_end` exits with the verdict.

e2e_dir=$(dirname "$(realpath "${BASH_SOURCE[0]}")")
examples=$(realpath "$e2e_dir/../../examples")

# The banner, the first 248 bytes of every run's output.
banner=$'\r\n\r\n------------------------------------\r\n  Programmet forutsetter at filen\r\n\r\n     log.xml\r\n\r\n  ligger i samme directory som\r\n  dette programmet startes fra.\r\n  Resultatet legges i\r\n\r\n     HREFTrack.txt\r\n-------------------------------------\r\n\r\n\r\n'
offset_prompt='Offset [tim min sek] = '
length_prompt='Eksakt spilletid [tim min sek hundr] = '
too_few=$'For faa argumenter\r\n\r\n'

e2e_start() {
  [ $# -gt 0 ] || { echo "usage: ${0##*/} ... COMMAND..." >&2; exit 2; }
  tool=("$@")
  # The program, the last word (an emulator may come first), must still be
  # found from the fresh directory.
  local program=${tool[-1]}
  if [ -f "$program" ]; then tool[-1]=$(realpath "$program"); fi
  work=$(mktemp -d)
  trap 'chmod -R u+rwx "$work" 2> /dev/null; rm -rf "$work"' EXIT
  mkdir "$work/run"
  # Every track opens with the header and the sample of slide 0: the first
  # three lines of the example's track, which the example test holds the
  # tool to byte for byte.
  head -n 3 "$examples/HREFTrack.expected.txt" > "$work/opening"
  printf '%s' "$banner" > "$work/banner"
  # Reports go to the runner's own output, even from a run whose output is closed.
  exec 5>&1
  failed=0
}

fail() {
  echo "$*" >&5
  failed=1
}

# Runs the rest of the line (a command and its redirections) with standard
# error into a file, then checks what every run must: it ended in time, with
# status 0 and nothing on standard error.
run_checked() {
  "$@" 2> "$work/stderr"
  local status=$?
  [ "$status" -eq 0 ] || fail "exit status $status, expected 0 (124: it did not end in time)"
  [ -s "$work/stderr" ] && fail "standard error is not empty: $(head -c 300 "$work/stderr" | cat -A)"
  return 0
}

# Prints FILE without its first bytes when they are those of PREFIX_FILE;
# returns 1, printing nothing, when they are not.
strip_prefix() {
  local file=$1 size
  size=$(wc -c < "$2")
  cmp -s -n "$size" "$2" "$file" || return 1
  tail -c +$((size + 1)) "$file"
}

e2e_end() {
  exit "$failed"
}
