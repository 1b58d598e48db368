#!/bin/bash
# End-to-end tests of zarvo as a user starts it: its command line, Escape from the window's
# first moment, the resizable window, and an installed copy run from another folder. Same
# virtual display and helpers as sdl_e2e.sh.
#
#   program_e2e.sh ZARVO MODULE SCENARIO
# SCENARIO is one of: command-line, early-escape, resize, installed. For installed, ZARVO is
# the program in an installed tree (PREFIX/bin/zarvo, e.g. /usr/bin/zarvo from the package).
E2E_HELPERS_ONLY=1 source "$(dirname "$0")/sdl_e2e.sh" "$@"

# Runs zarvo with the given arguments and no display; sets rc, and out.txt/err.txt.
run_plain() {
    env -u DISPLAY -u WAYLAND_DISPLAY "$zarvo" "$@" >"$work/out.txt" 2>"$work/err.txt"
    rc=$?
}

# The mean level of a region of a screenshot is black (nothing of the picture spills there).
black() {
    local level
    level=$(mean_level "$1" "$2")
    above 0.002 "$level" || fail "$3 (mean level $level in $2)"
}

lit() {
    local level
    level=$(mean_level "$1" "$2")
    above "$level" 0.02 || fail "$3 (mean level $level in $2)"
}

case $scenario in
command-line)
    run_plain --help
    [ "$rc" -eq 0 ] || fail "--help exits with $rc"
    for option in --window --fullscreen --sound --display --module --fps --version; do
        grep -q -- "$option" "$work/out.txt" || fail "--help does not list $option"
    done
    run_plain --version
    grep -Eq "^zarvo [0-9]+\.[0-9]+" "$work/out.txt" || fail "--version prints no version"
    for wrong in --frobnicate "--sound loud" "--display first" --module "--fps 0"; do
        # shellcheck disable=SC2086 # each wrong command line is split into its words
        run_plain $wrong
        [ "$rc" -eq 2 ] || fail "'$wrong' exits with $rc, not 2"
        # One line that names what was wrong and where the options are told.
        [ "$(wc -l <"$work/err.txt")" -eq 1 ] || fail "'$wrong' prints more than one line"
        grep -qF -- "${wrong%% *}" "$work/err.txt" || fail "'$wrong': the message does not name it"
        grep -qF -- "$zarvo --help" "$work/err.txt" || fail "'$wrong': no pointer to --help"
        [ ! -s "$work/out.txt" ] || fail "'$wrong' writes to standard output"
    done
    start_display
    run_plain_display() { "$zarvo" "$@" >"$work/out.txt" 2>"$work/err.txt"; rc=$?; }
    run_plain_display --display 9 --sound none
    [ "$rc" -eq 2 ] || fail "--display 9 on a one-monitor display exits with $rc"
    grep -q "no monitor 9" "$work/err.txt" || fail "--display 9 says nothing clear"
    # --module plays its file even where no Zarvo.xm can be found; --sound none skips the dialog.
    ln -s gone.xm "$work/Zarvo.xm"
    mkdir "$work/songs" && cp "$module" "$work/songs/other.xm" || fail "no module $module"
    start_zarvo --sound=none --module songs/other.xm
    main_window=$(wait_window "Zarvo / Quillmoor") || fail "no intro window with --module"
    if xwininfo -root -tree | grep -qF '"Zarvo: sound setup"'; then
        fail "--sound none showed the sound dialog"
    fi
    sleep 2
    shot moduled
    lit moduled 800x200+0+380 "the show does not run with --module"
    press "$main_window" Escape
    wait_exit "$exit_limit"
    [ "$exit_code" -eq 0 ] || fail "exit code $exit_code after Escape"
    # A --module file that is not there: the intro's own message, naming its module, exit 0.
    start_zarvo --sound default --module nowhere.xm
    wait_exit 10
    [ "$exit_code" -eq 0 ] || fail "exit code $exit_code for a missing --module file"
    grep -q "The module 'Zarvo.xm' is missing or corrupt." "$work/err.txt" ||
        fail "no module message for a missing --module file"
    ;;
early-escape)
    # Escape as soon as the window is on the screen: the window that was mapped is the one that
    # stays, so the key reaches the intro and ends it.
    cp "$module" "$work/Zarvo.xm" || fail "no module $module"
    start_display
    start_zarvo --sound none
    first=
    for _ in $(seq 2000); do
        first=$(xdotool search --onlyvisible --name '^Zarvo / Quillmoor$' 2>/dev/null | head -n1)
        [ -n "$first" ] && break
        kill -0 "$zarvo_pid" 2>/dev/null || fail "zarvo ended before its window appeared"
    done
    [ -n "$first" ] || fail "the intro's window did not appear"
    xdotool key --window "$first" Escape
    wait_exit "$exit_limit"
    [ "$exit_code" -eq 0 ] || fail "exit code $exit_code after an early Escape"
    ;;
