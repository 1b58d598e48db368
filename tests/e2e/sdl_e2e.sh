#!/bin/bash
# End-to-end tests of the live program: start the real `zarvo` on its own virtual display (Xvfb)
# with SDL's dummy audio driver, drive it with xdotool as a user would, and read the screen with
# ImageMagick.
#
#   sdl_e2e.sh ZARVO MODULE SCENARIO
# SCENARIO is one of: show, missing-module, error-box, cancel-dialog, no-sound, focus, alt-enter,
# no-display, lost-display, lost-display-dialog, signals, signal-dialog, slow-connect,
# startup-lost-display, no-opengl, quiet-messages, stuck-sound, no-output, pick-output.
# Error boxes go to standard error only (ZARVO_NO_MESSAGEBOX=1), so nothing waits for a click,
# except in error-box, which reads the box on the screen and answers it.
# A dialog or box that zarvo could not show fails the test with zarvo's reason (its standard
# error is printed with every failure).
# ZARVO_E2E_EXIT_LIMIT (seconds, default 2) bounds the time from Escape to the process's end;
# the sanitizer build raises it, as its leak check at exit alone takes about a second.
set -u
exit_limit=${ZARVO_E2E_EXIT_LIMIT:-2}

zarvo=$1
module=$2
scenario=$3

work=$(mktemp -d)
xvfb_pid=
zarvo_pid=
other_pid=

cleanup() {
    for pid in $other_pid $zarvo_pid $xvfb_pid; do
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
    echo "FAIL ($scenario): $*"
    if [ -f "$work/err.txt" ]; then
        echo "--- zarvo's standard error:"
        cat "$work/err.txt"
    fi
    exit 1
}

# Starts Xvfb on a free display number (it picks one itself and tells us through a pipe).
# -noreset: by default the server resets whenever its last set-up client leaves, and a reset
# closes every connection still in its set-up; so when one of the xwininfo or xdotool runs that
# poll for a window ended while zarvo was between its connect() and its set-up request (a few
# milliseconds, or longer on a loaded machine), zarvo's connection was dropped, SDL found no X11
# display and zarvo said "no X11 or Wayland display answered".
start_display() {
    rm -f "$work/display" # a number left from an earlier server must not be read for this one
    "${display_launcher[@]}" Xvfb -displayfd 3 -noreset -screen 0 800x600x24 -nolisten tcp 3>"$work/display" \
        2>"$work/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 100); do
        if [ -s "$work/display" ]; then
            export DISPLAY=":$(head -n1 "$work/display")"
            return 0
        fi
        sleep 0.1
    done
    fail "Xvfb did not start"
}

no_messagebox=1
launcher=()                       # what zarvo is started under, if anything
display_launcher=()               # what Xvfb is started under, if anything
audio_env=(SDL_AUDIODRIVER=dummy) # SDL's sound driver

start_zarvo() {
    (cd "$work" && exec env "${audio_env[@]}" ZARVO_NO_MESSAGEBOX=$no_messagebox \
        "${launcher[@]}" "$zarvo" \
        "$@" >"$work/out.txt" 2>"$work/err.txt") &
    zarvo_pid=$!
}

# Prints the id of the mapped top-level window with this exact title, waiting up to ~10 s.
# (SDL may replace a window by a new one when it sets up a renderer, so only a mapped one counts.)
wait_window() {
    local title=$1
    local id
    for _ in $(seq 200); do
        for id in $(xwininfo -root -tree 2>/dev/null | grep -F "\"$title\":" | awk '{ print $1 }'); do
            if xwininfo -id "$id" 2>/dev/null | grep -q "Map State: IsViewable"; then
                echo "$id"
                return 0
            fi
        done
        if [ -n "$zarvo_pid" ] && ! kill -0 "$zarvo_pid" 2>/dev/null; then
            return 1
        fi
        sleep 0.05
    done
    return 1
}

