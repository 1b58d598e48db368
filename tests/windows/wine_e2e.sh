#!/bin/bash
# End-to-end tests of zarvo.exe under Wine on Xvfb, as a person on Windows would meet it: the
# command line, the sound dialog, the show on the real DirectDraw in its own display mode
# (screenshots compared with the Linux capture, its pace measured against the clock and in frames
# a second), the show at the desktop's mode where Wine offers no 320x200 (the whole screen, a
# window, Alt+Enter, --window), the sound dialog without any output and with two to pick from,
# Escape, the error boxes of a cancelled dialog and a missing module
# (their texts read back through Wine's message box trace), and the sound that reached the
# speaker compared with libopenmpt's rendering, sample for sample and in pace.
# Also runs the unit tests of the Windows build under the same Wine.
#
#   tests/windows/wine_e2e.sh [WINDOWS_BUILD] [LINUX_BUILD]
# WINDOWS_BUILD (default build-win32) holds the zip tools/build-windows.sh packs, zarvo.exe and
# the test program; every run of the program starts from the zip's folder, unpacked as a person
# would. LINUX_BUILD (default build) holds zarvo-capture, whose output is the reference. Needs 32-bit wine, Xvfb,
# xdotool, x11-apps (xwd), imagemagick, python3 and PulseAudio (tools/install-deps.sh --windows).
# The stage (a private prefix, display and sound server) is wine_session.sh; everything it makes
# is removed at the end, unless ZARVO_WINE_KEEP is set.
set -euo pipefail
cd "$(dirname "$0")/../.."
win_build="$(realpath "${1:-build-win32}")"
linux_build="$(realpath "${2:-build}")"
zip="$(ls "$win_build"/zarvo-*-windows-x86.zip 2>/dev/null | tail -n 1 || true)"
for file in "$zip" "$win_build/zarvo.exe" "$win_build/zarvo_windows_tests.exe" \
  "$linux_build/zarvo-capture"; do
  [ -f "$file" ] || { echo "wine_e2e: ${file:-the zip of tools/build-windows.sh} is missing" >&2; exit 1; }
done

# Wine's loader is a 32-bit program: on a kernel that runs none (booted with ia32_emulation=off)
# it cannot start, and nothing here could be tested.
if ! wine_version="$(wine --version 2>&1)"; then
  echo "wine_e2e: wine does not start: $wine_version" >&2
  echo "wine_e2e: (a kernel without 32-bit emulation, ia32_emulation=off, runs no 32-bit program)" >&2
  exit 1
fi

source tests/windows/wine_session.sh
session_require

failures=0
passes=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; passes=$((passes + 1)); }
# Checks that $2 equals $3; $1 says what was compared.
expect() {
  if [ "$2" = "$3" ]; then pass "$1: $2"; else fail "$1: '$2', expected '$3'"; fi
}

# Seconds (with fractions) since the time $1 taken from EPOCHREALTIME.
since() {
  awk -v now="$EPOCHREALTIME" -v then="$1" 'BEGIN { printf "%.2f", now - then }'
}

# Whether the picture $1 shows the scene: a lit floor under a mostly black sky.
scene_shown() {
  [ -f "$1" ] && awk -v floor="$(convert "$1" -crop 320x50+0+150 -format '%[fx:maxima]' info:)" \
    -v sky="$(convert "$1" -crop 320x60+0+20 -format '%[fx:mean]' info:)" \
    'BEGIN { exit !(floor > 0.1 && sky < 0.1) }'
}

# Checks the show's pace in run $run, started with trace_channels=$pace_trace: the frames it made
# in each whole second after its first $2 seconds (the first holds the start and the frames made
# before a wait for the vertical blank that returns at once is found out), counted by the
# intro's one lock of its back surface a frame (DDLOCK_WAIT | DDLOCK_NOSYSLOCK), must never be
# more than a display of 60 Hz shows, with a tenth over for the clock's rounding, and mostly no
# fewer than a loaded machine still makes. $1 names the run.
pace_trace="trace+ddraw,+timestamp"
check_pace() {
  local counts
  counts="$(grep -a 'ddraw_surface4_Lock .*flags 0x801,' "$run/trace.txt" |
    awk -F: '{ print int($1) }' | uniq -c | awk -v skip="$2" 'NR > skip { print $1 }' |
    head -n -1 | tr '\n' ' ')"
  if python3 -c 'import sys
