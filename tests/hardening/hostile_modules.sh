#!/bin/bash
# Hostile module files given to the real zarvo-capture under a 1 GiB address-space limit: each
# is refused at once with the intro's module message and the reason, taking little more memory
# than the real module, or (a real module padded to just under the size limit) played, holding
# one copy of the file.
#
#   hostile_modules.sh ZARVO_CAPTURE MODULE
set -u
capture=$(realpath "$1")
module=$(realpath "$2")
work=$(mktemp -d)
writer_pid=
cleanup() {
    [ -n "$writer_pid" ] && kill "$writer_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

failures=0
passes=0
fail() {
    echo "FAIL ($case): $*"
    sed 's/^/  | /' "$work/err.txt"
    failures=$((failures + 1))
}

have_time=
[ -x /usr/bin/time ] && have_time=1

# Runs the capture in $work/run with Zarvo.xm as prepared; sets code, seconds, peak_kb.
run() {
    rm -rf "$work/run/out"
    local start end
    start=$(date +%s%N)
    (
        cd "$work/run" || exit 99
        # The sanitizers reserve terabytes of address space for their shadow: no limit there.
        [ -n "${ZARVO_NO_ADDRESS_LIMIT:-}" ] || ulimit -v 1048576
        if [ -n "$have_time" ]; then
            exec /usr/bin/time -f "%M" -o "$work/peak.txt" timeout -s KILL 120 \
                "$capture" --out out --quiet --no-frames --max-seconds 1
        fi
        exec timeout -s KILL 120 "$capture" --out out --quiet --no-frames --max-seconds 1
    ) >/dev/null 2>"$work/err.txt"
    code=$?
    end=$(date +%s%N)
    seconds=$(awk -v n=$((end - start)) 'BEGIN { printf "%.2f", n / 1e9 }')
    peak_kb=0
    [ -n "$have_time" ] && peak_kb=$(tail -n1 "$work/peak.txt")
}

# Expects a refusal: exit 3 (the capture's code for an intro that stopped with an error), the
# module message, the reason, quick.
expect_refused() {
    local reason=$1
    run
    echo "$case: exit $code in ${seconds}s, peak ${peak_kb} KB"
    [ "$code" -eq 3 ] || { fail "exit code $code"; return; }
    grep -q "The module 'Zarvo.xm' is missing or corrupt." "$work/err.txt" ||
        { fail "no module message"; return; }
    grep -q "$reason" "$work/err.txt" || { fail "the reason '$reason' is not given"; return; }
    awk -v s="$seconds" 'BEGIN { exit !(s < 5) }' || { fail "took ${seconds}s"; return; }
    if [ -n "$have_time" ] && [ -z "${ZARVO_NO_ADDRESS_LIMIT:-}" ] &&
        [ "$peak_kb" -gt $((real_peak + 8192)) ]; then
        fail "peak ${peak_kb} KB against the real module's ${real_peak} KB"
        return
    fi
    passes=$((passes + 1))
}

mkdir -p "$work/run"
case=real-module
cp "$module" "$work/run/Zarvo.xm"
run
echo "$case: exit $code in ${seconds}s, peak ${peak_kb} KB"
real_peak=$peak_kb
if [ "$code" -ne 0 ] || [ -s "$work/err.txt" ]; then
    fail "the real module does not play under the limit (exit $code)"
else
    passes=$((passes + 1))
fi

case=fifo
rm -f "$work/run/Zarvo.xm"
mkfifo "$work/run/Zarvo.xm"
expect_refused "it is a named pipe"

case=fifo-with-writer
yes >"$work/run/Zarvo.xm" &
writer_pid=$!
expect_refused "it is a named pipe"
kill "$writer_pid" 2>/dev/null
wait "$writer_pid" 2>/dev/null
writer_pid=

case=dev-zero
rm -f "$work/run/Zarvo.xm"
ln -s /dev/zero "$work/run/Zarvo.xm"
expect_refused "it is a device"

case=directory
rm -f "$work/run/Zarvo.xm"
mkdir "$work/run/Zarvo.xm"
expect_refused "it is a directory"
rmdir "$work/run/Zarvo.xm"

case=3-GiB
truncate -s 3G "$work/run/Zarvo.xm"
expect_refused "is larger than any module"

case=zeros-under-limit
truncate -s 0 "$work/run/Zarvo.xm"
truncate -s 63M "$work/run/Zarvo.xm"
expect_refused "not a module format"

# The real module padded to just under the limit plays; the file is read whole, once, so its
# padding costs its own size and no more (a second copy would double that).
case=padded-module
cp "$module" "$work/run/Zarvo.xm"
truncate -s 63M "$work/run/Zarvo.xm"
run
echo "$case: exit $code in ${seconds}s, peak ${peak_kb} KB"
if [ "$code" -ne 0 ] || [ -s "$work/err.txt" ]; then
    fail "the padded module does not play (exit $code)"
elif [ -n "$have_time" ] && [ -z "${ZARVO_NO_ADDRESS_LIMIT:-}" ] &&
    [ "$peak_kb" -gt $((real_peak + 63 * 1024 + 8192)) ]; then
    # (Not under the sanitizers, whose allocator keeps what is freed in quarantine and so makes
    # the process's peak a measure of its own bookkeeping rather than of ours.)
    fail "peak ${peak_kb} KB against the real module's ${real_peak} KB"
else
    passes=$((passes + 1))
fi

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