press() {
    local id=$1
    local key=$2
    xdotool windowfocus --sync "$id" 2>/dev/null
    xdotool key --window "$id" "$key"
}

answer_dialog() {
    local id
    id=$(wait_window "Zarvo: sound setup") || fail "the sound dialog did not appear"
    press "$id" "$1"
}

# Waits up to $1 seconds for zarvo to end; sets exit_code (or fails).
wait_exit() {
    local limit=$1
    local deadline
    deadline=$(($(date +%s%N) + limit * 1000000000))
    while kill -0 "$zarvo_pid" 2>/dev/null; do
        [ "$(date +%s%N)" -lt "$deadline" ] || fail "zarvo still runs ${limit}s later"
        sleep 0.05
    done
    wait "$zarvo_pid"
    exit_code=$?
    zarvo_pid=
}

shot() {
    import -window root "$work/$1.png" || fail "no screenshot"
}

# Share of the region's pixels (WxH+X+Y) that are pure white.
white_share() {
    convert "$work/$1.png" -crop "$2" +repage -fill black +opaque white -fill white -opaque white \
        -colorspace gray -format "%[fx:mean]" info:
}

mean_level() {
    convert "$work/$1.png" -crop "$2" +repage -colorspace gray -format "%[fx:mean]" info:
}

different_pixels() {
    compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1 | cut -d' ' -f1
}

above() {
    awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'
}

start_show() {
    cp "$module" "$work/Zarvo.xm" || fail "no module $module"
    start_display
    start_zarvo
    answer_dialog Return
    main_window=$(wait_window "Zarvo / Quillmoor") || fail "the intro's window did not appear"
    sleep 0.5
    main_window=$(wait_window "Zarvo / Quillmoor") || fail "the intro's window went away"
}

# program_e2e.sh borrows the helpers above for its own scenarios.
if [ "${E2E_HELPERS_ONLY:-0}" = 1 ]; then
    return 0
fi

case $scenario in
show)
    start_show
    sleep 4
    shot scene
    # 800x600 is 4:3, so the 320x200 picture fills the screen at 2.5 x 3 per pixel. The title
    # "Zarvo!" stands white in the middle; the mirror floor fills the lower half with colour.
    title=$(white_share scene 200x60+300+270)
    above "$title" 0.03 || fail "no white title in the middle of the screen (white share $title)"
    floor=$(mean_level scene 800x200+0+380)
    above "$floor" 0.03 || fail "the floor is dark (mean $floor)"
    corner=$(white_share scene 100x100+0+500)
    above 0.01 "$corner" || fail "white where only the floor should be"
    begin=$(date +%s%N)
    press "$main_window" Escape
    wait_exit "$exit_limit"
    end=$(date +%s%N)
    [ "$exit_code" -eq 0 ] || fail "exit code $exit_code after Escape"
    echo "Escape to exit: $(((end - begin) / 1000000)) ms"
    ;;
missing-module)
    # Missing in the working directory, which is searched first: no fallback to the built one.
    ln -s gone.xm "$work/Zarvo.xm"
    start_display
    start_zarvo
    answer_dialog Return
    wait_exit 10
    [ "$exit_code" -eq 0 ] || fail "exit code $exit_code"
    grep -q "MIDASloadModule() failed" "$work/err.txt" || fail "no module message"
    grep -q "The module 'Zarvo.xm' is missing or corrupt." "$work/err.txt" ||
        fail "the message does not name the file"
    ;;
