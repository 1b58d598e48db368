#!/bin/bash
# Builds libopenmpt as a static library for 32-bit Windows (i686-w64-mingw32) from Debian's source
# package, into a cache folder outside the checkout that later builds reuse.
#
#   tools/build-libopenmpt-mingw.sh            build unless the cache already holds the library
#   tools/build-libopenmpt-mingw.sh --force    build again
# Prints the install prefix (the cache folder) on its last line.
#
# The source comes through apt-get with a private list of deb-src entries made from the system's
# own apt sources; the system's apt configuration and lists are left untouched. Needs the mingw-w64
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

work="$(mktemp -d "${TMPDIR:-/tmp}/zarvo-libopenmpt.XXXXXX")"
trap 'rm -rf "$work"' EXIT

# A private apt configuration: the system's sources turned into deb-src entries, and lists of our
# own. deb822 files (*.sources) keep their stanzas with Types set to deb-src; one-line lists
# (*.list, sources.list) have their "deb" lines turned into "deb-src" lines.
apt_dir="$work/apt"
mkdir -p "$apt_dir/lists/partial" "$apt_dir/sources.list.d"
shopt -s nullglob
for file in /etc/apt/sources.list.d/*.sources; do
  sed -E 's/^Types:.*/Types: deb-src/' "$file" >"$apt_dir/sources.list.d/$(basename "$file")"
done
: >"$apt_dir/sources.list"
for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
  [ -f "$file" ] || continue
  sed -nE 's/^[[:space:]]*deb[[:space:]]+/deb-src /p' "$file" >>"$apt_dir/sources.list"
done
shopt -u nullglob
apt_options=(
  -o "Dir::Etc::SourceList=$apt_dir/sources.list"
  -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
  -o "Dir::State::Lists=$apt_dir/lists"
  -o "Dir::Cache::pkgcache="
  -o "Dir::Cache::srcpkgcache="
  -o "APT::Sandbox::User=root"
)

echo "== libopenmpt source package (private deb-src list)" >&2
apt-get "${apt_options[@]}" -qq update >&2
(cd "$work" && apt-get "${apt_options[@]}" -qq source libopenmpt >&2)
source_dir="$(find "$work" -maxdepth 1 -type d -name 'libopenmpt-*' | head -n 1)"
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
