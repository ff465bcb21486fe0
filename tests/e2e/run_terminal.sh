#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# On a terminal every prompt must be on screen before the tool waits for
# the answer.  The tool writes to a pseudo-terminal under script(1) and reads
# its answers from a pipe, as when a helper program answers for the user, so
# no flush that comes with terminal input can hide a missing one; each answer
# is sent only once its prompt has shown.
#
#   run_terminal.sh COMMAND...
set -u
command -v script > /dev/null || { echo "skipped: apt-get install bsdutils, for script(1)"; exit 77; }
[ -z "${HREFTRACK_PROBE:-}" ] || exit 0
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
e2e_start "$@"
cp "$examples/log.xml" "$work/run/"
mkfifo "$work/run/keys"
(cd "$work/run" && exec timeout 30 script -qfec "$(printf '%q ' "${tool[@]}") < keys" /dev/null) \
  < /dev/null > "$work/screen" 2>&1 &
exec 3> "$work/run/keys"

# The screen as text.  Wine's console draws through escape sequences:
# it hides and shows the cursor around every character, and draws a blank
# as "erase to the end of the line, one column on".
screen_text() {
  sed -e 's/\x1b\[?25[lh]//g' -e 's/\x1b\[K\x1b\[1C/ /g' -e 's/\x1b\[[0-9;?]*[A-Za-z]//g' \
    "$work/screen"
}

# Waits up to ten seconds for `text` at the end of what the screen shows.
await() {
  for _ in $(seq 100); do
    [[ "$(screen_text)" == *"$1" ]] && return 0
    sleep 0.1
  done
  echo "the screen never ended in \"$1\"; it shows:"
  screen_text | cat -A
  exit 1
}

await "$offset_prompt"
printf '0 0 12\n' >&3
await "$length_prompt"
printf '0 41 37 20\n' >&3
exec 3>&-
wait
cmp "$examples/HREFTrack.expected.txt" "$work/run/HREFTrack.txt" || fail "the track differs"
e2e_end
