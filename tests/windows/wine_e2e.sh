#!/bin/bash
# End-to-end tests of zarvo.exe under Wine on Xvfb, as a person on Windows would meet it: the sound
# dialog, the show on the real DirectDraw (screenshots compared with the Linux capture), Escape, the
# error boxes of a cancelled dialog, a missing module and a refused display mode (their texts read
# back through Wine's message box trace), and the sound that reached waveOut compared with
# libopenmpt's rendering.
# Also runs the unit tests of the Windows build under the same Wine.
#
#   tests/windows/wine_e2e.sh [WINDOWS_BUILD] [LINUX_BUILD]
# WINDOWS_BUILD (default build-win32) holds zarvo.exe, Zarvo.xm and the test program; LINUX_BUILD
# (default build) holds zarvo-capture, whose output is the reference. Needs wine (32-bit), Xvfb,
# xdotool, x11-apps (xwd), imagemagick and python3. Everything Wine writes stays in a private
# folder (its own WINEPREFIX and HOME), removed at the end.
set -euo pipefail
cd "$(dirname "$0")/../.."
win_build="$(realpath "${1:-build-win32}")"
linux_build="$(realpath "${2:-build}")"
for file in "$win_build/zarvo.exe" "$win_build/Zarvo.xm" "$win_build/zarvo_windows_tests.exe" \
  "$linux_build/zarvo-capture"; do
  [ -f "$file" ] || { echo "wine_e2e: $file is missing" >&2; exit 1; }
done

# Wine's loader is a 32-bit program: on a kernel that runs none (booted with ia32_emulation=off)
# it cannot start, and nothing here could be tested.
if ! wine_version="$(wine --version 2>&1)"; then
  echo "wine_e2e: wine does not start: $wine_version" >&2
  echo "wine_e2e: (a kernel without 32-bit emulation, ia32_emulation=off, runs no 32-bit program)" >&2
  exit 1
fi

root="$(mktemp -d "${TMPDIR:-/tmp}/zarvo-wine.XXXXXX")"
xvfb_pid=
cleanup() {
  # Only what this script started: its X server, and the wineserver of its own prefix.
  WINEPREFIX="$root/prefix" wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$root"
}
trap cleanup EXIT

failures=0
passes=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; passes=$((passes + 1)); }

export HOME="$root/home" WINEPREFIX="$root/prefix" WINEARCH=win32 WINEDEBUG=-all
# No prompts to install Wine's .NET and HTML engines.
export WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$HOME"

# A display of our own.
for display in $(seq 91 120); do
  [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ] || break
done
export DISPLAY=":$display"
# -noreset: a server reset, when its last client leaves, would drop a connection still in its
# set-up (see start_display in tests/e2e/sdl_e2e.sh).
Xvfb "$DISPLAY" -noreset -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

# The sound card: ALSA's file plugin as the default device, so waveOut works on a machine without
# one and the PCM it is given lands in a file.
cat >"$HOME/.asoundrc" <<EOF
pcm.!default {
  type file
  slave.pcm "null"
  file "$root/sound.raw"
  format "raw"
}
EOF

echo "== Wine prefix"
wineboot -i >/dev/null 2>&1
# A virtual desktop: on plain Xvfb, Wine cannot change the display mode to 320x200; inside its
# own desktop it can, and shows the picture 1:1 at the desktop's top left.
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
wineserver -w

echo "== unit tests of the Windows build"
if ZARVO_EXPECT_SOUND_DEVICE=1 wine "$win_build/zarvo_windows_tests.exe" >"$root/unit.txt" 2>&1; then
  pass "unit tests: $(grep -E '^\[  PASSED' "$root/unit.txt")"
else
  cat "$root/unit.txt" >&2
  fail "unit tests"
fi

