# The stage of the Wine tests, sourced by wine_e2e.sh: a private folder holding Wine's prefix and
# HOME, an X server of its own, a sound server of its own, and the helpers that start zarvo.exe
# and answer its windows as a person would.
#
# The sound server is a private PulseAudio whose one output (a null sink) plays at the pace of
# real time into nothing and is recorded (parec) into a file. Wine is told to use its PulseAudio
# driver, so neither the machine's sound card nor its ALSA configuration plays any part: a 64-bit
# ALSA configuration that names plugins with no 32-bit build (PulseAudio's, on most desktops)
# makes 32-bit ALSA reject its whole configuration, and Wine's ALSA driver then offers no device.
# A device that takes sound faster than real time (ALSA's null or file PCM) would let the music
# race without any test noticing; the null sink keeps the pace a speaker would.
#
# Every wait is generous (a loaded two-core machine starts a Wine program in seconds, not
# milliseconds), and every key is pressed again until its window reacts: Wine maps a window
# before it takes input, and a key sent in between is lost.
#
# A key pressed into the focused window goes through the X server's test extension, and xdotool
# ends with an error, between press and release, when the window goes away meanwhile (the key
# ended the program). The key then stays down in the X server and repeats into every window that
# follows: the next program's sound dialog is cancelled before anyone sees it, and its error box
# answered too. So every press is followed by a release of its own.
#
# After session_start: $root, DISPLAY, WINEPREFIX, PULSE_SERVER are set; `run` names the folder of
# the latest start_zarvo.

session_pids=() # what session_start started, ended by session_cleanup

session_cleanup() {
  # Only what the session started: the wineserver of its own prefix, its sound server and its
  # X server.
  WINEPREFIX="$root/prefix" wineserver -k 2>/dev/null || true
  local pid
  for pid in "${session_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  if [ -n "${ZARVO_WINE_KEEP:-}" ]; then
    echo "wine_e2e: kept $root"
  else
    rm -rf "$root"
  fi
}

session_require() {
  local tool
  for tool in wine wineserver Xvfb xdotool xdpyinfo xwd convert python3 pulseaudio pactl parec; do
    command -v "$tool" >/dev/null ||
      { echo "wine_e2e: $tool is missing (tools/install-deps.sh --windows installs it)" >&2; exit 1; }
  done
}

# Waits up to $2 seconds for the command $1 to succeed.
session_wait_for() {
  local deadline=$((SECONDS + $2))
  until eval "$1" >/dev/null 2>&1; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.2
  done
}

