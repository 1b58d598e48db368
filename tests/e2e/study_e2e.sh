#!/bin/bash
# The study mode as a person uses it: `zarvo --study` on its own virtual display (Xvfb), driven
# by xdotool, read back from screenshots and from the stills it writes, and its picture compared
# with zarvo-capture's frame of the same number.
#
#   study_e2e.sh ZARVO ZARVO_CAPTURE MODULE
# Pauses (the screen stands still), steps forward and back (the stills' frame numbers follow),
# goes back to the start (Home) and seeks to the third caption (Right three times), turns on the
# figures and the grid (the screen changes, the still does not), compares the stills of the
# start and of the caption with the capture's PNGs of those frames, resumes (the screen moves
# again) and ends with Escape. The sound it played (SDL's disk driver) is silent while paused
# and plays again after.
set -u
zarvo=$1
capture=$2
module=$3

work=$(mktemp -d)
xvfb_pid=
zarvo_pid=

cleanup() {
    for pid in $zarvo_pid $xvfb_pid; do
        kill -KILL "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    if [ -n "${KEEP_E2E_DIR:-}" ]; then
        echo "kept $work"
    else
        rm -rf "$work"
    fi
}
trap cleanup EXIT

fail() {
    echo "FAIL (study): $*"
    for file in out err; do
        if [ -f "$work/$file.txt" ]; then
            echo "--- zarvo's $file:"
            cat "$work/$file.txt"
        fi
    done
    exit 1
}

# -noreset: see sdl_e2e.sh (a reset drops connections still in their set-up).
Xvfb -displayfd 3 -noreset -screen 0 800x600x24 -nolisten tcp 3>"$work/display" \
    2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"

cp "$module" "$work/Zarvo.xm"
# The sound goes to a file, as a device would take it (SDL's disk driver, in real time).
(cd "$work" && exec env SDL_AUDIODRIVER=disk "SDL_DISKAUDIOFILE=$work/sound.raw" \
    ZARVO_NO_MESSAGEBOX=1 "$zarvo" --study --window --sound default \
    >"$work/out.txt" 2>"$work/err.txt") &
zarvo_pid=$!

window=
for _ in $(seq 200); do
    for id in $(xwininfo -root -tree 2>/dev/null | grep -F '"Zarvo / Quillmoor":' | awk '{ print $1 }'); do
        if xwininfo -id "$id" 2>/dev/null | grep -q "Map State: IsViewable"; then
            window=$id
        fi
    done
    [ -n "$window" ] && break
    kill -0 "$zarvo_pid" 2>/dev/null || fail "zarvo ended before its window appeared"
    sleep 0.05
done
[ -n "$window" ] || fail "no window"

press() {
    xdotool windowfocus --sync "$window" 2>/dev/null
    xdotool key --window "$window" "$@"
    sleep 0.4
}

shot() {
    import -window root "$work/$1.png" || fail "no screenshot"
}

# Pixels that differ between two screenshots.
differ() {
    compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1 | cut -d' ' -f1
}

# The n-th line of the stills' list: "still-NNNNNN.png: sync count C, frame F"; prints "F C".
still_line() {
    [ -f "$work/stills.txt" ] || fail "no stills.txt"
    sed -n "$1p" "$work/stills.txt" | sed -E 's/^still-[0-9]+\.png: sync count ([0-9]+), frame ([0-9]+)$/\2 \1/'
}

sleep 1.5
press space
shot paused1
sleep 0.8
shot paused2
[ "$(differ paused1 paused2)" = 0 ] || fail "the picture moved while paused"

press s
read -r frame0 _ <<<"$(still_line 1)"
[ -n "$frame0" ] || fail "no still written: $(cat "$work/stills.txt")"
press period s
read -r frame1 _ <<<"$(still_line 2)"
[ "$frame1" = $((frame0 + 1)) ] || fail "'.' went from frame $frame0 to $frame1"
press comma comma s
read -r frame2 _ <<<"$(still_line 3)"
[ "$frame2" = $((frame0 - 1)) ] || fail "',' twice went from frame $frame1 to $frame2"

press Home s
read -r home _ <<<"$(still_line 4)"
[ "$home" = 0 ] || fail "Home went to frame '$home'"
press Right Right Right
shot caption
press s
read -r frame sync <<<"$(still_line 5)"
[ -n "$sync" ] && [ $((sync >> 7)) = 4 ] || fail "the third caption's still is at sync count '$sync'"
cp "$work/$(printf 'still-%06d.png' "$frame")" "$work/plain-still.png"

press F1
shot figures
[ "$(differ caption figures)" -gt 1000 ] || fail "F1 showed no figures"
press g
shot grid
[ "$(differ figures grid)" -gt 1000 ] || fail "g showed no grid"
press s
cmp -s "$work/plain-still.png" "$work/$(printf 'still-%06d.png' "$frame")" ||
    fail "the still changed with the overlays on"

# The capture's frames of those numbers: each run begins with the first frame at or after
# --start. Within one step of 255 per channel (the tracers' stated bound).
same_as_capture() {
    local still=$1 number=$2 count=$3 start
    start=$(awk -v f="$number" 'BEGIN { s = (f - 0.5) / 60; printf "%.6f", s < 0 ? 0 : s }')
    rm -rf "$work/cap"
    (cd "$work" && "$capture" --out cap --start "$start" --max-seconds 0.01 --quiet >/dev/null 2>&1) ||
        fail "zarvo-capture failed"
    captured=$(sed -n 2p "$work/cap/frames.csv" | cut -d, -f2)
    [ "$captured" = "$count" ] || fail "the capture drew frame $number at $captured, the study at $count"
    far=$(compare -metric AE -fuzz 0.4% "$still" "$work/cap/frames/000000.png" null: 2>&1 | cut -d' ' -f1)
    [ "$far" = 0 ] || fail "the still and the capture's frame $number differ in $far pixels"
}
same_as_capture "$work/plain-still.png" "$frame" "$sync"
same_as_capture "$work/still-000000.png" 0 0

press g F1 space
shot running1
sleep 0.5
shot running2
[ "$(differ running1 running2)" -gt 0 ] || fail "the picture stood still after resuming"

press Escape
for _ in $(seq 100); do
    kill -0 "$zarvo_pid" 2>/dev/null || break
    sleep 0.05
done
kill -0 "$zarvo_pid" 2>/dev/null && fail "zarvo still runs after Escape"
wait "$zarvo_pid"
zarvo_pid=

# The music while paused: 48 kHz 16-bit stereo; the longest run of silence between the first
# sound and the last must hold the pause (more than 3 s of it), and the music plays after it.
read -r first last longest <<<"$(od -An -v -td2 -w4 "$work/sound.raw" | awk '
    { quiet = ($1 == 0 && $2 == 0) }
    !quiet && first == "" { first = NR }
    !quiet { if (first != "" && NR - lastSound - 1 > longest && lastSound > 0) longest = NR - lastSound - 1; lastSound = NR }
    END { print first + 0, lastSound + 0, longest + 0 }')"
[ "$first" -gt 0 ] || fail "no sound was played"
[ "$longest" -gt $((3 * 48000)) ] || fail "the longest silence within the music is $longest frames: the pause did not hold the music"
[ $((last - first)) -gt $((longest + 48000 / 2)) ] || fail "no music after the pause ($first to $last, $longest silent)"
echo "PASS (study): frames $frame0 -> $frame1 -> $frame2; third caption at frame $frame, sync count $sync; $((longest * 1000 / 48000)) ms of silence while paused"
