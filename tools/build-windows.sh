#!/bin/bash
# Cross-builds zarvo.exe for 32-bit Windows into build-win32/ (with Zarvo.xm beside it).
#
#   tools/build-windows.sh [extra cmake options]
# Steps: libopenmpt for mingw into its cache (built once, tools/build-libopenmpt-mingw.sh); the
# host tools that make the data (zarvo-compose, zarvo-make-icon) in build-win32/host; then the
# Windows build with cmake/toolchain-mingw32.cmake. Needs tools/install-deps.sh --windows.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="${ZARVO_JOBS:-2}"

prefix="$(tools/build-libopenmpt-mingw.sh | tail -n 1)"

echo "== host tools (module and icon)"
cmake -S . -B build-win32/host -G Ninja -DCMAKE_BUILD_TYPE=Release -DZARVO_TESTS=OFF >/dev/null
cmake --build build-win32/host -j"$jobs" --target zarvo_module zarvo-make-icon

echo "== zarvo.exe for i686-w64-mingw32"
cmake -S . -B build-win32 -G Ninja -DCMAKE_BUILD_TYPE=Release \
  --toolchain cmake/toolchain-mingw32.cmake \
  -DZARVO_LIBOPENMPT_PREFIX="$prefix" -DZARVO_HOST_BUILD="$PWD/build-win32/host" \
  -DZARVO_WERROR=ON -DZARVO_TESTS=ON "$@"
cmake --build build-win32 -j"$jobs"
echo "built: build-win32/zarvo.exe (run it beside build-win32/Zarvo.xm)"
