#!/usr/bin/env python3
"""Compares what zarvo.exe showed and played under Wine with the Linux capture of the same module.

    wine_compare.py SHOTS_DIR CAPTURE_DIR CAPTURE_FPS SOUND_RAW ESCAPED_AT ENDED_AT

Pictures: the 320x200 screenshots (SHOTS_DIR/times.txt gives each one's time since the sound
dialog was answered), in the order taken, must show the scene with the title "Zarvo!", after the
opening title ("Quillmoor presents..." over black) where that was seen; and every screenshot of
the scene must be a picture the Linux capture also drew. The light turns once per frame and Wine
draws frames at its own pace, so no two runs show the same frame at the same music clock: a scene
screenshot is matched with the nearest capture frame (small images, the floor band below the
captions), and must come within a few levels of it.

The show's pace: the captions in the top band first appear, and later stop for a while, at music
times the capture's frames tell (CAPTURE_FPS frames a second). The screenshots must see the same
span between those two moments within a tenth, by the clock.

Sound: SOUND_RAW is the 48 kHz 16-bit stereo PCM that the speaker played, recorded from before
the program started until after it ended. It must be the capture's audio.wav (libopenmpt's
rendering of the module, without dither), sample for sample, except where the speaker ran dry:
there it played silence, and (PulseAudio keeping the stream in time) dropped the music that came
too late for it; and except for the last buffers played while the program was stopping. Its pace:
the speaker plays in real time, so the music it played may not outlast the run by the clock
(Escape pressed ESCAPED_AT seconds after the dialog was answered, the program gone at ENDED_AT),
may not fall short of it by more than the start-up, and the silence and the dropped music may
not add up to more than a tenth of it (the sound thread of a program on a loaded machine misses
its turn now and then; more, and the music no longer keeps time).
"""
import array
import glob
import os
import subprocess
import sys

WIDTH, HEIGHT = 320, 200
SMALL_W, SMALL_H = 40, 25
FLOOR_ROWS = range(14, 25)  # of the small picture: rows 112-199 of the real one, no captions
FLOOR_LIMIT = 12.0  # mean difference per channel, in levels of 255
TAIL_FRAMES = 8 * 1024  # the buffers in flight when the program stopped
RATE = 48000
CAPTION_ROWS = (0, 16)  # the top band, where the captions stand
PACE_LIMIT = 1.1  # the show's span by the clock may differ from the music's by this factor
START_UP = 3.0  # seconds from the dialog's answer to the first sound, at most
DRY_LIMIT = 0.1  # the share of the played span the speaker may have run dry
RESYNC_FRAMES = 64  # frames that must match where the recording picks up after a drop, at most
RESYNC_LIMIT = RATE // 2  # the most music one drop may lose


def convert_to_rgb(files, options):
    """The pictures as raw 8-bit RGB bytes after ImageMagick's `options`, all in one string; a
    few hundred files at a time, as ImageMagick holds every picture of one call in memory."""
    data = b""
    for start in range(0, len(files), 200):
        run = subprocess.run(["convert", *files[start:start + 200], *options, "-depth", "8", "rgb:-"],
                             capture_output=True)
        if run.returncode != 0:
            sys.exit(f"convert failed on {files[start]} and on: {run.stderr.decode()[:500]}")
        data += run.stdout
    return data


def split(data, width, height):
    step = width * height * 3
    return [data[i:i + step] for i in range(0, len(data), step)]


def rgb_of(files, size):
    """The pictures as raw RGB bytes, each scaled to `size` (box averages), one per file."""
    width, height = size
    return split(convert_to_rgb(files, ["-scale", f"{width}x{height}!"]), width, height)


def white_in(picture, x0, x1, y0, y1):
    count = 0
    for y in range(y0, y1):
        for x in range(x0, x1):
            i = (y * WIDTH + x) * 3
            if min(picture[i], picture[i + 1], picture[i + 2]) > 200:
                count += 1
    return count


def black_rows(picture, y0, y1):
    return not any(picture[y0 * WIDTH * 3:y1 * WIDTH * 3])


def floor_distance(a, b):
    total = 0
    count = 0
    for y in FLOOR_ROWS:
        start = y * SMALL_W * 3
        for i in range(start, start + SMALL_W * 3):
            total += abs(a[i] - b[i])
            count += 1
    return total / count


def classify(picture):
    """The phase a 320x200 picture shows: the opening title (white text over black), the scene
    (a black sky over the lit floor), or neither (Wine's empty desktop, a black screen before
    the first frame)."""
    if black_rows(picture, 120, HEIGHT) and white_in(picture, 40, 280, 85, 115) > 20:
        return "opening"
    if black_rows(picture, 20, 80) and not black_rows(picture, 150, HEIGHT):
        return "scene"
    return "other"


