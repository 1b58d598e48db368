#!/bin/bash
# End-to-end tests of the show's pace in the live program: zarvo runs on a virtual display whose
# refresh it is told (ZARVO_TEST_REFRESH_HZ: a timer makes the refreshes, as Xvfb has none),
# writes its frame log (ZARVO_FRAME_LOG), and the light's turns per second over the main phase
# must come within 2 % of the pace the rule gives for that display. Same virtual display and
# helpers as sdl_e2e.sh. Prints the frames per second and zarvo's CPU use over the run.
# Where the system permits it (chrt), zarvo and Xvfb run at a real-time priority, so that other
# work on a busy machine does not make frames miss their refresh: the test measures the pace
# the program keeps, not the machine's load (a present that misses its refresh waits for the
# next one, as on a real display).
#
#   sdl_pace_e2e.sh ZARVO MODULE SCENARIO
# SCENARIO: 60, 120, 144 (the show's own pace on a display of that many Hz), display-144
# (--fps display: every refresh, as before the show was paced) or virtual (no refresh given:
# Xvfb's, whose wait does not wait, so the timer paces).
E2E_HELPERS_ONLY=1 source "$(dirname "$0")/sdl_e2e.sh" "$@"

run_seconds=${ZARVO_PACE_SECONDS:-9}
options=(--sound none)
case $scenario in
60 | 120 | 144)
    export ZARVO_TEST_REFRESH_HZ=$scenario
    case $scenario in
    60) rate=60 plan="60 frames a second: every refresh of 60 Hz" ;;
    120) rate=60 plan="60 frames a second: every 2nd refresh of 120 Hz" ;;
    144) rate=72 plan="72 frames a second: every 2nd refresh of 144 Hz" ;;
    esac
    ;;
display-144)
    export ZARVO_TEST_REFRESH_HZ=144
    options+=(--fps display)
    rate=144 plan="144 frames a second: every refresh of 144 Hz"
    ;;
virtual)
    unset ZARVO_TEST_REFRESH_HZ
    rate=60 plan="60 frames a second: by the timer"
    ;;
*)
    fail "unknown scenario"
    ;;
esac
export ZARVO_FRAME_LOG=$work/frames.txt
if chrt -f 10 true 2>/dev/null; then
    launcher=(chrt -f 10)
    display_launcher=(chrt -f 10)
else
    echo "note: no real-time priority here (chrt); a busy machine may make frames miss refreshes"
fi

# CPU seconds (user + system) zarvo has used so far.
cpu_seconds() {
    awk -v hz="$(getconf CLK_TCK)" '{ sub(/^.*\) /, ""); print ($12 + $13) / hz }' \
        "/proc/$zarvo_pid/stat"
}

cp "$module" "$work/Zarvo.xm" || fail "no module $module"
start_display
start_zarvo "${options[@]}"
main_window=$(wait_window "Zarvo / Quillmoor") || fail "the intro's window did not appear"
sleep 2
cpu_begin=$(cpu_seconds)
time_begin=$(date +%s%N)
sleep $((run_seconds - 2))
cpu_end=$(cpu_seconds)
time_end=$(date +%s%N)
shot paced
press "$main_window" Escape
wait_exit "$exit_limit"
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code after Escape"

# The plan the program took is the one the rule gives for this display (the last one logged:
# a vsync found not to wait is replaced by the timer).
taken=$(grep '^# pace: ' "$work/frames.txt" | tail -n1 | sed -e 's/^# pace: //' -e 's/ (.*)$//')
[ "$taken" = "$plan" ] || fail "the pace taken is '$taken', not '$plan'"

# Turns per second over the main phase: from a second after the light's first turn to the end.
read -r frames turns span < <(awk '
    !/^#/ && $2 > 0 { if (start == "") { start = $1 + 1 } }
    !/^#/ && start != "" && $1 >= start {
        if (first == "") { first = $1; firstTurns = $2; count = 0 }
        last = $1; lastTurns = $2; ++count
    }
    END { printf "%d %d %.6f\n", count - 1, lastTurns - firstTurns, last - first }' \
    "$work/frames.txt")
above "$span" 3 || fail "only ${span}s of the main phase in the frame log"
per_second=$(awk -v t="$turns" -v s="$span" 'BEGIN { printf "%.2f", t / s }')
fps=$(awk -v f="$frames" -v s="$span" 'BEGIN { printf "%.2f", f / s }')
cpu=$(awk -v a="$cpu_begin" -v b="$cpu_end" -v t0="$time_begin" -v t1="$time_end" \
    'BEGIN { printf "%.0f", 100 * (b - a) / ((t1 - t0) / 1e9) }')
echo "zarvo, $scenario: $plan; $fps frames and $per_second turns of the light a second" \
    "over ${span}s; CPU $cpu % of one core"
awk -v r="$per_second" -v e="$rate" 'BEGIN { exit !(r >= e * 0.98 && r <= e * 1.02) }' ||
    fail "the light turns $per_second times a second, not $rate (within 2 %)"
# The scene is on the screen, not only in the log.
floor=$(mean_level paced 800x200+0+380)
above "$floor" 0.03 || fail "the floor is dark (mean $floor)"
