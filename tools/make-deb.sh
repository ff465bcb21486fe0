#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian source package and binary package of the last commit
# with dpkg-buildpackage, in a fresh copy of that commit, and puts
# hreftrack_<version>.dsc with its tarball and hreftrack_<version>_<arch>.deb
# into OUT_DIR.  Uncommitted changes are not in it.  SOURCE_DATE_EPOCH is the
# commit's time, so two builds of one commit give the same bytes wherever
# and whenever they run.
#
#   tools/make-deb.sh [OUT_DIR]      (default: build)
#
# Needs dpkg-dev, debhelper, cmake and g++.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-build}")
version=$(dpkg-parsechangelog -l "$root/debian/changelog" -S Version)
# The version lives in project() too; the two must agree.
project_version=$(sed -n 's/^project(hreftrack VERSION \([0-9.]*\) .*/\1/p' "$root/CMakeLists.txt")
if [ "$version" != "$project_version" ]; then
  echo "debian/changelog says $version, CMakeLists.txt says $project_version" >&2
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
git -C "$root" archive --format=tar --prefix="hreftrack-$version/" HEAD | tar -x -C "$work"
SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct)
export SOURCE_DATE_EPOCH
# The source package first, from the untouched copy; then the binaries.
(cd "$work/hreftrack-$version" &&
  dpkg-buildpackage -us -uc -S > ../source.log 2>&1) ||
  { tail -n 40 "$work/source.log"; exit 1; }
(cd "$work/hreftrack-$version" &&
  DEB_BUILD_OPTIONS="${DEB_BUILD_OPTIONS:-} noddebs" dpkg-buildpackage -us -uc -b > ../build.log 2>&1) ||
  { tail -n 40 "$work/build.log"; exit 1; }
mkdir -p "$out"
cp "$work"/hreftrack_"$version".dsc "$work"/hreftrack_"$version".tar.* "$work"/hreftrack_"$version"_*.deb "$out/"
ls "$out"/hreftrack_"$version".dsc "$out"/hreftrack_"$version"_*.deb
