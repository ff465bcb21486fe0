#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes or removes the Wine prefixes that the end-to-end tests of the
# Windows build share: one for the user running the tests and, under root,
# one for the user nobody, as whom the cases about file modes run.
#
#   wine_prefix.sh set-up|clean-up PREFIX UNPRIVILEGED_PREFIX WINE_LOADER
set -u
action=$1 prefix=$2 unprivileged=$3 wine=$4
server=$(dirname "$wine")/wineserver
export WINEDEBUG=-all

as_nobody=()
if [ "$(id -u)" = 0 ] && command -v setpriv > /dev/null && id nobody > /dev/null 2>&1; then
  as_nobody=(setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups)
fi

remove_prefix() {
  local path=$1
  shift
  [ -d "$path" ] && "$@" env WINEPREFIX="$path" "$server" -k 2> /dev/null
  rm -rf "$path" "$path.log"
}

# Wine fills a new prefix at its first start and says so on standard error;
# this does it once, quietly, so that the tests see a ready prefix.
#
# The prefix's server stays until clean-up.  A server that ends three
# seconds after its last client races the next test's client, which then
# fails with "Connection reset by peer".  Wine's own services, which a
# staying server keeps, are started here too, with the log as their output:
# started by a test, they would hold CTest's pipes open and CTest would wait.
make_prefix() {
  local path=$1
  shift
  remove_prefix "$path" "$@"
  mkdir -p "$path"
  [ $# -gt 0 ] && chown nobody "$path"
  "$@" env WINEPREFIX="$path" "$server" -p < /dev/null > "$path.log" 2>&1 &&
    "$@" env WINEPREFIX="$path" HOME="$path" "$wine" wineboot --init < /dev/null >> "$path.log" 2>&1 ||
    { cat "$path.log"; return 1; }
}

case $action in
  set-up)
    make_prefix "$prefix" || exit 1
    if [ ${#as_nobody[@]} -gt 0 ]; then make_prefix "$unprivileged" "${as_nobody[@]}" || exit 1; fi
    ;;
  clean-up)
    remove_prefix "$prefix"
    if [ ${#as_nobody[@]} -gt 0 ]; then remove_prefix "$unprivileged" "${as_nobody[@]}"; fi
    exit 0
    ;;
  *)
    echo "usage: wine_prefix.sh set-up|clean-up PREFIX UNPRIVILEGED_PREFIX WINE_LOADER" >&2
    exit 2
    ;;
esac
