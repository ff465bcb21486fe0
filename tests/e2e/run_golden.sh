#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs one end-to-end case: the tool in a fresh directory, its answers piped
# in, and every byte of its console output and of HREFTrack.txt compared.
#
#   run_golden.sh CASE COMMAND...
#
#   CASE.answers   what is piped to standard input
#   CASE.log       copied to log.xml, when it exists
#   CASE.setup     bash, run in the fresh directory before the tool, when it exists;
#                  when its first line is "# run as: an unprivileged user", the
#                  case is about file modes, which root ignores, so under root
#                  the setup and the tool run as the user nobody
#   CASE.expected  standard output after the banner, a line "==== HREFTrack.txt ====",
#                  then the track after its header and opening sample, or a note
#                  in parentheses when there is no plain file
#
# The banner and the track's opening are the same in every run, so they are
# checked here instead of being repeated in every CASE.expected: a track that
# does not begin with them is shown whole under "==== HREFTrack.txt, no
# opening ====".  HREFTRACK_UPDATE_GOLDEN=1 writes CASE.expected instead of
# comparing, for a new case: read what it wrote before you commit it.
set -u
case_path=$(realpath "$1")
shift

as_nobody=false
if [ -f "$case_path.setup" ] && [ "$(id -u)" = 0 ] &&
   [ "$(head -n 1 "$case_path.setup")" = "# run as: an unprivileged user" ]; then
  if ! command -v setpriv > /dev/null || ! id nobody > /dev/null 2>&1; then
    echo "skipped: as root, this case needs setpriv(1) and the user nobody"
    exit 77
  fi
  as_nobody=true
fi
# Asked at configure time only whether it would skip itself: it would not.
[ -z "${HREFTRACK_PROBE:-}" ] || exit 0

# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
e2e_start "$@"
run=$work/run

if [ -f "$case_path.log" ]; then cp "$case_path.log" "$run/log.xml"; fi

as_user=()
if $as_nobody; then
  as_user=(setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups)
  # Under Wine, nobody needs a Wine prefix of its own.
  if [ -n "${HREFTRACK_WINEPREFIX_UNPRIVILEGED:-}" ]; then
    export WINEPREFIX=$HREFTRACK_WINEPREFIX_UNPRIVILEGED
  fi
  chmod 755 "$work"
  chown -R nobody "$run"
  # The program may lie where nobody cannot reach it: run a copy.
  if [ -f "${tool[-1]}" ]; then
    cp "${tool[-1]}" "$work/"
    tool[-1]=$work/$(basename "${tool[-1]}")
    chmod 755 "${tool[-1]}"
  fi
fi

if [ -f "$case_path.setup" ]; then
  (cd "$run" && "${as_user[@]}" bash -e) < "$case_path.setup" || { echo "setup failed"; exit 1; }
fi

cd "$run" || exit 1
# The answers come through a pipe, as from a script that answers for the user.
run_checked "${as_user[@]}" timeout 20 "${tool[@]}" < <(cat "$case_path.answers") > "$work/stdout"

describe_track() {
  local track=$run/HREFTrack.txt
  if [ -L "$track" ]; then
    printf '\n==== HREFTrack.txt ====\n(a link to %s)\n' "$(readlink "$track")"
  elif [ -d "$track" ]; then
    printf '\n==== HREFTrack.txt ====\n(a directory)\n'
  elif [ ! -f "$track" ]; then
    printf '\n==== HREFTrack.txt ====\n(none)\n'
  elif strip_prefix "$track" "$work/opening" > "$work/track_body"; then
    printf '\n==== HREFTrack.txt ====\n'
    cat "$work/track_body"
  else
    printf '\n==== HREFTrack.txt, no opening ====\n'
    cat "$track"
  fi
}

if ! strip_prefix "$work/stdout" "$work/banner" > "$work/console_body"; then
  fail "standard output does not begin with the banner (cat -A): $(head -c 400 "$work/stdout" | cat -A)"
  cp "$work/stdout" "$work/console_body"
fi
{
  cat "$work/console_body"
  describe_track
} > "$work/actual"

# A C runtime that translates line ends (Windows, in text mode) turns the
# tool's CR LF into CR CR LF: name that fault before the byte comparison.
for output in "$work/stdout" "$run/HREFTrack.txt"; do
  if [ -f "$output" ] && [ ! -L "$output" ] && grep -q $'\r\r$' "$output"; then
    fail "$(basename "$output") holds CR CR LF: line ends were translated on the way out"
  fi
done

if [ "${HREFTRACK_UPDATE_GOLDEN:-0}" = 1 ]; then
  cp "$work/actual" "$case_path.expected"
  echo "wrote $case_path.expected"
elif ! cmp -s "$case_path.expected" "$work/actual"; then
  fail "output differs from $case_path.expected (cat -A: ^M is CR, \$ is LF):"
  diff <(cat -A "$case_path.expected") <(cat -A "$work/actual") | head -n 60
fi
e2e_end
