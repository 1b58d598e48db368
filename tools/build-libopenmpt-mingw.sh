#!/bin/bash
# Builds libopenmpt as a static library for 32-bit Windows (i686-w64-mingw32) from Debian's source
# package, into a cache folder outside the checkout that later builds reuse.
#
#   tools/build-libopenmpt-mingw.sh            build unless the cache already holds the library
#   tools/build-libopenmpt-mingw.sh --force    build again
# Prints the install prefix (the cache folder) on its last line.
#
# The source comes through apt-get with a private list of deb-src entries made from the system's
# own apt sources (tools/fetch-debian-source.sh). Needs the mingw-w64
# compiler (g++-mingw-w64-i686, posix threads variant), dpkg-dev and make.
set -euo pipefail

prefix="${ZARVO_MINGW_PREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/zarvo/mingw32}"
host=i686-w64-mingw32
marker="$prefix/lib/libopenmpt.a"

if [ "${1:-}" != "--force" ] && [ -f "$marker" ] && [ -f "$prefix/lib/pkgconfig/libopenmpt.pc" ]; then
  echo "libopenmpt for $host: already built" >&2
  echo "$prefix"
  exit 0
fi

for tool in "$host-g++-posix" "$host-gcc-posix" dpkg-source make; do
  if ! command -v "$tool" >/dev/null; then
    echo "build-libopenmpt-mingw: '$tool' is missing (tools/install-deps.sh --windows installs it)" >&2
    exit 1
  fi
done

cd "$(dirname "$0")/.."
work="$(mktemp -d "${TMPDIR:-/tmp}/zarvo-libopenmpt.XXXXXX")"
trap 'rm -rf "$work"' EXIT

source_dir="$(tools/fetch-debian-source.sh libopenmpt "$work" | tail -n 1)"
if [ -z "$source_dir" ] || [ ! -x "$source_dir/configure" ]; then
  echo "build-libopenmpt-mingw: the source package has no configure script" >&2
  exit 1
fi

echo "== configure and build for $host (static, no optional codecs)" >&2
# SSE2 arithmetic, as the program itself is built: the same rendering on every processor.
cd "$source_dir"
./configure --host="$host" --prefix="$prefix" \
  CC="$host-gcc-posix" CXX="$host-g++-posix" \
  CFLAGS="-O2 -msse2 -mfpmath=sse" CXXFLAGS="-O2 -msse2 -mfpmath=sse" \
  --disable-shared --enable-static \
  --disable-openmpt123 --disable-examples --disable-tests --disable-doxygen-doc \
  --without-zlib --without-mpg123 --without-ogg --without-vorbis --without-vorbisfile \
  --without-pulseaudio --without-portaudio --without-portaudiocpp --without-sndfile \
  --without-flac >&2
make -j"${ZARVO_JOBS:-2}" >&2
rm -rf "$prefix"
make install >&2
echo "libopenmpt for $host: installed" >&2
echo "$prefix"
