#!/bin/bash
# Gaps in the live program's sound under a fixed processor load: zarvo plays its show on a
# virtual display into a private PulseAudio server's null sink, while stress-ng keeps two cores
# busy; the sink is recorded, and every run of 1 ms or more of digital silence between the first
# and the last sound is a gap (the module itself has none: its capture holds no such run).
#
#   sound_gaps.sh ZARVO MODULE [SECONDS] [CPU_WORKERS]     (defaults: 60 s, 2 workers)
# Prints the gaps, their total length, and the seconds of sound recorded. Needs pulseaudio,
# pulseaudio-utils, stress-ng and Xvfb (tools/install-deps.sh).
set -u
zarvo=$(readlink -f "$1")
module=$2
seconds=${3:-60}
workers=${4:-2}

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    rm -rf "$work"
}
trap cleanup EXIT

export XDG_RUNTIME_DIR=$work HOME=$work PULSE_RUNTIME_PATH=$work
cat >"$work/sink.pa" <<PA
load-module module-null-sink sink_name=zarvo_null rate=48000 channels=2 format=s16le
set-default-sink zarvo_null
load-module module-native-protocol-unix
PA
pulseaudio -n -F "$work/sink.pa" --daemonize=no --exit-idle-time=-1 --disallow-exit \
    --use-pid-file=no >"$work/pulse.log" 2>&1 &
pids+=($!)
Xvfb -displayfd 3 -noreset -screen 0 640x480x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do
    [ -S "$work/pulse/native" ] && [ -s "$work/display" ] && break
    sleep 0.1
done
export DISPLAY=":$(head -n1 "$work/display")"
cp "$module" "$work/Zarvo.xm"

parec -d zarvo_null.monitor --raw --format=s16le --rate=48000 --channels=2 >"$work/heard.raw" &
pids+=($!)
recorder=$!
if [ "$workers" -gt 0 ]; then
    stress-ng --cpu "$workers" --quiet &
    pids+=($!)
fi
(cd "$work" && SDL_AUDIODRIVER=pulseaudio ZARVO_NO_MESSAGEBOX=1 exec "$zarvo" --sound default \
    >/dev/null 2>"$work/err.txt") &
zarvo_pid=$!
sleep "$seconds"
window=$(xdotool search --name "Zarvo / Quillmoor" | head -n1)
xdotool key --window "$window" Escape
wait "$zarvo_pid"
# The null sink hands its recorder what it played in blocks of up to two seconds.
sleep 3
kill "$recorder"
od -An -v -t d2 -w4 "$work/heard.raw" | awk -v min=48 '
    { silent = ($1 == 0 && $2 == 0) }
    !silent { if (!started) { started = 1 } else if (run >= min) { gaps++; gapFrames += run }
              last = NR; run = 0; next }
    started { run++ }
    END { printf "gaps: %d (%.3f s of silence) in %.1f s of sound\n", gaps, gapFrames / 48000, last / 48000 }'