error-box)
    no_messagebox=0
    ln -s gone.xm "$work/Zarvo.xm" # missing: the module message's box
    start_display
    start_zarvo
    answer_dialog Return
    box=$(wait_window "Error") || fail "the error box did not appear"
    sleep 0.3
    shot box
    # The box is light grey with dark text: both must be there in its middle.
    geometry=$(xwininfo -id "$box" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 }
        /Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 }
        END { print w "x" h "+" x "+" y }')
    face=$(mean_level box "$geometry")
    above "$face" 0.5 || fail "the box is not drawn (mean level $face in $geometry)"
    ink=$(convert "$work/box.png" -crop "$geometry" +repage -colorspace gray -threshold 30% \
        -negate -format "%[fx:mean]" info:)
    above "$ink" 0.01 || fail "no text in the box (dark share $ink)"
    kill -0 "$zarvo_pid" 2>/dev/null || fail "zarvo did not wait for the box to be answered"
    press "$box" Return
    wait_exit 10
    [ "$exit_code" -eq 0 ] || fail "exit code $exit_code"
    grep -q "The module 'Zarvo.xm' is missing or corrupt." "$work/err.txt" ||
        fail "standard error lacks the message"
    ;;
no-sound)
    # "No sound" from the keyboard alone: the arrow key moves the focus, Enter presses it.
    cp "$module" "$work/Zarvo.xm" || fail "no module $module"
    start_display
    start_zarvo
    dialog=$(wait_window "Zarvo: sound setup") || fail "the sound dialog did not appear"
    press "$dialog" Right
    press "$dialog" Return
    main_window=$(wait_window "Zarvo / Quillmoor") || fail "the intro's window did not appear"
    sleep 1.5
    main_window=$(wait_window "Zarvo / Quillmoor") || fail "the intro's window went away"
    shot silent1
    sleep 0.7
    shot silent2
    changed=$(different_pixels silent1 silent2)
    above "$changed" 100 || fail "the show does not run without sound ($changed pixels changed)"
    press "$main_window" Escape
    wait_exit "$exit_limit"
    [ "$exit_code" -eq 0 ] || fail "exit code $exit_code"
    ;;
cancel-dialog | slow-connect)
    # slow-connect: each connect() of zarvo returns 0.4 s late (strace injects the delay), so the
    # polls for the dialog's window come and go while its display connection awaits its set-up.
    # LeakSanitizer cannot work under ptrace, so the leak check is left to the other scenarios.
    if [ "$scenario" = slow-connect ]; then
        launcher=(strace -f -qq -o /dev/null -e trace=connect -e inject=connect:delay_exit=400000)
        export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
    fi
    cp "$module" "$work/Zarvo.xm"
    start_display
    start_zarvo
    answer_dialog Escape
    wait_exit 10
    [ "$exit_code" -eq 0 ] || fail "exit code $exit_code"
    grep -q "Sceners: MIDASconfig() failed (.*)." "$work/err.txt" || fail "no configuration message"
    grep -q "Lamers: You pressed something inappropriate..." "$work/err.txt" ||
        fail "no advice line"
    ;;
focus)
    start_show
    sleep 3
    xmessage -geometry 200x80+20+20 "another program" &
    other_pid=$!
    other=$(wait_window "xmessage") || fail "no other window"
    xdotool windowfocus --sync "$other"
    sleep 1
    shot paused1
    sleep 1.5
    shot paused2
    changed=$(different_pixels paused1 paused2)
    [ "$changed" = "0" ] || fail "the picture moved while another window had the focus ($changed pixels)"
    xdotool windowfocus --sync "$main_window"
    sleep 1
    shot running1
    sleep 0.7
    shot running2
    changed=$(different_pixels running1 running2)
    above "$changed" 100 || fail "the picture stands still after refocusing ($changed pixels)"
    press "$main_window" Escape
    wait_exit "$exit_limit"
    [ "$exit_code" -eq 0 ] || fail "exit code $exit_code"
    ;;
alt-enter)
    start_show
    width() { xwininfo -id "$main_window" | awk '/Width:/ { print $2 }'; }
    [ "$(width)" = 800 ] || fail "the window does not cover the 800-pixel screen"
    press "$main_window" alt+Return
    sleep 1
    windowed=$(width)
    [ "$windowed" -lt 800 ] || fail "Alt+Enter did not make a window (width $windowed)"
    shot windowed1
    sleep 0.7
    shot windowed2
    changed=$(different_pixels windowed1 windowed2)
    above "$changed" 100 || fail "the show stopped in the window"
    press "$main_window" alt+Return
    sleep 1
    [ "$(width)" = 800 ] || fail "the second Alt+Enter did not return to fullscreen"
    kill -0 "$zarvo_pid" 2>/dev/null || fail "the intro ended on Alt+Enter"
    press "$main_window" Escape
    wait_exit "$exit_limit"
    [ "$exit_code" -eq 0 ] || fail "exit code $exit_code"
    ;;
