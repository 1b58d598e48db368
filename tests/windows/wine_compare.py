#!/usr/bin/env python3
"""Compares what zarvo.exe showed and played under Wine with the Linux capture of the same module.

    wine_compare.py SHOTS_DIR CAPTURE_DIR SOUND_RAW

Pictures: the 320x200 screenshots, in the order taken, must show the scene with the title
"Zarvo!", after the opening title ("Quillmoor presents..." over black) where that was seen; and
every screenshot of the scene must be a picture the Linux capture also drew. The light turns once per
frame and Wine draws frames at its own pace, so no two runs show the same frame at the same music
clock: a scene screenshot is matched with the nearest capture frame (small images, the floor band
below the captions), and must come within a few levels of it.

Sound: SOUND_RAW is the 48 kHz 16-bit stereo PCM that waveOut handed to the sound device. It must
be the capture's audio.wav (libopenmpt's rendering of the module, without dither), sample for
sample, except for stretches of silence that the device inserted where it ran dry, and except for
the last buffers written while the program was stopping.
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


def rgb_of(files, size):
    """The pictures as raw RGB bytes, each scaled to `size` (box averages), one per file."""
    width, height = size
    data = subprocess.run(["convert", *files, "-scale", f"{width}x{height}!", "-depth", "8",
                           "rgb:-"], check=True, capture_output=True).stdout
    step = width * height * 3
    return [data[i:i + step] for i in range(0, len(data), step)]


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


def check_pictures(shots_dir, capture_dir):
    ok = True
    shots = sorted(glob.glob(os.path.join(shots_dir, "*.png")))
    full = rgb_of(shots, (WIDTH, HEIGHT))
    phases = []
    for picture in full:
        # The opening title: white text over black. The scene: a black sky over the lit floor.
        # Anything else (Wine's empty desktop, a black screen before the first frame) is neither.
        if black_rows(picture, 120, HEIGHT) and white_in(picture, 40, 280, 85, 115) > 20:
            phases.append("opening")
        elif black_rows(picture, 20, 80) and not black_rows(picture, 150, HEIGHT):
            phases.append("scene")
        else:
            phases.append("other")
    print("screenshots:", " ".join(p[0] if p != "other" else "-" for p in phases), "(o opening, s scene, - other)")
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

    frames = sorted(glob.glob(os.path.join(capture_dir, "frames", "*.png")))
    reference = rgb_of(frames, (SMALL_W, SMALL_H))
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


def check_sound(capture_dir, sound_raw):
    with open(os.path.join(capture_dir, "audio.wav"), "rb") as wav:
        data = wav.read()
    header = data.find(b"data")
    rate = int.from_bytes(data[24:28], "little")
    if rate != 48000 or header < 0:
        print(f"reference: unexpected audio.wav ({rate} Hz)")
        return False
    # One 32-bit word per stereo frame, so a comparison never slips by one channel.
    reference = array.array("i")
    reference.frombytes(data[header + 8:header + 8 + (len(data) - header - 8) // 4 * 4])
    played = array.array("i")
    with open(sound_raw, "rb") as raw:
        body = raw.read()
    played.frombytes(body[:len(body) // 4 * 4])

    start = next((i for i, v in enumerate(played) if v != 0), None)
    if start is None:
        print("sound: nothing but silence reached the device")
        return False
    first = next(i for i, v in enumerate(reference) if v != 0)
    g, r = start, first
    matched = gaps = gap_frames = 0
    end = len(played) - TAIL_FRAMES
    while g < end and r < len(reference):
        if played[g] == reference[r]:
            g += 1
            r += 1
            matched += 1
            continue
        if played[g] == 0:
            # The device ran dry and played silence: skip it.
            gaps += 1
            while g < end and played[g] == 0:
                g += 1
                gap_frames += 1
            continue
        print(f"sound: differs at {g} (reference frame {r}) after {matched} equal frames")
        return False
    seconds = matched / 48000
    print(f"sound: {seconds:.1f} s equal to libopenmpt's rendering, sample for sample "
          f"({gaps} underruns filled with {gap_frames / 48:.0f} ms of silence)")
    if seconds < 3:
        print("sound: too little played to judge")
        return False
    return True


def main():
    shots_dir, capture_dir, sound_raw = sys.argv[1:4]
    pictures = check_pictures(shots_dir, capture_dir)
    sound = check_sound(capture_dir, sound_raw)
    return 0 if pictures and sound else 1


if __name__ == "__main__":
    sys.exit(main())
