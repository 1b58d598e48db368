#!/bin/sh
# Installs, from Debian's or Ubuntu's packages, whatever building, running and testing Zarvo needs.
# Safe to run again: apt-get skips what is already there. Uses sudo when not run as root.
#   tools/install-deps.sh [--windows] [--web]
# --windows adds what the Windows build and its tests need: the mingw-w64 cross compiler, what
# building libopenmpt from its source package takes, GoogleTest's source, 32-bit Wine (the i386
# architecture is added to dpkg for it) with the 32-bit PulseAudio client library its sound driver
# loads, and PulseAudio itself: the tests give Wine a sound server of their own.
# --web adds what the web page's build and tests need: Emscripten (with its LLVM, binaryen and
# Node.js's acorn), what building libopenmpt and FreeType from their source packages takes,
# Chromium for the tests in a headless browser, and Python for tools/serve-web.sh.
set -e
if [ "$(id -u)" -eq 0 ]; then SUDO=; else SUDO=sudo; fi

packages="
  build-essential cmake ninja-build pkg-config
  libsdl2-dev libopenmpt-dev libfreetype-dev libfontconfig-dev libpng-dev libdeflate-dev fonts-terminus
  ffmpeg
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool x11-utils imagemagick sox strace
  pulseaudio pulseaudio-utils stress-ng
  dpkg-dev file appstream
  clang libclang-rt-dev clang-format-14
"

for option in "$@"; do
  case "$option" in
    --windows)
      packages="$packages
  g++-mingw-w64-i686 dpkg-dev make googletest x11-apps
  wine wine32 libasound2:i386 libpulse0:i386 pulseaudio pulseaudio-utils
"
      if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $SUDO dpkg --add-architecture i386
      fi
      ;;
    --web)
      packages="$packages
  emscripten dpkg-dev make googletest chromium python3
"
      ;;
    *)
      echo "install-deps: unknown option $option (known: --windows, --web)" >&2
      exit 2
      ;;
  esac
done

missing=
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "install-deps: installing$missing"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
fi