no-display)
    unset DISPLAY WAYLAND_DISPLAY
    cp "$module" "$work/Zarvo.xm"
    start_zarvo
    wait_exit 10
    [ "$exit_code" -eq 0 ] || fail "exit code $exit_code"
    grep -q "no display" "$work/err.txt" || fail "no clear message"
    ;;
quiet-messages)
    # zarvo's own message comes first and alone: no display (libwayland would complain of the
    # runtime folder that a session without a desktop lacks), and no sound card (ALSA would
    # print its search for one, line by line).
    only_ours() {
        head -n1 "$work/err.txt" | grep -q "^zarvo: $1" || fail "zarvo's message ($1) is not first"
        if grep -v "^zarvo: " "$work/err.txt"; then
            fail "the lines above are not zarvo's"
        fi
    }
    unset DISPLAY WAYLAND_DISPLAY XDG_RUNTIME_DIR
    cp "$module" "$work/Zarvo.xm"
    start_zarvo --sound none
    wait_exit 10
    only_ours "no display"
    # ALSA's own search for a card that is not there; a sound server that ALSA might route
    # to is out of reach too.
    launcher=(env SDL_AUDIODRIVER=alsa ALSA_CARD=99 PULSE_SERVER=unix:/nonexistent
        PIPEWIRE_REMOTE=/nonexistent)
    start_display
    start_zarvo --sound default --window
    main_window=$(wait_window "Zarvo / Quillmoor") || fail "the intro's window did not appear"
    press "$main_window" Escape
    wait_exit "$exit_limit"
    [ "$exit_code" -eq 0 ] || fail "exit code $exit_code"
    only_ours "no audio device"
    ;;
no-opengl)
    # No OpenGL context can be made (as over ssh -X, or with a broken driver): SDL's software
    # renderer draws the show, which looks as in the show scenario.
    for setting in LIBGL_ALWAYS_INDIRECT=1 LIBGL_DRIVERS_PATH=/nonexistent; do
        launcher=(env "$setting")
        start_show
        sleep 4
        shot software
        title=$(white_share software 200x60+300+270)
        above "$title" 0.03 || fail "$setting: no white title in the middle (white share $title)"
        floor=$(mean_level software 800x200+0+380)
        above "$floor" 0.03 || fail "$setting: the floor is dark (mean $floor)"
        press "$main_window" Escape
        wait_exit "$exit_limit"
        [ "$exit_code" -eq 0 ] || fail "$setting: exit code $exit_code after Escape"
        grep -q "^zarvo: no OpenGL for the window (.*); drawing in software" "$work/err.txt" ||
            fail "$setting: nothing says that OpenGL is missing"
        if grep -q "X Error" "$work/err.txt"; then
            fail "$setting: an X error reached standard error"
        fi
        kill -KILL "$xvfb_pid"
        wait "$xvfb_pid" 2>/dev/null
        xvfb_pid=
    done
    ;;
