#!/bin/bash
# Hours of show through zarvo-capture's virtual clock, watching the program's memory: two
# modules that keep the show from ever ending by itself, played for a chosen show time.
#
#   long_run.sh ZARVO_CAPTURE [SHOW_SECONDS]      (default 7200: two hours of show)
#
#   no-sync  a module without any W command: the sync count stays 0 and the show stays in its
#            opening title
#   hold     32 channels of W commands on every row at the fastest tempo (about 3,300 a
#            second): at 10 frames a second the clock jumps by far more than 64 between frames,
#            so once the main phase is over the show runs its hold frames until stopped
# Each run's resident memory is sampled every second; the script prints the samples'
# range after the first tenth of the run, the peak, and fails when memory grew by more than
# 8 MiB from the first sample after start-up to the last. Not a CI test: run it by hand.
set -u
capture=$(realpath "$1")
show_seconds=${2:-7200}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Writes an XM module: speed 1, 255 BPM, one 64-row pattern, one looped square-wave instrument;
# every cell of every channel carries a W command when SYNC is 1.
write_module() {
    python3 - "$1" "$2" "$3" <<'EOF'
import struct, sys
path, channels, sync = sys.argv[1], int(sys.argv[2]), sys.argv[3] == "1"
rows = 64
header = b"Extended Module: " + b"long run".ljust(20) + b"\x1a" + b"zarvo long run".ljust(20)
header += struct.pack("<HIHHHHHHHH", 0x0104, 276, 1, 0, channels, 1, 1, 1, 1, 255)
header += bytes(256)
data = b""
for row in range(rows):
    for channel in range(channels):
        note = 49 if row % 16 == 0 and channel == 0 else 0
        cell = b""
        flags = 0x80
        if note:
            flags |= 0x03
            cell += bytes([note, 1])
        if sync:
            flags |= 0x18
            cell += bytes([0x20, row + 1])
        data += bytes([flags]) + cell
pattern = struct.pack("<IBHH", 9, 0, rows, len(data)) + data
frames = 32
instrument = struct.pack("<I", 263) + b"square".ljust(22, b"\0") + bytes([0])
instrument += struct.pack("<HI", 1, 40) + bytes(96 + 48 + 48 + 16 + 22)
sample = struct.pack("<IIIBbBBbB", frames, 0, frames, 40, 0, 1, 128, 0, 0)
sample += b"square".ljust(22, b"\0")
wave, previous = b"", 0
for i in range(frames):
    value = 64 if i < frames // 2 else -64
    wave += bytes([(value - previous) & 0xFF])
    previous = value
open(path, "wb").write(header + pattern + instrument + sample + wave)
EOF
}

status=0
run() {
    local name=$1 channels=$2 sync=$3
    local folder="$work/$name"
    mkdir -p "$folder"
    write_module "$folder/Zarvo.xm" "$channels" "$sync"
    (cd "$folder" && exec "$capture" --out out --quiet --no-frames --fps 10 --rate 8000 \
        --max-seconds "$show_seconds") 2>"$folder/err.txt" &
    local pid=$! samples=() rss begin
    begin=$(date +%s)
    while kill -0 "$pid" 2>/dev/null; do
        rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status" 2>/dev/null)
        [ -n "$rss" ] && samples+=("$rss")
        sleep 1
    done
    wait "$pid"
    local code=$? seconds=$(($(date +%s) - begin))
    local count=${#samples[@]}
    if [ "$code" -ne 0 ] || [ "$count" -lt 3 ]; then
        echo "$name: exit $code after ${seconds}s with $count samples"
        cat "$folder/err.txt"
        status=1
        return
    fi
    local from=$((count / 10)) low=99999999 high=0 i
    for ((i = from; i < count; ++i)); do
        ((samples[i] < low)) && low=${samples[i]}
        ((samples[i] > high)) && high=${samples[i]}
    done
    local first=${samples[from]} last=${samples[count - 1]}
    local phases
    phases=$(awk -F, 'NR > 1 { print $NF }' "$folder/out/frames.csv" | sort | uniq -c | tr '\n' ' ')
    echo "$name: ${show_seconds}s of show in ${seconds}s; $count samples; resident memory" \
        "from ${first} KB to ${last} KB (range ${low}-${high} KB after the first tenth);" \
        "frames by phase: $phases"
    if ((last - first > 8192)); then
        echo "$name: memory grew by $(((last - first) / 1024)) MiB"
        status=1
    fi
}

run no-sync 2 0
run hold 32 1
exit $status