counts = sorted(int(c) for c in sys.argv[1:])
sys.exit(not (len(counts) >= 3 and counts[-1] <= 66 and counts[len(counts) // 2] >= 40))' $counts
  then
    pass "$1: frames a second: $counts"
  else
    fail "$1: frames a second: '$counts' (at most 66, mostly 40 or more)"
  fi
}

# Checks the show's rate in run $run, started with trace_channels=$pace_trace: the frames made
# after its first $2 seconds, counted as check_pace counts them, a second, must be within 2 % of
# $3 (the light turns once a frame, so this is the light's turns a second). $1 names the run.
check_rate() {
  local rate
  rate="$(grep -a 'ddraw_surface4_Lock .*flags 0x801,' "$run/trace.txt" | awk -F: '{ print $1 }' |
    awk -v skip="$2" 'NR == 1 { start = $1 + skip } $1 >= start { if (!n++) first = $1; last = $1 }
      END { if (n > 1 && last > first) printf "%.2f", (n - 1) / (last - first) }')"
  if [ -n "$rate" ] && awk -v r="$rate" -v e="$3" 'BEGIN { exit !(r >= e * 0.98 && r <= e * 1.02) }'
  then
    pass "$1: $rate frames a second (paced at $3)"
  else
    fail "$1: '$rate' frames a second, not within 2 % of $3"
  fi
}

# Whether the recording $1 holds sound, and not only silence.
sound_in() {
  python3 -c 'import sys; sys.exit(0 if open(sys.argv[1], "rb").read().strip(b"\0") else 1)' "$1"
}

dialog='^Zarvo: sound setup$'

echo "== Wine and its stage"
session_start

echo "== the zip: one folder, the program with its module and a read-me"
python3 -c '
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    print(" ".join(sorted(z.namelist())))
    z.extractall(sys.argv[2])
' "$zip" "$root/unpacked" >"$root/zip.txt"
folder="$(basename "$zip" .zip)"
expect "zip: its files" "$(cat "$root/zip.txt")" \
  "$folder/README.txt $folder/Zarvo.xm $folder/zarvo.exe"
program_folder="$root/unpacked/$folder"

echo "== the command line, from a terminal and from Explorer"
version="${folder#zarvo-}"
version="${version%-windows-x86}"
code=0
(cd "$program_folder" && wine zarvo.exe --help >"$root/help.txt" 2>&1) || code=$?
expect "--help: exit code" "$code" 0
grep -q -- '--sound MODE' "$root/help.txt" && grep -q -- '--module FILE' "$root/help.txt" &&
  pass "--help: the usage on standard output" || fail "--help: $(head -c 300 "$root/help.txt")"
expect "--version" "$(cd "$program_folder" && wine zarvo.exe --version 2>&1)" "zarvo $version"
code=0
(cd "$program_folder" && wine zarvo.exe --sound=loud >/dev/null 2>"$root/wrong.txt") || code=$?
expect "a wrong command line: exit code" "$code" 2
expect "a wrong command line: standard error says" "$(head -n 1 "$root/wrong.txt")" \
  "zarvo: --sound 'loud' is not ask, default or none"
code=0
(cd "$program_folder" && wine zarvo.exe --display 7 >/dev/null 2>"$root/wrong.txt") || code=$?
expect "no monitor 7: exit code" "$code" 2
expect "no monitor 7: standard error says" "$(head -n 1 "$root/wrong.txt")" \
  "zarvo: --display 7: there is no monitor 7 (monitors: 0 to 0)"
# Started as Explorer starts it, with no standard streams, it says so in a box.
run="$root/explorer"
mkdir -p "$run"
(cd "$program_folder" && code=0 && WINEDEBUG=-all,trace+msgbox wine start /wait zarvo.exe --bogus \
   >/dev/null 2>"$run/trace.txt" || code=$?; echo "$code" >"$run/rc") &
answer '^Zarvo$' Return 90 || fail "from Explorer: no box"
expect "from Explorer: exit code" "$(wait_exit 60)" 2
box="$(box_text)"
# (Wine's trace keeps the start of a long text only.)
[[ "$box" == "zarvo: unknown argument '--bogus'"*"Usage: zarvo.exe"* ]] &&
  pass "from Explorer: the box says why, with the usage" || fail "from Explorer: the box says '$box'"
session_settle

echo "== unit tests of the Windows build"
if ZARVO_EXPECT_SOUND_DEVICE=1 timeout 300 wine "$win_build/zarvo_windows_tests.exe" \
  >"$root/unit.txt" 2>&1; then
  pass "unit tests: $(grep -E '^\[  PASSED' "$root/unit.txt")"
else
  cat "$root/unit.txt" >&2
  fail "unit tests"
fi
session_settle

echo "== cancelled sound dialog"
start_zarvo
if answer "$dialog" Escape 90; then
  answer '^Error$' Return 60 || fail "cancel: no error box"
  expect "cancel: exit code" "$(wait_exit 60)" 0
  expect "cancel: the box says" "$(box_text)" \
    'Sceners: MIDASconfig() failed (Sound setup cancelled by the user).\r\nLamers: You pressed something inappropriate...'
else
  fail "cancel: no sound dialog, or it took no key"
fi
session_settle

echo "== missing module"
start_zarvo no-module
if answer "$dialog" n 90; then
  answer '^Error$' Return 60 || fail "missing module: no error box"
  expect "missing module: exit code" "$(wait_exit 60)" 0
  # The place it was looked for in (the working folder, which is the program's) is the run's.
  head="Sceners: MIDASloadModule() failed (Unable to open file 'Zarvo.xm': No such file or directory; looked for in the working directory ("
  tail=")).\\r\\nLamers: The module 'Zarvo.xm' is missing or corrupt."
  [[ "$(box_text)" == "$head"*"$(basename "$run")$tail" ]] \
    && pass "missing module: the box says '$(box_text)'" \
    || fail "missing module: the box says '$(box_text)'"
else
  fail "missing module: no sound dialog, or it took no key"
fi
session_settle

echo "== the show without sound (--sound none), its module named by --module"
echo "   the clock runs on the timer, and nothing reaches the speaker"
start_recording "$root/silence.raw"
start_zarvo no-module --sound none --module "Z:${program_folder//\//\\}\\Zarvo.xm"
if [ -n "$(wait_window '^Zarvo / Quillmoor$' 90)" ]; then
  # The scene (after the opening title) comes once the show's clock has moved on.
  deadline=$((SECONDS + 60))
  until scene_shown "$root/silent.png" || [ $SECONDS -ge $deadline ]; do
    grab "$root/silent.png"
  done
  scene_shown "$root/silent.png" && pass "no sound: the scene is shown" ||
    fail "no sound: no scene on the screen within 60 s"
  expect "no sound: Escape ends it, exit code" "$(escape_show 60)" 0
  stop_recording
  if [ ! -s "$root/silence.raw" ]; then
    fail "no sound: the recorder took nothing, so silence cannot be told"
  elif sound_in "$root/silence.raw"; then
    fail "no sound: sound reached the speaker"
  else
    pass "no sound: $(stat -c %s "$root/silence.raw") bytes of silence recorded, no sound"
  fi
else
  fail "no sound: no main window (the trace: $(head -c 300 "$run/trace.txt"))"
  stop_recording
fi
session_settle

echo "== the show, with the sound through waveOut"
# Long enough for the captions to come and go once (the show's pace is timed by them).
show_seconds=38
start_recording "$root/sound.raw"
shots="$root/shots"
mkdir -p "$shots"
show_times=
trace_channels="$pace_trace"
start_zarvo
trace_channels=
if answer "$dialog" Return 90; then
  start=$EPOCHREALTIME
  # Screenshots a few times a second, each with its time since the dialog was answered.
  n=0
  while taken="$(since "$start")" && awk -v t="$taken" -v end="$show_seconds" 'BEGIN { exit !(t < end) }'; do
    name="$(printf %04d $n)"
    grab "$shots/$name.png" && echo "$name $taken" >>"$shots/times.txt"
    n=$((n + 1))
    sleep 0.2
  done
  echo "   the show used $(cpu_share 3) % of a core"
  escaped="$(since "$start")"
  rc="$(escape_show 60)"
  show_times="$escaped $(since "$start")"
  expect "show: Escape ends it, exit code" "$rc" 0
  check_pace "show, in the display mode of its own" 2
else
  fail "show: no sound dialog, or it took no key"
fi
stop_recording
session_settle

echo "== without a virtual desktop, Wine offers no 320x200: the picture at the desktop's mode"
session_virtual_desktop off
screen="0 0 $(xdpyinfo | awk '/dimensions:/ { sub("x", " ", $2); print $2 }')"
# With its sound, recorded: it must keep time here too, where the picture is scaled in software.
start_recording "$root/desktop-sound.raw"
desktop_times=
trace_channels="$pace_trace"
start_zarvo
trace_channels=
# The run's time counts from the answer, as the show's own does.
if answer "$dialog" Return 90 && desktop_start=$EPOCHREALTIME &&
  window="$(wait_window '^Zarvo / Quillmoor$' 90)"; then
  # The scene, brought down from the whole screen, once the show's clock has moved on.
  deadline=$((SECONDS + 60))
  until scene_shown "$root/desktop.png" || [ $SECONDS -ge $deadline ]; do
    grab_area "$screen" "$root/desktop.png"
  done
  expect "desktop's mode: the window covers the screen" "$(window_geometry "$window")" "$screen"
  scene_shown "$root/desktop.png" && pass "desktop's mode: the scene fills the screen" ||
    fail "desktop's mode: no scene on the screen within 60 s"
  echo "   the show used $(cpu_share 6) % of a core"
  # Alt+Enter: a window on the desktop, the scene in it.
  send_key "$window" alt+Return
  session_wait_for '[ "$(window_geometry "$window")" != "$screen" ]' 30 || true
  place="$(window_geometry "$window")"
  read -r _ _ width height <<<"$place"
  [ "$place" != "$screen" ] && [ $((width * 3)) -eq $((height * 4)) ] &&
    pass "Alt+Enter: a 4:3 window, $place" || fail "Alt+Enter: the window is at $place"
  grab_area "$place" "$root/windowed.png"
  scene_shown "$root/windowed.png" && pass "Alt+Enter: the scene in the window" ||
    fail "Alt+Enter: no scene in the window"
  escaped="$(since "$desktop_start")"
  expect "desktop's mode: Escape ends it, exit code" "$(escape_show 60)" 0
  desktop_times="$escaped $(since "$desktop_start")"
  check_pace "desktop's mode" 2
else
  fail "desktop's mode: no sound dialog or no main window (the trace: $(head -c 300 "$run/trace.txt"))"
fi
stop_recording
session_settle

echo "== --window: the show starts in a window"
start_zarvo --sound none --window
if window="$(wait_window '^Zarvo / Quillmoor$' 90)"; then
  session_wait_for '[ "$(window_geometry "$window")" != "$screen" ]' 30 || true
  place="$(window_geometry "$window")"
  read -r _ _ width height <<<"$place"
  [ "$place" != "$screen" ] && [ $((width * 3)) -eq $((height * 4)) ] &&
    pass "--window: a 4:3 window, $place" || fail "--window: the window is at $place"
  deadline=$((SECONDS + 60))
  until scene_shown "$root/window.png" || [ $SECONDS -ge $deadline ]; do
    grab_area "$place" "$root/window.png"
  done
  scene_shown "$root/window.png" && pass "--window: the scene in the window" ||
    fail "--window: no scene in the window within 60 s"
  expect "--window: Escape ends it, exit code" "$(escape_show 60)" 0
else
  fail "--window: no main window"
fi
session_settle

echo "== no sound output (the sound server gone): the dialog says so, Enter plays silently"
trace_channels="trace+dialog,trace+win,+debugstr"
PULSE_SERVER="unix:$root/no-server.socket" start_zarvo
trace_channels=
if id="$(wait_window "$dialog" 90)"; then
  sleep 1
  { xwd -id "$id" -silent | convert xwd:- "$root/no-output-dialog.png"; } 2>/dev/null || true
  grep -aq 'No sound output can be opened: Windows has no sound output device' "$run/trace.txt" &&
    pass "no output: the dialog says why" || fail "no output: the dialog does not say why"
  grep -aq 'Play the show without sound?' "$run/trace.txt" &&
    pass "no output: the dialog asks to play without sound" ||
    fail "no output: not the dialog without outputs"
  answer "$dialog" Return 60 || fail "no output: the dialog took no key"
  if [ -n "$(wait_window '^Zarvo / Quillmoor$' 90)" ]; then
    # The debugger hears the one line that says a device was wanted and could not be had.
    sleep 2
    grep -aq 'plays silently' "$run/trace.txt" && fail "no output: the device was tried all the same"
    expect "no output: the show runs, Escape ends it, exit code" "$(escape_show 60)" 0
  else
    fail "no output: Enter did not start the show"
  fi
else
  fail "no output: no sound dialog"
fi
session_settle

echo "== two outputs: the dialog lists both, the one picked plays the music"
other_sink="$(pactl load-module module-null-sink sink_name=zarvo_other rate=48000 format=s16le \
  channels=2 sink_properties=device.description=Other)"
parec --device=zarvo_other.monitor --format=s16le --rate=48000 --channels=2 --raw \
  --latency-msec=50 >"$root/other.raw" 2>/dev/null &
other_recorder=$!
start_recording "$root/default.raw"
start_zarvo
if id="$(wait_window "$dialog" 90)"; then
  sleep 1
  { xwd -id "$id" -silent | convert xwd:- "$root/outputs-dialog.png"; } 2>/dev/null || true
  # The list holds the arrow keys. Wine lists its own device that follows the server's default
  # (preferred, first), then each sink: Down to the end (pressed again, as a key sent before
  # Wine takes input is lost) is the sink added here.
  for _ in 1 2 3 4 5; do
    send_key "$id" Down
    sleep 0.5
  done
  { xwd -id "$id" -silent | convert xwd:- "$root/outputs-picked.png"; } 2>/dev/null || true
  answer "$dialog" Return 60 || fail "two outputs: the dialog took no key"
  if [ -n "$(wait_window '^Zarvo / Quillmoor$' 90)" ]; then
    sleep 6
    expect "two outputs: Escape ends the show, exit code" "$(escape_show 60)" 0
  else
    fail "two outputs: no main window"
  fi
else
  fail "two outputs: no sound dialog"
fi
stop_recording
kill "$other_recorder" 2>/dev/null || true
wait "$other_recorder" 2>/dev/null || true
pactl unload-module "$other_sink" || true
if [ -s "$root/other.raw" ] && sound_in "$root/other.raw"; then
  pass "two outputs: the picked output played the music"
else
  fail "two outputs: the picked output heard no music"
fi
if sound_in "$root/default.raw"; then
  fail "two outputs: sound reached the output not picked"
else
  pass "two outputs: the output not picked stayed silent"
fi
session_settle

source tests/windows/wine_study.sh

echo "== the show's pace on displays of 60, 120 and 144 Hz (the tests' refresh, made by a clock)"
# Wine's own wait for the vertical blank returns at once, so the refresh is the tests' (the
# program's clock at ZARVO_TEST_REFRESH_HZ); the rule gives 60, 60 and 72 frames a second, and
# --fps display every refresh. Where the system permits it, the program runs at a real-time
# priority (as the live pace test does): on a busy machine frames miss their time, which would
# measure the machine, not the pace.
if chrt -f 10 true 2>/dev/null; then
  zarvo_launcher="chrt -f 10"
else
  echo "note: no real-time priority here (chrt); a busy machine may make frames miss their time"
fi
for pace in "60 60" "120 60" "144 72" "144 144 --fps display"; do
  read -r hz expected fps_option <<<"$pace"
  trace_channels="$pace_trace"
  # shellcheck disable=SC2086 # the option and its value, or nothing
  ZARVO_TEST_REFRESH_HZ=$hz start_zarvo --sound none --window $fps_option
  trace_channels=
  if [ -n "$(wait_window '^Zarvo / Quillmoor$' 90)" ]; then
    sleep 9
    echo "   the show used $(cpu_share 3) % of a core"
    expect "$hz Hz${fps_option:+ $fps_option}: Escape ends it, exit code" "$(escape_show 60)" 0
    check_rate "$hz Hz${fps_option:+ $fps_option}" 3 "$expected"
  else
    fail "$hz Hz: no main window"
  fi
  session_settle
done
zarvo_launcher=

if [ -n "$show_times" ]; then
  echo "== the Linux capture of the same module, for reference"
  capture_fps=60
  (cd "$program_folder" && "$linux_build/zarvo-capture" --out "$root/capture" --max-seconds 45 \
    --fps "$capture_fps" --quiet)
  # shellcheck disable=SC2086 # two numbers
  # -B: no bytecode cache written into the source tree.
  if python3 -B tests/windows/wine_compare.py "$shots" "$root/capture" "$capture_fps" \
    "$root/sound.raw" $show_times; then
    pass "the pictures, the sound and their pace match the Linux capture"
  else
    fail "the pictures, the sound or their pace differ from the Linux capture"
  fi
  if [ -n "$desktop_times" ]; then
    # shellcheck disable=SC2086 # two numbers
    python3 -B tests/windows/wine_compare.py --sound "$root/capture" "$root/desktop-sound.raw" \
      $desktop_times && pass "desktop's mode: the sound is the capture's, in real time" ||
      fail "desktop's mode: the sound differs from the capture's, or does not keep time"
  fi
fi

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
