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
#                  then the track file after its header line, or a note in
#                  parentheses when there is no plain file
#
# The banner and the track header are the same in every case, so they are
# checked here once instead of being repeated in every CASE.expected: the
# console output must begin with the banner, and a track that does not begin
# with the header is shown whole under "==== HREFTrack.txt, no header ====".
#
# The run must also end within its time, with status 0 and nothing on
# standard error.  HREFTRACK_UPDATE_GOLDEN=1 writes CASE.expected instead of
# comparing, for a new case: read what it wrote before you commit it.
set -u

# shellcheck source=tests/tool_texts.sh
source "$(dirname "$(realpath "$0")")/tool_texts.sh"
case_path=$(realpath "$1")
shift
[ $# -gt 0 ] || { echo "usage: run_golden.sh CASE COMMAND..." >&2; exit 2; }
# A tool given by a relative path must still be found from the fresh directory.
if [ -f "$1" ]; then set -- "$(realpath "$1")" "${@:2}"; fi

work=$(mktemp -d)
trap 'chmod -R u+rwx "$work" 2>/dev/null; rm -rf "$work"' EXIT
mkdir "$work/run"

if [ -f "$case_path.log" ]; then cp "$case_path.log" "$work/run/log.xml"; fi

as_user=()
if [ -f "$case_path.setup" ] && [ "$(id -u)" = 0 ] &&
   [ "$(head -n 1 "$case_path.setup")" = "# run as: an unprivileged user" ]; then
  if ! command -v setpriv > /dev/null || ! id nobody > /dev/null 2>&1; then
    echo "skipped: as root, this case needs setpriv(1) and the user nobody"
    exit 77
  fi
  as_user=(setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups)
  # Under Wine, nobody needs a Wine prefix of its own.
  if [ -n "${HREFTRACK_WINEPREFIX_UNPRIVILEGED:-}" ]; then
    export WINEPREFIX=$HREFTRACK_WINEPREFIX_UNPRIVILEGED
  fi
  chmod 755 "$work"
  chown -R nobody "$work/run"
  # The tool, the last word of the command (the first may be Wine), may lie
  # where nobody cannot reach it: run a copy.
  tool=${!#}
  if [ -f "$tool" ]; then
    cp "$tool" "$work/"
    chmod 755 "$work/$(basename "$tool")"
    set -- "${@:1:$#-1}" "$work/$(basename "$tool")"
  fi
fi

if [ -f "$case_path.setup" ]; then
  (cd "$work/run" && "${as_user[@]}" bash -e) < "$case_path.setup" || { echo "setup failed"; exit 1; }
fi

cat "$case_path.answers" | (cd "$work/run" && exec "${as_user[@]}" timeout 20 "$@") \
  > "$work/stdout" 2> "$work/stderr"
status=$?

failed=0

# Prints the file without its first bytes when they are `prefix`; returns 1,
# printing nothing, when they are not.
strip_prefix() {
  local file=$1 prefix=$2
  cmp -s -n "${#prefix}" <(printf '%s' "$prefix") "$file" || return 1
  tail -c +$((${#prefix} + 1)) "$file"
}

describe_track() {
  local track=$work/run/HREFTrack.txt
  if [ -L "$track" ]; then
    printf '\n==== HREFTrack.txt ====\n(a link to %s)\n' "$(readlink "$track")"
  elif [ -d "$track" ]; then
    printf '\n==== HREFTrack.txt ====\n(a directory)\n'
  elif [ ! -f "$track" ]; then
    printf '\n==== HREFTrack.txt ====\n(none)\n'
  elif strip_prefix "$track" "$header"$'\r\n' > "$work/track_body"; then
    printf '\n==== HREFTrack.txt ====\n'
    cat "$work/track_body"
  else
    printf '\n==== HREFTrack.txt, no header ====\n'
    cat "$track"
  fi
}

# LC_ALL=C: the banner's length is counted in bytes.
export LC_ALL=C
if ! strip_prefix "$work/stdout" "$banner" > "$work/console_body"; then
  echo "standard output does not begin with the banner (cat -A):"
  head -c 400 "$work/stdout" | cat -A
  echo
  failed=1
  cp "$work/stdout" "$work/console_body"
fi
{
  cat "$work/console_body"
  describe_track
} > "$work/actual"
if [ "$status" -ne 0 ]; then
  echo "exit status $status, expected 0 (124: it did not end within 20 seconds)"
  failed=1
fi
if [ -s "$work/stderr" ]; then
  echo "standard error is not empty:"
  cat -A "$work/stderr" | head -n 20
  failed=1
fi

# A C runtime that translates line ends (Windows, in text mode) turns the
# tool's CR LF into CR CR LF: name that fault before the byte comparison.
for output in "$work/stdout" "$work/run/HREFTrack.txt"; do
  if [ -f "$output" ] && [ ! -L "$output" ] && grep -q $'\r\r$' "$output"; then
    echo "$(basename "$output") holds CR CR LF: line ends were translated on the way out"
    failed=1
  fi
done

if [ "${HREFTRACK_UPDATE_GOLDEN:-0}" = 1 ]; then
  cp "$work/actual" "$case_path.expected"
  echo "wrote $case_path.expected"
elif ! cmp -s "$case_path.expected" "$work/actual"; then
  echo "output differs from $case_path.expected (cat -A: ^M is CR, \$ is LF):"
  diff <(cat -A "$case_path.expected") <(cat -A "$work/actual") | head -n 60
  failed=1
fi
exit "$failed"
