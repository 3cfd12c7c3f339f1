#!/usr/bin/env bash
# The Debian package: named for the version and architecture, its dependencies computed from the
# binaries plus the Mesa drivers loaded at run time, its programs run from where it is unpacked,
# and lintian finds no error in it.
set -u
source "$(dirname "$0")/lib/expect.bash" "$1"
BUILD=$(cd "$1" && pwd)
VERSION=$(sed -n 's/^project(quadray VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
DEB="$OUT/quadray_${VERSION}_$(dpkg --print-architecture).deb"

(cd "$OUT" && cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$OUT" >"$OUT/cpack.log" 2>&1)
expect "cpack status" 0 "$?"
expect "package file" yes "$([ -s "$DEB" ] && echo yes)"

depends=$(dpkg-deb -f "$DEB" Depends 2>/dev/null | tr -d ' ' | tr ',' '\n')
for package in libc6 libstdc++6 libpng16-16 libglut3.12 libegl1 libegl-mesa0 libgl1-mesa-dri; do
    expect "depends on $package" 1 "$(grep -c "^$package\b" <<<"$depends")"
done
expect "description" 1 "$(dpkg-deb -f "$DEB" Description 2>/dev/null | grep -c '^quadray - \|^ quadray renders')"

dpkg-deb -x "$DEB" "$OUT/root"
expect "unpacked manual page" yes "$([ -s "$OUT/root/usr/share/man/man1/quadray-render.1.gz" ] && echo yes)"
version=$("$OUT/root/usr/bin/quadray-render" --version 2>/dev/null)
status=$?
if [ "$status" -eq 2 ]; then
    echo "SKIP quadray-render --version: the program does not know the option yet"
else
    expect "--version status" 0 "$status"
    expect "--version" "quadray-render $VERSION" "$version"
fi

lintian --no-tag-display-limit "$DEB" >"$OUT/lintian.log" 2>&1
grep '^[EW]:' "$OUT/lintian.log"
expect "lintian errors" "" "$(grep '^E:' "$OUT/lintian.log")"

finish