resize)
    cp "$module" "$work/Zarvo.xm" || fail "no module $module"
    start_display
    start_zarvo --window --sound none
    main_window=$(wait_window "Zarvo / Quillmoor") || fail "the intro's window did not appear"
    sleep 1
    width=$(xwininfo -id "$main_window" | awk '/Width:/ { print $2 }')
    [ "$width" -lt 800 ] || fail "--window started fullscreen (width $width)"
    # A fixed-size window would carry equal minimum and maximum size hints; below the picture's
    # 320x200 the captions would be dots.
    hints=$(xprop -id "$main_window" WM_NORMAL_HINTS)
    if grep -q "program specified maximum size" <<<"$hints"; then
        fail "the window cannot be resized"
    fi
    grep -q "program specified minimum size: 320 by 200" <<<"$hints" ||
        fail "the window manager is not told the smallest size: $hints"
    # The window manager gets the icon at the sizes of the desktop's icon theme, each drawn
    # (mostly opaque: the sphere and the floor), so it need not scale a small one up.
    icons=$(xprop -len 2000000 -id "$main_window" -f _NET_WM_ICON 32c _NET_WM_ICON |
        sed 's/^[^=]*= //' | tr -d ' ' | tr ',' '\n' | awk '
            BEGIN { state = 0 }
            state == 0 { w = $1; state = 1; next }
            state == 1 { h = $1; left = w * h; seen = 0; state = 2; next }
            state == 2 { if ($1 >= 2^24) seen++; if (--left == 0) {
                printf "%dx%d:%d ", w, h, int(100 * seen / (w * h)); state = 0 } }')
    for size in 16 32 48 256; do
        share=$(grep -o "${size}x${size}:[0-9]*" <<<"$icons" | cut -d: -f2)
        [ -n "$share" ] || fail "no ${size}x${size} icon for the window manager (it has: $icons)"
        [ "$share" -ge 40 ] || fail "the ${size}x${size} icon is mostly transparent ($share%)"
    done
    # Wide: the 4:3 picture is 400x300 in the middle, black bars left and right.
    xdotool windowsize --sync "$main_window" 700 300
    sleep 1
    import -window "$main_window" "$work/wide.png" || fail "no screenshot"
    black wide 140x300+0+0 "the left bar is not black"
    black wide 140x300+560+0 "the right bar is not black"
    lit wide 380x140+160+150 "no picture in the middle of the wide window"
    # Tall: 400x300 again, now with bars above and below.
    xdotool windowsize --sync "$main_window" 400 500
    sleep 1
    import -window "$main_window" "$work/tall.png" || fail "no screenshot"
    black tall 400x90+0+0 "the top bar is not black"
    black tall 400x90+0+410 "the bottom bar is not black"
    lit tall 400x140+0+250 "no picture in the middle of the tall window"
    press "$main_window" Escape
    wait_exit "$exit_limit"
    [ "$exit_code" -eq 0 ] || fail "exit code $exit_code"
    ;;
installed)
    prefix=$(cd "$(dirname "$zarvo")/.." && pwd)
    for file in bin/zarvo-capture share/zarvo/Zarvo.xm share/applications/zarvo.desktop \
        share/man/man6/zarvo.6.gz share/man/man6/zarvo-capture.6.gz \
        share/doc/zarvo/copyright share/doc/zarvo/changelog.gz; do
        [ -f "$prefix/$file" ] || fail "$prefix/$file is not installed"
    done
    # What a software centre and Debian's tools read: a valid AppStream record naming the
    # desktop entry, a machine-readable copyright, a changelog whose top entry is this version.
    metainfo=$prefix/share/metainfo/net.zarvo.Zarvo.metainfo.xml
    appstreamcli validate --no-net "$metainfo" >"$work/appstream.txt" 2>&1 ||
        fail "the AppStream record does not validate: $(cat "$work/appstream.txt")"
    grep -q '<launchable type="desktop-id">zarvo.desktop</launchable>' "$metainfo" ||
        fail "the AppStream record names no desktop entry"
    head -1 "$prefix/share/doc/zarvo/copyright" | grep -q "^Format: .*copyright-format/1.0/" ||
        fail "the copyright file is not in Debian's machine-readable form"
    version=$("$prefix/bin/zarvo" --version | grep -o '[0-9][0-9.]*' | head -1)
    zcat "$prefix/share/doc/zarvo/changelog.gz" | head -1 | grep -qF "zarvo ($version)" ||
        fail "the changelog's top entry is not version $version"
    for size in 16 32 48 256; do
        icon=$prefix/share/icons/hicolor/${size}x${size}/apps/zarvo.png
        [ "$(identify -format "%wx%h" "$icon" 2>/dev/null)" = "${size}x${size}" ] ||
            fail "no ${size}x${size} icon"
    done
    desktop=$prefix/share/applications/zarvo.desktop
    grep -q "^Icon=zarvo$" "$desktop" || fail "the desktop entry names no icon"
    command=$(sed -n 's/^Exec=//p' "$desktop")
    [ -n "$command" ] || fail "the desktop entry has no Exec line"
    # Started as the desktop's menu starts it: the Exec line, from the home folder (here an
    # empty one), with the installed programs on the PATH.
    start_display
    (cd "$work" && exec env PATH="$prefix/bin:$PATH" SDL_AUDIODRIVER=dummy \
        ZARVO_NO_MESSAGEBOX=1 $command >"$work/out.txt" 2>"$work/err.txt") &
    zarvo_pid=$!
    answer_dialog Return
    main_window=$(wait_window "Zarvo / Quillmoor") || fail "the intro's window did not appear"
    sleep 4
    shot installed
    title=$(white_share installed 200x60+300+270)
    above "$title" 0.03 || fail "no white title in the middle of the screen (white share $title)"
    lit installed 800x200+0+380 "the floor is dark"
    press "$main_window" Escape
    wait_exit "$exit_limit"
    [ "$exit_code" -eq 0 ] || fail "exit code $exit_code after Escape"
    # The capture program finds the installed module too.
    (cd "$work" && "$prefix/bin/zarvo-capture" --max-seconds 1 --no-frames --quiet --out cap \
        >"$work/out.txt" 2>"$work/err.txt") || fail "zarvo-capture failed from another folder"
    [ -s "$work/cap/audio.wav" ] || fail "zarvo-capture wrote no sound"
    ;;
*)
    echo "unknown scenario $scenario"
    exit 2
    ;;
esac
echo "PASS ($scenario)"
