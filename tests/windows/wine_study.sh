# The study mode of zarvo.exe under Wine, as a person drives it: paused (the screen stands
# still), stepped (the stills' frame numbers follow), three sections on to the third caption,
# whose still's scene must be the Linux capture's frame of that number, and the figures shown
# over it.
# Sourced by wine_e2e.sh after its --window runs: its stage, $program_folder, $linux_build,
# $screen and the usage in $root/help.txt are that script's.

echo "== --study: pause, step, the third caption's still against the capture, the figures"
grep -q -- '--study  *study mode' "$root/help.txt" && grep -q -- 'still (PNG)' "$root/help.txt" &&
  pass "--help lists --study and its keys" || fail "--help: no --study in $(head -c 300 "$root/help.txt")"
start_zarvo --sound none --window --study
if window="$(wait_window '^Zarvo / Quillmoor$' 90)"; then
  session_wait_for '[ "$(window_geometry "$window")" != "$screen" ]' 30 || true
  place="$(window_geometry "$window")"
  deadline=$((SECONDS + 60))
  until scene_shown "$root/study-scene.png" || [ $SECONDS -ge $deadline ]; do
    grab_area "$place" "$root/study-scene.png"
  done
  study_key() {
    send_key "$window" "$1"
    sleep 0.6
  }
  # The n-th line of the stills' list, "still-NNNNNN.png: sync count C, frame F", as "F C".
  study_still() {
    sed -n "$1p" "$run/stills.txt" 2>/dev/null |
      sed -E 's/^still-[0-9]+\.png: sync count ([0-9]+), frame ([0-9]+)\r?$/\2 \1/'
  }
  # Pixels that differ between two pictures (compare's status says whether they do).
  study_differ() {
    { compare -metric AE "${@:3}" "$1" "$2" null: 2>&1 || true; } | cut -d' ' -f1
  }

  study_key space
  grab_area "$place" "$root/study-paused1.png"
  sleep 1
  grab_area "$place" "$root/study-paused2.png"
  expect "--study: pixels that moved while paused" "$(study_differ "$root/study-paused1.png" "$root/study-paused2.png")" 0

  study_key s
  read -r frame0 _ <<<"$(study_still 1)"
  study_key period
  study_key s
  read -r frame1 _ <<<"$(study_still 2)"
  if [ -n "$frame0" ] && [ "$frame1" = $((frame0 + 1)) ]; then
    pass "--study: '.' steps from frame $frame0 to $frame1"
  else
    fail "--study: stills at frames '$frame0' then '$frame1' (stills.txt: $(cat "$run/stills.txt" 2>&1))"
  fi

  study_key Right
  study_key Right
  study_key Right
  grab_area "$place" "$root/study-caption.png"
  study_key s
  read -r frame sync <<<"$(study_still 3)"
  if [ -n "$sync" ] && [ $((sync >> 7)) = 4 ]; then
    pass "--study: Right three times: the third caption, frame $frame at sync count $sync"
  else
    fail "--study: the third caption's still is at sync count '$sync'"
  fi
  still="$run/$(printf 'still-%06d.png' "${frame:-0}")"

  study_key F1
  grab_area "$place" "$root/study-figures.png"
  changed="$(study_differ "$root/study-caption.png" "$root/study-figures.png")"
  [ "${changed:-0}" -gt 300 ] && pass "--study: F1 shows the figures ($changed pixels)" ||
    fail "--study: F1 changed '$changed' pixels"
  expect "--study: Escape ends it, exit code" "$(escape_show 60)" 0

  # The capture's frame of that number: its run begins with the first frame at or after
  # --start. Within two steps of 255 a channel: the tracers' one, and one more for the Windows
  # build's maths library, whose last bits differ from the C library's on Linux.
  if [ -f "$still" ] && [ -n "$frame" ]; then
    start=$(awk -v f="$frame" 'BEGIN { s = (f - 0.5) / 60; printf "%.6f", s < 0 ? 0 : s }')
    (cd "$program_folder" && "$linux_build/zarvo-capture" --out "$root/study-capture" \
      --start "$start" --max-seconds 0.01 --quiet >/dev/null 2>&1) || fail "--study: zarvo-capture failed"
    expect "--study: the capture's sync count at frame $frame" \
      "$(sed -n 2p "$root/study-capture/frames.csv" | cut -d, -f2)" "$sync"
    # Below the caption band: the caption is the system's GDI text here, FreeType's there.
    for picture in "$still" "$root/study-capture/frames/000000.png"; do
      convert "$picture" -crop 320x168+0+32 +repage "$picture.scene.png"
    done
    expect "--study: pixels of the still's scene apart from the capture's frame $frame" \
      "$(study_differ "$still.scene.png" "$root/study-capture/frames/000000.png.scene.png" \
        -fuzz 0.8%)" 0
  else
    fail "--study: no still of the third caption ($still)"
  fi
else
  fail "--study: no main window (the trace: $(head -c 300 "$run/trace.txt"))"
fi
session_settle