startup-lost-display)
    # The display server ends while zarvo starts: whenever that is, zarvo says that it has no
    # display (before its connection) or that it lost it, and never dies by a signal.
    cp "$module" "$work/Zarvo.xm"
    # Waits for zarvo after its display was killed, and checks what it said.
    expect_lost_display() {
        local when=$1
        local first
        wait "$xvfb_pid" 2>/dev/null
        xvfb_pid=
        wait_exit 10
        [ "$exit_code" -lt 128 ] || fail "$when: ended by signal $((exit_code - 128))"
        first=$(head -n1 "$work/err.txt")
        case $first in
        "zarvo: the connection to the display was lost; the intro ends.")
            [ "$exit_code" -eq 1 ] || fail "$when: exit code $exit_code for a lost display" ;;
        "zarvo: no display to show the intro on"*)
            [ "$exit_code" -eq 0 ] || fail "$when: exit code $exit_code for no display" ;;
        *) fail "$when: exit code $exit_code, and zarvo's message is not first" ;;
        esac
    }
    # First held where the OpenGL library loads its driver (strace delays the open for a
    # second), the moment that crashed inside the library.
    driver=$(ls /usr/lib/*/dri/swrast_dri.so /usr/lib*/dri/swrast_dri.so 2>/dev/null | head -n1)
    [ -n "$driver" ] || fail "no Mesa software driver (swrast_dri.so) to hold zarvo in"
    export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" # no LeakSanitizer under ptrace
    launcher=(strace -f -qq -o "$work/trace.txt" -P "$driver" -e trace=openat
        -e inject=openat:delay_exit=1000000)
    start_display
    start_zarvo --sound none
    for _ in $(seq 1000); do
        grep -qF "$driver" "$work/trace.txt" 2>/dev/null && break
        kill -0 "$zarvo_pid" 2>/dev/null || fail "zarvo ended before it loaded $driver"
        sleep 0.01
    done
    grep -qF "$driver" "$work/trace.txt" || fail "zarvo did not load $driver"
    kill -KILL "$xvfb_pid"
    expect_lost_display "during the driver's loading"
    grep -q "^zarvo: the connection to the display was lost" "$work/err.txt" ||
        fail "the display was lost during the driver's loading, and zarvo did not say so"
    # Then at 20 moments over the first 124 ms: the connection, the window, OpenGL, the font.
    launcher=()
    for step in $(seq 0 19); do
        delay=$((10 + step * 6))
        start_display
        start_zarvo --sound none
        sleep "$(printf '0.%03d' "$delay")"
        kill -KILL "$xvfb_pid"
        expect_lost_display "killed ${delay} ms after the start"
    done
    ;;
lost-display | lost-display-dialog | signals | signal-dialog)
    # Faults from outside: the display server ends, or a termination signal arrives, during the
    # show or while the sound dialog waits.
    elapsed_ms() { echo $((($(date +%s%N) - $1) / 1000000)); }
    # Waits until zarvo has stopped running code of its own, at most $1 ms after $2 (a start
    # in ns), and sets took (ms): gone, or its main thread a zombie while the kernel takes down
    # the other threads (which takes seconds on a loaded machine, and is not zarvo's doing).
    wait_stopped() {
        local state
        while :; do
            state=$(awk '{ print $3 }' "/proc/$zarvo_pid/stat" 2>/dev/null)
            if [ -z "$state" ] || [ "$state" = Z ]; then
                break
            fi
            [ "$(elapsed_ms "$2")" -le "$1" ] || fail "zarvo still runs $1 ms later"
            sleep 0.02
        done
        took=$(elapsed_ms "$2")
    }
    case $scenario in
    lost-display | lost-display-dialog)
        if [ "$scenario" = lost-display ]; then
            start_show
            sleep 1
        else
            cp "$module" "$work/Zarvo.xm"
            start_display
            start_zarvo
            wait_window "Zarvo: sound setup" >/dev/null || fail "the sound dialog did not appear"
        fi
        begin=$(date +%s%N)
        kill -KILL "$xvfb_pid"
        wait_stopped 1000 "$begin"
        echo "display lost to end: $took ms"
        wait "$xvfb_pid" 2>/dev/null
        xvfb_pid=
        wait_exit 10
        [ "$exit_code" -eq 1 ] || fail "exit code $exit_code"
        grep -q "^zarvo: the connection to the display was lost" "$work/err.txt" ||
            fail "no clear message"
        ;;
    signals)
        # Each signal closes the window as its close button does: the intro's own road.
        start_show
        for signal in TERM INT; do
            if [ "$signal" = INT ]; then
                start_zarvo
                answer_dialog Return
                wait_window "Zarvo / Quillmoor" >/dev/null || fail "no window the second time"
                sleep 0.5
            fi
            sleep 1
            begin=$(date +%s%N)
            kill -"$signal" "$zarvo_pid"
            wait_exit "$exit_limit"
            echo "SIG$signal to exit: $(elapsed_ms "$begin") ms"
            [ "$exit_code" -eq 0 ] || fail "exit code $exit_code after SIG$signal"
            [ ! -s "$work/err.txt" ] || fail "messages after SIG$signal"
            xwininfo -root -tree | grep -q '"Zarvo / Quillmoor"' && fail "the window stayed"
        done
        ;;
    signal-dialog)
        # Before the main window exists a signal ends the program at once, with no message box.
        cp "$module" "$work/Zarvo.xm"
        start_display
        start_zarvo
        wait_window "Zarvo: sound setup" >/dev/null || fail "the sound dialog did not appear"
        begin=$(date +%s%N)
        kill -TERM "$zarvo_pid"
        wait_stopped 1000 "$begin"
        echo "SIGTERM in the dialog to end: $took ms"
        wait_exit 10
        [ "$exit_code" -eq 143 ] || fail "exit code $exit_code, not ended by SIGTERM"
        grep -q "Sceners" "$work/err.txt" && fail "an error message after SIGTERM"
        ;;
    esac
    ;;