# Waits up to $2 seconds for a window named $1 (a regular expression); prints its id.
wait_window() {
  local deadline=$((SECONDS + $2)) id
  while [ $SECONDS -lt $deadline ]; do
    id="$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n 1 || true)"
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# Waits up to $1 seconds for the program to end; prints its exit code, or "hung".
wait_exit() {
  local deadline=$((SECONDS + $1))
  while [ $SECONDS -lt $deadline ]; do
    [ -f "$run/rc" ] && { cat "$run/rc"; return 0; }
    sleep 0.1
  done
  echo hung
}

# Starts zarvo.exe in a fresh working folder $run (with the module unless $1 is "no-module"),
# with Wine's message box trace on standard error.
start_zarvo() {
  run="$root/run$((++runs))"
  mkdir -p "$run"
  cp "$win_build/zarvo.exe" "$run/"
  [ "${1:-}" = no-module ] || cp "$win_build/Zarvo.xm" "$run/"
  (cd "$run" && WINEDEBUG=-all,trace+msgbox wine zarvo.exe >"$run/out.txt" 2>"$run/trace.txt";
   echo $? >"$run/rc") &
}
runs=0

# The text of the message box the program showed, as Wine's trace writes it (\r\n escaped).
box_text() {
  sed -n 's/.*trace:msgbox:MSGBOX_OnInit L"\(.*\)".*/\1/p' "$run/trace.txt" | head -n 1
}

# Sends key $2 to window $1; a window that went away meanwhile is no error here (what follows
# checks the outcome).
send_key() {
  xdotool key --window "$1" "$2" 2>/dev/null || true
}

# Answers the error box (caption "Error") with Enter.
dismiss_error() {
  local box
  if box="$(wait_window '^Error$' 20)"; then
    send_key "$box" Return
  else
    fail "$1: no error box"
  fi
}

# Grabs the 320x200 picture at the desktop's top left into $1. A grab that fails while Wine
# changes its windows (the display mode switch) is skipped.
grab() {
  xwd -root -silent >"$root/grab.xwd" 2>/dev/null &&
    convert "xwd:$root/grab.xwd" -crop 320x200+0+0 +repage "$1" 2>/dev/null || rm -f "$1"
}

echo "== cancelled sound dialog"
start_zarvo
if dialog="$(wait_window '^Zarvo: sound setup$' 30)"; then
  send_key "$dialog" Escape
  dismiss_error "cancel"
  rc="$(wait_exit 20)"
  expected='Sceners: MIDASconfig() failed (Sound setup cancelled by the user).\r\nLamers: You pressed something inappropriate...'
  [ "$(box_text)" = "$expected" ] && pass "cancel: the box says '$expected'" \
    || fail "cancel: the box says '$(box_text)'"
  [ "$rc" = 0 ] && pass "cancel: exit code 0" || fail "cancel: exit code $rc"
else
  fail "cancel: no sound dialog"
fi
wineserver -w

echo "== missing module"
start_zarvo no-module
if dialog="$(wait_window '^Zarvo: sound setup$' 30)"; then
  send_key "$dialog" n
  dismiss_error "missing module"
  rc="$(wait_exit 20)"
  # The place it was looked for in (the working folder, which is the program's) is the run's.
  head="Sceners: MIDASloadModule() failed (Unable to open file 'Zarvo.xm': No such file or directory; looked for in the working directory ("
  tail=").\\r\\nLamers: The module 'Zarvo.xm' is missing or corrupt."
  [[ "$(box_text)" == "$head"*"$(basename "$run")$tail" ]] \
    && pass "missing module: the box says '$(box_text)'" \
    || fail "missing module: the box says '$(box_text)'"
  [ "$rc" = 0 ] && pass "missing module: exit code 0" || fail "missing module: exit code $rc"
else
  fail "missing module: no sound dialog"
fi
wineserver -w

echo "== the show without sound: the clock runs on the timer, and nothing reaches the device"
rm -f "$root/sound.raw"
start_zarvo
if dialog="$(wait_window '^Zarvo: sound setup$' 30)"; then
  send_key "$dialog" n
  sleep 4
  grab "$root/silent.png"
  if window="$(wait_window '^Zarvo / Quillmoor$' 5)"; then
    send_key "$window" Escape
  else
    fail "no sound: no main window"
  fi
  rc="$(wait_exit 20)"
  [ "$rc" = 0 ] && pass "no sound: Escape ends it with exit code 0" || fail "no sound: exit code $rc"
  # The scene (a lit floor under a mostly black sky) is on the screen: the show's clock has
  # passed the opening title.
  if [ -f "$root/silent.png" ] && awk -v floor="$(convert "$root/silent.png" -crop 320x50+0+150 \
      -format '%[fx:maxima]' info:)" -v sky="$(convert "$root/silent.png" -crop 320x60+0+20 \
      -format '%[fx:mean]' info:)" 'BEGIN { exit !(floor > 0.1 && sky < 0.1) }'; then
    pass "no sound: the scene is shown"
  else
    fail "no sound: no scene on the screen after 4 s"
  fi
  [ ! -s "$root/sound.raw" ] && pass "no sound: nothing was written to the sound device" \
    || fail "no sound: the sound device was used"
else
  fail "no sound: no sound dialog"
fi
wineserver -w

echo "== the show, with the sound through waveOut"
rm -f "$root/sound.raw"
start_zarvo
shots="$root/shots"
mkdir -p "$shots"
if dialog="$(wait_window '^Zarvo: sound setup$' 30)"; then
  send_key "$dialog" Return
  # Pictures as fast as they can be had for the first seconds (the opening title is short), then
  # one a second.
  deadline=$((SECONDS + 4))
  n=0
  while [ $SECONDS -lt $deadline ]; do
    grab "$shots/$(printf %04d $n).png"
    n=$((n + 1))
  done
  for _ in 1 2 3 4 5 6; do
    sleep 1
    grab "$shots/$(printf %04d $n).png"
    n=$((n + 1))
  done
  if window="$(wait_window '^Zarvo / Quillmoor$' 5)"; then
    send_key "$window" Escape
  else
    fail "show: no main window"
  fi
  rc="$(wait_exit 20)"
  [ "$rc" = 0 ] && pass "show: Escape ends it with exit code 0" || fail "show: exit code $rc"
else
  fail "show: no sound dialog"
fi
wineserver -w

echo "== the display mode refused: Wine without its virtual desktop cannot set 320x200"
wine reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1
wineserver -w
start_zarvo
if dialog="$(wait_window '^Zarvo: sound setup$' 30)"; then
  send_key "$dialog" n
  dismiss_error "display mode"
  rc="$(wait_exit 20)"
  expected='Sceners: IDirectDraw4::SetDisplayMode() failed with RC 2147500033 (The operation is not supported.).\r\nLamers: Please buy a *real* video card.'
  [ "$(box_text)" = "$expected" ] && pass "display mode: the box says '$expected'" \
    || fail "display mode: the box says '$(box_text)'"
  [ "$rc" = 0 ] && pass "display mode: exit code 0" || fail "display mode: exit code $rc"
else
  fail "display mode: no sound dialog"
fi
wineserver -w

echo "== the Linux capture of the same module, for reference"
(cd "$win_build" && "$linux_build/zarvo-capture" --out "$root/capture" --max-seconds 40 --fps 60 \
  --quiet)

cp -r "$shots" "${ZARVO_WINE_SHOTS:-$root/kept-shots}" 2>/dev/null || true
if python3 tests/windows/wine_compare.py "$shots" "$root/capture" "$root/sound.raw"; then
  pass "pictures and sound match the Linux capture"
else
  fail "pictures or sound differ from the Linux capture"
fi

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
