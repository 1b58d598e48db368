#!/bin/bash
# Unpacks a Debian source package into a folder, through a private apt configuration.
#
#   tools/fetch-debian-source.sh PACKAGE WORK_FOLDER
# Prints the unpacked source folder on its last line. The system's apt sources are turned into
# deb-src entries in WORK_FOLDER/apt, with lists of their own there; the system's apt
# configuration and lists are left untouched. deb822 files (*.sources) keep their stanzas with
# Types set to deb-src; one-line lists (*.list, sources.list) have their "deb" lines turned into
# "deb-src" lines. Needs dpkg-dev (dpkg-source).
set -euo pipefail

package="${1:?usage: fetch-debian-source.sh PACKAGE WORK_FOLDER}"
work="${2:?usage: fetch-debian-source.sh PACKAGE WORK_FOLDER}"

if ! command -v dpkg-source >/dev/null; then
  echo "fetch-debian-source: 'dpkg-source' is missing (install dpkg-dev)" >&2
  exit 1
fi

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

echo "== $package source package (private deb-src list)" >&2
if [ ! -f "$apt_dir/updated" ]; then
  apt-get "${apt_options[@]}" -qq update >&2
  : >"$apt_dir/updated"
fi
(cd "$work" && apt-get "${apt_options[@]}" -qq source "$package" >&2)
source_dir="$(find "$work" -maxdepth 1 -type d -name "$package-*" | sort | head -n 1)"
if [ -z "$source_dir" ]; then
  echo "fetch-debian-source: no source folder for $package was unpacked" >&2
  exit 1
fi
echo "$source_dir"
