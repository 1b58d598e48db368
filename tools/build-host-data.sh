#!/bin/bash
# Builds in build/, the host's build, what the cross builds take from it (cmake/host_data.cmake):
# the composed module Zarvo.xm and the icon drawer zarvo-make-icon, and nothing else.
#
#   tools/build-host-data.sh
# A build/ not configured yet is configured with the release preset first (the packages of
# tools/install-deps.sh are needed for that, as for any build/).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="${ZARVO_JOBS:-2}"

if [ ! -f build/CMakeCache.txt ]; then
  echo "== build/ is not configured yet: cmake --preset release"
  cmake --preset release >/dev/null
fi
echo "== host data in build/ (Zarvo.xm, zarvo-make-icon)"
cmake --build build -j"$jobs" --target zarvo_module zarvo-make-icon
for file in build/Zarvo.xm build/zarvo-make-icon; do
  if [ ! -f "$file" ]; then
    echo "build-host-data: building build/ made no $file" >&2
    exit 1
  fi
done