def caption_shown(picture):
    return white_in(picture, 0, WIDTH, *CAPTION_ROWS) > 20


def check_pictures(shots, full, capture_frames):
    ok = True
    phases = [classify(picture) for picture in full]
    print("screenshots:", " ".join(p[0] if p != "other" else "-" for p in phases),
          "(o opening, s scene, - other)")
    # The opening title lasts three sync commands (about 0.12 s) from the start of the music,
    # which begins before the window and the display mode: where that start-up takes longer, as
    # under Wine, the first frame is already past it. So it is checked only where it was seen.
    if "opening" not in phases:
        print("the opening title was over before the first screenshot")
    if "scene" not in phases:
        print("the scene was never seen")
        return False
    if "opening" in phases and phases.index("opening") > phases.index("scene"):
        print("the opening title came after the scene")
        ok = False
    # The title "Zarvo!" stands in white above the sphere at the start of the scene.
    titled = [i for i, p in enumerate(phases) if p == "scene" and white_in(full[i], 120, 200, 85, 112) > 20]
    if not titled:
        print('the title "Zarvo!" was never seen over the scene')
        ok = False

    reference = rgb_of(capture_frames, (SMALL_W, SMALL_H))
    small = rgb_of([shots[i] for i, p in enumerate(phases) if p == "scene"], (SMALL_W, SMALL_H))
    worst = 0.0
    for picture in small:
        nearest = min(floor_distance(picture, frame) for frame in reference)
        worst = max(worst, nearest)
    print(f"scene screenshots: {len(small)}, farthest from its nearest capture frame: {worst:.2f}"
          f" levels (limit {FLOOR_LIMIT})")
    if worst > FLOOR_LIMIT:
        ok = False
    return ok


def caption_span(shown):
    """The indices of the first shown caption and of the first stretch without one after it,
    from a list of (index, shown or not), or None where one of the two never came."""
    first = next((i for i, (_, on) in enumerate(shown) if on), None)
    if first is None:
        return None
    gap = next((i for i in range(first + 1, len(shown)) if not shown[i][1]), None)
    return None if gap is None else (first, gap)