stuck-sound)
    # SDL's disk driver writes into a pipe that is held open and never read: once the pipe is
    # full, SDL's audio thread waits in write() for good, as with a hung sound server. After two
    # seconds the show goes on silently and says so once; Escape and SIGTERM end it at once.
    mkfifo "$work/sound.fifo" || fail "no pipe"
    exec 7<>"$work/sound.fifo"
    audio_env=(SDL_AUDIODRIVER=disk "SDL_DISKAUDIOFILE=$work/sound.fifo")
    start_show
    for how in Escape TERM; do
        if [ "$how" = TERM ]; then
            start_zarvo
            answer_dialog Return
            main_window=$(wait_window "Zarvo / Quillmoor") || fail "no window the second time"
        fi
        sleep 3.5
        lines=$(grep -c "^zarvo: " "$work/err.txt")
        [ "$lines" = 1 ] || fail "$lines lines of zarvo's own, not one"
        grep -q "^zarvo: the sound output (disk) has taken no sound for 2 s; the music plays silently.$" \
            "$work/err.txt" || fail "no word that the music plays silently"
        begin=$(date +%s%N)
        if [ "$how" = Escape ]; then
            press "$main_window" Escape
        else
            kill -TERM "$zarvo_pid"
        fi
        wait_exit "$exit_limit"
        [ "$exit_code" -eq 0 ] || fail "exit code $exit_code after $how"
        echo "$how with a stuck sound output to exit: $((($(date +%s%N) - begin) / 1000000)) ms"
    done
    exec 7>&-
    ;;
no-output)
    # The sound server is gone: the dialog says so before the show, with "No sound" taken by
    # Enter, and the show plays silently without trying the device again; Escape cancels.
    audio_env=(SDL_AUDIODRIVER=pulseaudio "PULSE_SERVER=unix:$work/no-server.socket")
    cp "$module" "$work/Zarvo.xm" || fail "no module $module"
    start_display
    start_zarvo
    dialog=$(wait_window "Zarvo: sound setup") || fail "the sound dialog did not appear"
    sleep 0.3
    import -window "$dialog" "$work/no-output-dialog.png" || fail "no screenshot of the dialog"
    press "$dialog" Return
    main_window=$(wait_window "Zarvo / Quillmoor") || fail "the intro's window did not appear"
    sleep 1.5
    shot silent1
    sleep 0.7
    shot silent2
    changed=$(different_pixels silent1 silent2)
    above "$changed" 100 || fail "the show does not run without sound ($changed pixels changed)"
    grep -q "plays silently" "$work/err.txt" && fail "Enter did not choose No sound"
    press "$main_window" Escape
    wait_exit "$exit_limit"
    [ "$exit_code" -eq 0 ] || fail "exit code $exit_code"
    start_zarvo
    answer_dialog Escape
    wait_exit 10
    [ "$exit_code" -eq 0 ] || fail "exit code $exit_code after Cancel"
    grep -q "MIDASconfig() failed" "$work/err.txt" || fail "Cancel did not cancel"
    ;;
