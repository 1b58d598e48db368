#!/bin/bash
# Cross-builds zarvo.exe for 32-bit Windows into build-win32/ (with Zarvo.xm beside it), and the
# zip to hand on: build-win32/zarvo-VERSION-windows-x86.zip, one folder with zarvo.exe, Zarvo.xm
# and a read-me (platform/windows/windows_package.cmake).
#
#   tools/build-windows.sh [extra cmake options]
# Steps: libopenmpt for mingw into its cache (built once, tools/build-libopenmpt-mingw.sh); the
# data the host makes (Zarvo.xm, the icon) in build/ (tools/build-host-data.sh); then the
# configure preset win32 (cmake/toolchain-mingw32.cmake). Needs tools/install-deps.sh --windows.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="${ZARVO_JOBS:-2}"

prefix="$(tools/build-libopenmpt-mingw.sh | tail -n 1)"
tools/build-host-data.sh

echo "== zarvo.exe for i686-w64-mingw32"
cmake --preset win32 -DZARVO_LIBOPENMPT_PREFIX="$prefix" "$@" >/dev/null
cmake --build --preset win32 -j"$jobs"
(cd build-win32 && cpack >/dev/null)
echo "built: build-win32/zarvo.exe (run it beside build-win32/Zarvo.xm)"
echo "packed: $(ls build-win32/zarvo-*-windows-x86.zip)"
