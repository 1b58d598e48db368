#!/bin/bash
# Checks the include rules between Zarvo's layers; prints the folder-to-folder picture with -p.
#
# The rules:
#   - the intro (app/ display/ music/ show/ raytrace/ resources/) includes no header of a backend
#     or of platform/common: only its own folders and the stand-in headers of platform/include/;
#   - raytrace/ includes nothing outside raytrace/ (no platform header at all);
#   - a backend (every folder of platform/ but include/ and common/) and platform/common include
#     no intro header, except the files named in ALLOWED below; backends do not include each
#     other, and platform/common includes no backend;
#   - platform/include/ includes only itself.
# Usage: tools/check-layers.sh [-p]   (run from anywhere; exit status 1 when a rule is broken)
set -euo pipefail
cd "$(dirname "$0")/.."

# The files that may look across: the observation of the show's record, for the backends that
# observe the show (show_observation.h), and beside it the study mode's replay of the show and
# its hands on the show's state (study_replay.h, study_show.h).
ALLOWED="platform/common/show_observation.cpp platform/common/study_replay.cpp platform/common/study_show.cpp"

INTRO="app display music show raytrace resources"
BACKENDS=$(find platform -mindepth 1 -maxdepth 1 -type d ! -name include ! -name common | sort)
PLATFORM="platform/include platform/common $(echo $BACKENDS)"

picture=0
if [ "${1:-}" = "-p" ]; then
  picture=1
fi

# Prints the folder a header named in `#include` resolves to, or nothing for a library header.
resolve() {
  local from_dir=$1 kind=$2 name=$3
  if [ "$kind" = "<" ]; then
    case "$name" in
      windows.h | ddraw.h | midasdll.h) echo platform/include ;;
    esac
    return
  fi
  if [ -f "$from_dir/$name" ]; then
    dirname "$from_dir/$name"
    return
  fi
  case "$name" in
    */*)
      if [ -f "$name" ]; then
        dirname "$name"
      fi
      return
      ;;
  esac
  local dir
  for dir in $PLATFORM; do
    if [ -f "$dir/$name" ]; then
      echo "$dir"
      return
    fi
  done
  echo "?"
}

is_intro() {
  case " $INTRO " in *" $1 "*) return 0 ;; esac
  return 1
}

failures=0
edges=""
fail() {
  echo "check-layers: $1" >&2
  failures=$((failures + 1))
}

for folder in $INTRO $PLATFORM; do
  for file in $(find "$folder" -name '*.cpp' -o -name '*.h' | sort); do
    while IFS= read -r line; do
      kind=${line:0:1}
      name=${line:1:${#line}-2}
      to=$(resolve "$(dirname "$file")" "$kind" "$name")
      if [ -z "$to" ] || [ "$to" = "$folder" ]; then
        continue
      fi
      edges+="$folder -> $to"$'\n'
      allowed=0
      case " $ALLOWED " in *" $file "*) allowed=1 ;; esac
      if [ "$to" = "?" ]; then
        fail "$file includes \"$name\", which is not found"
      elif [ "$folder" = raytrace ]; then
        fail "$file includes $name: raytrace/ includes nothing outside itself"
      elif is_intro "$folder" && ! is_intro "$to" && [ "$to" != platform/include ]; then
        fail "$file includes $name: the intro includes no backend header"
      elif ! is_intro "$folder" && is_intro "$to" && [ $allowed -eq 0 ]; then
        fail "$file includes $name: a backend includes no intro header"
      elif [ "$folder" = platform/include ]; then
        fail "$file includes $name: the stand-in headers include only each other"
      elif [ "$folder" = platform/common ] && ! is_intro "$to" && [ "$to" != platform/include ]; then
        fail "$file includes $name: platform/common includes no backend"
      elif [[ "$folder" = platform/* ]] && [[ "$to" = platform/* ]] &&
           [ "$to" != platform/include ] && [ "$to" != platform/common ]; then
        fail "$file includes $name: a backend includes no other backend"
      fi
    done < <(sed -n -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*([<"][^>"]+[>"]).*/\1/p' "$file")
  done
done

if [ $picture -eq 1 ]; then
  printf '%s' "$edges" | sort | uniq -c | awk '{printf "%-18s -> %-18s %3d\n", $2, $4, $1}'
fi
if [ $failures -gt 0 ]; then
  echo "check-layers: $failures include(s) break the layering rules" >&2
  exit 1
fi
echo "check-layers: all includes keep the layering rules"
