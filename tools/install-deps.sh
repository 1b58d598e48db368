#!/bin/sh
# Installs, from Debian's or Ubuntu's packages, whatever building, running and testing Zarvo needs.
# Safe to run again: apt-get skips what is already there. Uses sudo when not run as root.
set -e
if [ "$(id -u)" -eq 0 ]; then SUDO=; else SUDO=sudo; fi

packages="
  build-essential cmake ninja-build pkg-config
  libsdl2-dev libopenmpt-dev libfreetype-dev libfontconfig-dev libpng-dev fonts-terminus
  ffmpeg
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool x11-utils imagemagick sox
  dpkg-dev file
"

missing=
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "install-deps: installing$missing"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
fi
