#!/bin/bash
# Builds libopenmpt and FreeType for WebAssembly (Emscripten) from Debian's source packages, as
# static libraries, into a cache folder outside the checkout that later builds reuse.
#
#   tools/build-web-libs.sh            build what the cache does not hold yet
#   tools/build-web-libs.sh --force    build both again
# Prints the install prefix (the cache folder) on its last line.
#
# Sources come through apt-get with a private list of deb-src entries made from the system's own
# apt sources (tools/fetch-debian-source.sh). Emscripten's own ports are not used: they download
# their sources. Needs emscripten, dpkg-dev, make and cmake (tools/install-deps.sh --web).
set -euo pipefail
cd "$(dirname "$0")/.."

prefix="${ZARVO_WEB_PREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/zarvo/web}"
jobs="${ZARVO_JOBS:-2}"
force=no
[ "${1:-}" = "--force" ] && force=yes

for tool in emcc emconfigure emmake emcmake dpkg-source make cmake; do
  if ! command -v "$tool" >/dev/null; then
    echo "build-web-libs: '$tool' is missing (tools/install-deps.sh --web installs it)" >&2
    exit 1
  fi
done
# Debian's emscripten finds its JavaScript parser among Debian's node modules; a Node.js from
# elsewhere does not look there by itself.
export NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs"

work="$(mktemp -d "${TMPDIR:-/tmp}/zarvo-weblibs.XXXXXX")"
trap 'rm -rf "$work"' EXIT
mkdir -p "$prefix"

if [ "$force" = yes ] || [ ! -f "$prefix/lib/libopenmpt.a" ]; then
  source_dir="$(tools/fetch-debian-source.sh libopenmpt "$work" | tail -n 1)"
  echo "== libopenmpt for wasm32 (static, no optional codecs)" >&2
  # config.sub knows no emscripten host; the compilers are emcc's all the same.
  (cd "$source_dir" &&
    emconfigure ./configure --host=wasm32-unknown-none --prefix="$prefix" \
      CFLAGS="-O2" CXXFLAGS="-O2" \
      --disable-shared --enable-static \
      --disable-openmpt123 --disable-examples --disable-tests --disable-doxygen-doc \
      --without-zlib --without-mpg123 --without-ogg --without-vorbis --without-vorbisfile \
      --without-pulseaudio --without-portaudio --without-portaudiocpp --without-sndfile \
      --without-flac >&2 &&
    emmake make -j"$jobs" >&2 &&
    emmake make install >&2)
  echo "libopenmpt for wasm32: installed" >&2
else
  echo "libopenmpt for wasm32: already built" >&2
fi

if [ "$force" = yes ] || [ ! -f "$prefix/lib/libfreetype.a" ]; then
  source_dir="$(tools/fetch-debian-source.sh freetype "$work" | tail -n 1)"
  echo "== FreeType for wasm32 (static, no optional dependencies)" >&2
  emcmake cmake -S "$source_dir" -B "$work/freetype-build" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF \
    -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
    -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON >&2
  cmake --build "$work/freetype-build" -j"$jobs" >&2
  cmake --install "$work/freetype-build" >&2
  echo "FreeType for wasm32: installed" >&2
else
  echo "FreeType for wasm32: already built" >&2
fi
echo "$prefix"
