#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The manual page renders without a warning from groff and reads well at 80
# columns, as man(1) shows it: no line wider than 80, no word hyphenated.
#
#   check_manual.sh PAGE
set -u
page=$1
command -v groff > /dev/null || { echo "skipped: apt-get install groff-base"; exit 77; }
[ -n "${HREFTRACK_PROBE:-}" ] && { command -v man > /dev/null || { echo "skipped: apt-get install man-db"; exit 77; }; exit 0; }
warnings=$(groff -ww -man -Tutf8 -z "$page" 2>&1)
[ -z "$warnings" ] || { echo "groff warns:"; echo "$warnings"; exit 1; }
command -v man > /dev/null || { echo "skipped: apt-get install man-db (groff found no fault)"; exit 77; }
rendered=$(MANWIDTH=80 MAN_KEEP_FORMATTING= man -l "$page" 2> /dev/null)
[ -n "$rendered" ] || { echo "man -l rendered nothing"; exit 1; }
failed=0
width=$(printf '%s\n' "$rendered" | LC_ALL=C.UTF-8 wc -L)
if [ "$width" -gt 80 ]; then
  echo "lines wider than 80 columns ($width):"
  while IFS= read -r line; do
    [ "$(printf '%s' "$line" | LC_ALL=C.UTF-8 wc -L)" -gt 80 ] && printf '%s\n' "$line"
  done <<< "$rendered"
  failed=1
fi
# man shows a hyphen that breaks a word as U+2010 at the end of a line.
if printf '%s\n' "$rendered" | grep -n $'\xe2\x80\x90$\|[[:alpha:]]-$'; then
  echo "hyphenated words, above"
  failed=1
fi
exit "$failed"