def check_show_pace(times, full, capture_frames, fps):
    """The show's clock against real time: the span from the first caption to the first gap
    after it, in the capture's music time and in the screenshots' clock time."""
    step = max(1, fps // 10)  # a tenth of a second is fine enough for the capture
    sampled = capture_frames[::step]
    bands = rgb_of_band(sampled)
    music = caption_span([(i * step, caption_shown(b)) for i, b in enumerate(bands)])
    if music is None:
        print("show pace: the capture never shows a caption come and go")
        return False
    music_span = (music[1] - music[0]) * step / fps
    # Only the scene's pictures tell whether a caption is there (a grab of the desktop or of a
    # black screen is no gap between captions).
    seen = [(t, caption_shown(p)) for t, p in zip(times, full) if classify(p) == "scene"]
    shots = caption_span(seen)
    if shots is None:
        print("show pace: the screenshots never saw a caption come and go")
        return False
    first, gap = shots
    # Each change happened between the screenshot before it and the one that saw it.
    shortest = seen[gap - 1][0] - seen[first][0]
    longest = seen[gap][0] - seen[first - 1][0] if first > 0 else float("inf")
    print(f"show pace: captions from the first until the first gap after it: {music_span:.1f} s "
          f"of music, {shortest:.1f} to {longest:.1f} s by the clock")
    if longest - shortest > (PACE_LIMIT - 1) * 2 * music_span:
        print("show pace: the screenshots are too far apart to judge")
        return False
    if shortest > music_span * PACE_LIMIT or longest < music_span / PACE_LIMIT:
        print(f"show pace: the show did not keep time (by more than {PACE_LIMIT - 1:.0%})")
        return False
    return True


def rgb_of_band(files):
    """The caption bands of the pictures, as raw RGB bytes (the band starts at the top row)."""
    height = CAPTION_ROWS[1]
    return split(convert_to_rgb(files, ["-crop", f"{WIDTH}x{height}+0+0", "+repage"]), WIDTH, height)


def read_sound(path):
    """The recording as one 32-bit word per stereo frame (so a comparison never slips by one
    channel), or None where there is none."""
    try:
        with open(path, "rb") as raw:
            body = raw.read()
    except OSError as error:
        print(f"sound: no recording ({error.strerror}: {path})")
        return None
    played = array.array("i")
    played.frombytes(body[:len(body) // 4 * 4])
    return played


def check_sound(capture_dir, sound_raw, escaped_at, ended_at):
    with open(os.path.join(capture_dir, "audio.wav"), "rb") as wav:
        data = wav.read()
    header = data.find(b"data")
    rate = int.from_bytes(data[24:28], "little")
    if rate != RATE or header < 0:
        print(f"reference: unexpected audio.wav ({rate} Hz)")
        return False
    reference = array.array("i")
    reference.frombytes(data[header + 8:header + 8 + (len(data) - header - 8) // 4 * 4])
    played = read_sound(sound_raw)
    if played is None:
        return False

    start = next((i for i, v in enumerate(played) if v != 0), None)
    if start is None:
        print(f"sound: nothing but silence reached the speaker ({len(played)} frames recorded)")
        return False
    last = len(played) - 1  # the recording goes on in silence after the program ended
    while played[last] == 0:
        last -= 1
    first = next(i for i, v in enumerate(reference) if v != 0)
    reference_bytes = reference.tobytes()
    g, r = start, first
    matched = gaps = dry = drops = lost = 0
    end = last + 1 - TAIL_FRAMES
    while g < end and r < len(reference):
        if played[g] == reference[r]:
            g += 1
            r += 1
            matched += 1
            continue
        if played[g] == 0:
            # The speaker ran dry and played silence: skip it.
            gaps += 1
            while g < end and played[g] == 0:
                g += 1
                dry += 1
            continue
        # PulseAudio keeps a stream in time: what comes late for the moment it played silence
        # in its place is dropped. The recording goes on further in the music, sometimes for a
        # few frames only before the next silence.
        piece = 1
        while piece < RESYNC_FRAMES and g + piece < end and played[g + piece] != 0:
            piece += 1
        resumed = find_frames(reference_bytes, played[g:g + piece].tobytes(), r)
        if resumed is None:
            print(f"sound: differs at {g} (reference frame {r}) after {matched} equal frames")
            return False
        drops += 1
        lost += resumed - r
        r = resumed
    music = (r - first) / RATE
    span = (g - start) / RATE
    print(f"sound: {matched / RATE:.1f} s equal to libopenmpt's rendering, sample for sample; "
          f"{music:.1f} s of music played in {span:.1f} s ({gaps} underruns filled with "
          f"{dry * 1000 // RATE} ms of silence, {drops} times music dropped, "
          f"{lost * 1000 // RATE} ms); the run: Escape after {escaped_at:.1f} s, the program gone "
          f"after {ended_at:.1f} s")
    ok = True
    if matched < 3 * RATE:
        print("sound: too little played to judge")
        ok = False
    if music > ended_at + 0.5:
        print("sound: more music was played than the run lasted: the music raced")
        ok = False
    if music < escaped_at - START_UP:
        print("sound: less music was played than the run lasted: the music lagged")
        ok = False
    if dry + lost > DRY_LIMIT * span * RATE:
        print(f"sound: the speaker ran dry for more than {DRY_LIMIT:.0%} of the time")
        ok = False
    return ok


def find_frames(haystack, needle, frame):
    """The first frame at or after `frame`, within RESYNC_LIMIT frames, where the frames `needle`
    stand in `haystack` (both of 32-bit frames, as bytes), or None."""
    at = frame * 4
    stop = (frame + RESYNC_LIMIT) * 4 + len(needle)
    while True:
        at = haystack.find(needle, at, stop)
        if at < 0:
            return None
        if at % 4 == 0:
            return at // 4
        at += 1


def main():
    if sys.argv[1] == "--sound":
        # A run whose pictures are not 320x200 screenshots: its sound alone.
        capture_dir, sound_raw, escaped_at, ended_at = sys.argv[2:6]
        return 0 if check_sound(capture_dir, sound_raw, float(escaped_at), float(ended_at)) else 1
    shots_dir, capture_dir, fps, sound_raw, escaped_at, ended_at = sys.argv[1:7]
    try:
        with open(os.path.join(shots_dir, "times.txt")) as listing:
            taken = [line.split() for line in listing if line.strip()]
    except OSError:
        taken = []
    if not taken:
        print("no screenshot was taken")
        return 1
    shots = [os.path.join(shots_dir, name + ".png") for name, _ in taken]
    times = [float(t) for _, t in taken]
    full = rgb_of(shots, (WIDTH, HEIGHT))
    capture_frames = sorted(glob.glob(os.path.join(capture_dir, "frames", "*.png")))
    pictures = check_pictures(shots, full, capture_frames)
    pace = check_show_pace(times, full, capture_frames, int(fps))
    sound = check_sound(capture_dir, sound_raw, float(escaped_at), float(ended_at))
    return 0 if pictures and pace and sound else 1


if __name__ == "__main__":
    sys.exit(main())
