#!/bin/bash
# Builds the web page into build-web/: zarvo.html, zarvo.js, zarvo.wasm, Zarvo.xm, zarvo.ico.
#
#   tools/build-web.sh [extra cmake options]
# Steps: libopenmpt and FreeType for WebAssembly into their cache (built once,
# tools/build-web-libs.sh); the data the host makes (Zarvo.xm, the icon) in build/
# (tools/build-host-data.sh); then the configure preset web through emcmake. Needs
# tools/install-deps.sh --web. Serve the folder with any static web server, e.g. tools/serve-web.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="${ZARVO_JOBS:-2}"
export NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs"

prefix="$(tools/build-web-libs.sh | tail -n 1)"
tools/build-host-data.sh

echo "== zarvo.html, zarvo.js and zarvo.wasm (Emscripten)"
emcmake cmake --preset web -DZARVO_WEB_PREFIX="$prefix" "$@" >/dev/null
cmake --build --preset web -j"$jobs"
echo "built: build-web/zarvo.html (serve the folder: tools/serve-web.sh)"
