#!/bin/bash
# Builds the web page into build-web/: zarvo.html, zarvo.js, zarvo.wasm, Zarvo.xm, zarvo.ico.
#
#   tools/build-web.sh [extra cmake options]
# Steps: libopenmpt and FreeType for WebAssembly into their cache (built once,
# tools/build-web-libs.sh); the host tools that make the data (zarvo-compose, zarvo-make-icon) in
# build-web/host; then the web build with Emscripten. Needs tools/install-deps.sh --web.
# Serve the folder with any static web server, e.g. tools/serve-web.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="${ZARVO_JOBS:-2}"
export NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs"

prefix="$(tools/build-web-libs.sh | tail -n 1)"

echo "== host tools (module and icon)"
cmake -S . -B build-web/host -G Ninja -DCMAKE_BUILD_TYPE=Release -DZARVO_TESTS=OFF >/dev/null
cmake --build build-web/host -j"$jobs" --target zarvo_module zarvo-make-icon

echo "== zarvo.html, zarvo.js and zarvo.wasm (Emscripten)"
emcmake cmake -S . -B build-web -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DZARVO_WEB_PREFIX="$prefix" -DZARVO_HOST_BUILD="$PWD/build-web/host" \
  -DZARVO_WERROR=ON -DZARVO_TESTS=ON "$@" >/dev/null
cmake --build build-web -j"$jobs"
echo "built: build-web/zarvo.html (serve the folder: tools/serve-web.sh)"