session_start() {
  root="$(mktemp -d "${TMPDIR:-/tmp}/zarvo-wine.XXXXXX")"
  trap session_cleanup EXIT
  export HOME="$root/home" XDG_RUNTIME_DIR="$root/runtime"
  mkdir -p "$HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"

  # An X server on a display number it picks itself. -noreset: a server reset, when its last
  # client leaves, would drop a connection still in its set-up (see start_display in
  # tests/e2e/sdl_e2e.sh).
  Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$root/display" \
    2>"$root/xvfb.log" &
  session_pids+=($!)
  session_wait_for '[ -s "$root/display" ]' 30 || { echo "wine_e2e: Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$(head -n 1 "$root/display")"
  session_wait_for xdpyinfo 30 || { echo "wine_e2e: the X server does not answer" >&2; exit 1; }

  # The sound server: 48 kHz 16-bit stereo, the program's own format, so nothing is converted.
  export PULSE_SERVER="unix:$root/pulse.socket"
  pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --realtime=no \
    --high-priority=no --log-target="file:$root/pulse.log" \
    -L "module-null-sink sink_name=zarvo_speaker rate=48000 format=s16le channels=2" \
    -L "module-native-protocol-unix auth-anonymous=1 socket=$root/pulse.socket" \
    >/dev/null 2>&1 &
  session_pids+=($!)
  session_wait_for 'pactl list short sinks | grep -q zarvo_speaker' 30 ||
    { echo "wine_e2e: the sound server did not start:" >&2; cat "$root/pulse.log" >&2; exit 1; }

  export WINEPREFIX="$root/prefix" WINEARCH=win32 WINEDEBUG=-all
  # No prompts to install Wine's .NET and HTML engines.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  wineboot -i >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d pulse /f >/dev/null 2>&1
  session_virtual_desktop on
}

# A virtual desktop (on) or none (off). On plain Xvfb, Wine cannot change the display mode to
# 320x200; inside its own desktop it can, and shows the picture 1:1 at the desktop's top left.
session_virtual_desktop() {
  if [ "$1" = on ]; then
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
  else
    wine reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1
  fi
  session_settle
}

# Waits for every program of the prefix to end (the desktop and services follow their last
# program), ending them after two minutes.
session_settle() {
  timeout 120 wineserver -w 2>/dev/null || { echo "wine_e2e: Wine did not settle; ended" >&2; wineserver -k; }
}

# Starts zarvo.exe in a fresh working folder $run, a copy of $program_folder (without the module
# if $1 is "no-module"), with the arguments that follow and Wine's message box trace (and the
# channels in $trace_channels) on standard error, $run/trace.txt; $zarvo_launcher, if set, starts
# wine (e.g. at a real-time priority).
session_runs=0
start_zarvo() {
  run="$root/run$((++session_runs))"
  cp -r "$program_folder" "$run"
  if [ "${1:-}" = no-module ]; then
    rm "$run/Zarvo.xm"
    shift
  fi
  # The exit code is kept whatever it is (the subshell inherits set -e).
  # shellcheck disable=SC2086 # a command and its arguments, or nothing
  (cd "$run" && code=0 && WINEDEBUG="-all,trace+msgbox${trace_channels:+,$trace_channels}" \
     ${zarvo_launcher:-} wine zarvo.exe "$@" >"$run/out.txt" \
     2>"$run/trace.txt" || code=$?; echo "$code" >"$run/rc") &
}

# Prints the id of a visible window whose name matches $1 (a regular expression), waiting up to
# $2 seconds.
wait_window() {
  local deadline=$((SECONDS + $2)) id
  while [ $SECONDS -lt $deadline ]; do
    id="$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n 1 || true)"
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}

# Presses key $2 in window $1 and makes sure the key is up again afterwards. A window that went
# away meanwhile is no error here (what follows checks the outcome).
send_key() {
  xdotool key --window "$1" "$2" 2>/dev/null || true
  xdotool keyup "$2" 2>/dev/null || true
}

window_visible() {
  xdotool search --onlyvisible --name "$1" 2>/dev/null | grep -qx "$2"
}

# Waits up to $3 seconds for a window named $1, then presses key $2 in it until it goes away
# (within $3 seconds more). Fails if the window never came or never went.
answer() {
  local id deadline
  id="$(wait_window "$1" "$3")" || return 1
  deadline=$((SECONDS + $3))
  while window_visible "$1" "$id"; do
    [ $SECONDS -lt $deadline ] || return 1
    send_key "$id" "$2"
    session_wait_for "! window_visible '$1' $id" 2 || true
  done
}

# Waits up to $1 seconds for the program to end and prints its exit code; a program still
# running then is ended with the rest of the prefix, and "hung" is printed.
wait_exit() {
  if session_wait_for '[ -s "$run/rc" ]' "$1"; then
    cat "$run/rc"
  else
    wineserver -k 2>/dev/null || true
    echo hung
  fi
}

# Presses Escape in the main window until the program ends (up to $1 seconds); prints its exit
# code, or "hung", or "no window".
escape_show() {
  local id deadline=$((SECONDS + $1))
  if ! id="$(wait_window '^Zarvo / Quillmoor$' "$1")"; then
    wait_exit 1 >/dev/null
    echo "no window"
    return
  fi
  while [ ! -s "$run/rc" ] && [ $SECONDS -lt $deadline ]; do
    send_key "$id" Escape
    session_wait_for '[ -s "$run/rc" ]' 3 || true
  done
  wait_exit 1
}

# The text of the message box the program showed, as Wine's trace writes it (\r\n escaped).
box_text() {
  sed -n 's/.*trace:msgbox:MSGBOX_OnInit L"\(.*\)".*/\1/p' "$run/trace.txt" | head -n 1
}

# The process id of the zarvo.exe started in $run (empty when it is not running).
zarvo_pid() {
  local pid
  for pid in $(pgrep -f 'zarvo.exe' || true); do
    [ "$(readlink "/proc/$pid/cwd" 2>/dev/null)" = "$run" ] && { echo "$pid"; return; }
  done
}

# The share of one core the zarvo.exe of $run uses over $1 seconds, in per cent.
cpu_share() {
  local pid before after
  pid="$(zarvo_pid)"
  [ -n "$pid" ] || { echo "?"; return; }
  before="$(awk '{ print $14 + $15 }' "/proc/$pid/stat")"
  sleep "$1"
  after="$(awk '{ print $14 + $15 }' "/proc/$pid/stat" 2>/dev/null || echo "$before")"
  echo $(((after - before) * 100 / ($1 * $(getconf CLK_TCK))))
}

# The geometry of window $1: "X Y WIDTH HEIGHT".
window_geometry() {
  xwininfo -id "$1" 2>/dev/null | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
    /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x, y, w, h }'
}

# Grabs the area "X Y WIDTH HEIGHT" of the screen into $2, brought to 320x200.
grab_area() {
  local x y w h
  read -r x y w h <<<"$1"
  { xwd -root -silent 2>/dev/null |
      convert xwd:- -crop "${w}x$h+$x+$y" +repage -scale '320x200!' "$2"; } 2>/dev/null || rm -f "$2"
}

# Grabs the 320x200 picture at the desktop's top left into $1. A grab that fails while Wine
# changes its windows (the display mode switch) leaves no file.
grab() {
  { xwd -root -silent 2>/dev/null | convert xwd:- -crop 320x200+0+0 +repage "$1"; } 2>/dev/null ||
    rm -f "$1"
}

# Records what the sound server's output plays, from now until stop_recording, into $1 (48 kHz
# 16-bit stereo; silence while nothing plays).
start_recording() {
  parec --device=zarvo_speaker.monitor --format=s16le --rate=48000 --channels=2 --raw \
    --latency-msec=50 >"$1" 2>"$root/parec.log" &
  recorder_pid=$!
  # Recording has begun once the first silence arrived.
  session_wait_for "[ -s '$1' ]" 30 || echo "wine_e2e: the recorder took no sound" >&2
}

stop_recording() {
  sleep 1 # the last sound played on the way to the file
  kill "$recorder_pid" 2>/dev/null || true
  wait "$recorder_pid" 2>/dev/null || true
}
