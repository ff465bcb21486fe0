#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package and the Windows zip of the last commit twice, in
# two fresh directories a moment apart, and requires byte-identical results.
# On a difference it shows diffoscope's report where diffoscope is
# installed, else the first differing byte.
#
#   tools/check-reproducible.sh
#
# Needs what tools/make-deb.sh needs, and g++-mingw-w64-x86-64-posix.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct)
export SOURCE_DATE_EPOCH

build_zip() {
  local tree=$work/zip-$1
  mkdir -p "$tree"
  git -C "$root" archive HEAD | tar -x -C "$tree"
  (cd "$tree" &&
    cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
      -DHREFTRACK_BUILD_TESTS=OFF > ../zip-$1.log 2>&1 &&
    cmake --build build-win --parallel 2 >> ../zip-$1.log 2>&1 &&
    cd build-win && cpack -G ZIP >> ../../zip-$1.log 2>&1) ||
    { tail -n 30 "$work/zip-$1.log"; exit 1; }
  mkdir -p "$work/out-$1"
  cp "$tree"/build-win/hreftrack-*-win64.zip "$work/out-$1/"
}

for n in 1 2; do
  "$root/tools/make-deb.sh" "$work/out-$n" > /dev/null
  build_zip "$n"
  sleep 1  # The second build starts at another second.
done

status=0
for first in "$work"/out-1/*; do
  second=$work/out-2/$(basename "$first")
  if cmp -s "$first" "$second"; then
    echo "identical: $(basename "$first") ($(stat -c %s "$first") bytes)"
  else
    echo "DIFFERENT: $(basename "$first")"
    if command -v diffoscope > /dev/null; then
      diffoscope "$first" "$second" | head -n 80 || true
    else
      cmp "$first" "$second" || true
    fi
    status=1
  fi
done
exit "$status"
