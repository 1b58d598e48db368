#!/bin/bash
# Checks that every tracked C and C++ source is formatted as .clang-format says, with the one
# clang-format the project pins (14, Debian 12's clang-format-14): another version formats some
# constructs differently, so its verdict would not be the project's.
#
#   tools/check-format.sh          list the files that are not formatted; exit 1 if any
#   tools/check-format.sh --fix    format those files in place
# CLANG_FORMAT names the program to use (default clang-format-14); it must report version 14.
set -euo pipefail
cd "$(dirname "$0")/.."
pinned=14
program="${CLANG_FORMAT:-clang-format-$pinned}"

fix=0
case "${1:-}" in
  "") ;;
  --fix) fix=1 ;;
  *) echo "usage: tools/check-format.sh [--fix]" >&2; exit 2 ;;
esac

if ! command -v "$program" >/dev/null; then
  echo "check-format: $program is missing: run tools/install-deps.sh (Debian: clang-format-$pinned)" >&2
  exit 1
fi
version="$("$program" --version 2>&1 || true)"
if ! [[ "$version" =~ clang-format\ version\ $pinned\. ]]; then
  echo "check-format: $program is not clang-format $pinned (it says: $version)" >&2
  exit 1
fi

mapfile -t files < <(git ls-files '*.c' '*.cc' '*.cpp' '*.h' '*.hpp')

# Sets `unformatted` to the files clang-format would change. One run over all files; each place
# to change is reported as FILE:LINE:COLUMN: error: code should be clang-formatted.
find_unformatted() {
  local status=0 report
  report="$("$program" --dry-run --Werror "${files[@]}" 2>&1)" || status=$?
  mapfile -t unformatted < <(grep -oP '^[^:]+(?=:\d+:\d+: error: code should be clang-formatted)' \
    <<<"$report" | sort -u)
  if [ "$status" -ne 0 ] && [ "${#unformatted[@]}" -eq 0 ]; then
    echo "check-format: $program failed:" >&2
    echo "$report" >&2
    exit 1
  fi
}

find_unformatted
if [ "$fix" -eq 1 ]; then
  # A few constructs settle only in a second pass (a function pointer member after a wrapped
  # declaration), so formatting repeats until nothing changes.
  changed=()
  for _ in 1 2 3; do
    [ "${#unformatted[@]}" -gt 0 ] || break
    changed+=("${unformatted[@]}")
    "$program" -i "${unformatted[@]}"
    find_unformatted
  done
  mapfile -t changed < <(printf '%s\n' "${changed[@]}" | sort -u | grep .)
  echo "check-format: formatted ${#changed[@]} of ${#files[@]} files"
fi
if [ "${#unformatted[@]}" -eq 0 ]; then
  echo "check-format: all ${#files[@]} C and C++ files are formatted (clang-format $pinned)"
  exit 0
fi
echo "check-format: ${#unformatted[@]} of ${#files[@]} C and C++ files are not formatted" \
  "(tools/check-format.sh --fix formats them):"
printf '  %s\n' "${unformatted[@]}"
exit 1