pick-output)
    # A sound server with two outputs: the dialog lists both, the default first and selected;
    # Down and Enter send the music to the second, and the first hears nothing.
    for tool in pulseaudio parec sox; do
        command -v "$tool" >/dev/null || fail "$tool is not installed"
    done
    mkdir -p "$work/pulse-home"
    cat >"$work/sinks.pa" <<PA
load-module module-native-protocol-unix auth-anonymous=1 socket=$work/pulse.socket
load-module module-null-sink sink_name=first rate=48000 sink_properties=device.description=First
load-module module-null-sink sink_name=second rate=48000 sink_properties=device.description=Second
set-default-sink first
PA
    (export HOME=$work/pulse-home XDG_RUNTIME_DIR=$work/pulse-home
     exec pulseaudio -n -F "$work/sinks.pa" --daemonize=no --exit-idle-time=-1          --use-pid-file=no --realtime=no --high-priority=no >"$work/pulse.log" 2>&1) &
    other_pid=$!
    for _ in $(seq 100); do
        [ -S "$work/pulse.socket" ] && break
        sleep 0.1
    done
    export PULSE_SERVER=unix:$work/pulse.socket
    audio_env=(SDL_AUDIODRIVER=pulseaudio)
    cp "$module" "$work/Zarvo.xm" || fail "no module $module"
    start_display
    start_zarvo
    dialog=$(wait_window "Zarvo: sound setup") || fail "the sound dialog did not appear"
    sleep 0.3
    import -window "$dialog" "$work/outputs-dialog.png" || fail "no screenshot of the dialog"
    # The selected row is the one navy band across the list.
    navy=$(convert "$work/outputs-dialog.png" -fill white +opaque "#000080" -fill black \
        -opaque "#000080" -negate -format "%[fx:mean]" info:)
    above "$navy" 0.02 || fail "no output is selected in the dialog (navy share $navy)"
    press "$dialog" Down
    press "$dialog" Return
    main_window=$(wait_window "Zarvo / Quillmoor") || fail "the intro's window did not appear"
    parec -d first.monitor --raw --format=s16le --rate=48000 --channels=2 >"$work/first.raw" &
    recorders=$!
    parec -d second.monitor --raw --format=s16le --rate=48000 --channels=2 >"$work/second.raw" &
    recorders="$recorders $!"
    # The null sinks hand their recorders what they played in blocks of up to two seconds.
    sleep 5
    kill $recorders
    wait $recorders 2>/dev/null
    level() {
        sox -t raw -r 48000 -e signed -b 16 -c 2 "$work/$1.raw" -n stat 2>&1 |
            awk '/^RMS +amplitude/ { print $3 }'
    }
    first=$(level first)
    second=$(level second)
    echo "RMS level heard: first output ${first:-none}, second output ${second:-none}"
    above "${second:-0}" 0.005 || fail "the picked output heard no music (RMS ${second:-none})"
    above "${first:-1}" 0.0001 && fail "the output not picked heard sound (RMS $first)"
    [ -s "$work/first.raw" ] || fail "nothing recorded from the first output"
    grep -q "plays silently" "$work/err.txt" && fail "the picked output was not opened"
    press "$main_window" Escape
    wait_exit "$exit_limit"
    [ "$exit_code" -eq 0 ] || fail "exit code $exit_code"
    ;;
*)
    echo "unknown scenario $scenario"
    exit 2
    ;;
esac
echo "PASS ($scenario)"
