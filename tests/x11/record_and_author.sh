#!/usr/bin/env bash
# End to end on a virtual X display with real X input (Xvfb, xdotool):
#  1. lantern --windowed: a drag of 333 pixels with the left button (one radian to the left
#     from the default view, which the title scene leaves alone), two right clicks, then
#     Escape. It exits with 0 and leaves a "default.camera" of three 40-byte records (the
#     placeholder and both keys) that lantern-tool camera reads back, turned as dragged.
#  2. lantern --windowed --dev: Space pauses (the music time in the window title stops),
#     F6 moves it 5 s, F9 shows the loop, Space plays on, Escape exits with 0.
#  3. lantern --windowed --dev --size native: the window resized to 1000x600 draws the picture
#     at 800x600 (the title names it), then at 960x720; Escape exits with 0.
#
#   record_and_author.sh LANTERN LANTERN_TOOL DATA_FOLDER
set -u

source "$(dirname "$0")/../support/virtual_display.sh"
if [ "${1:-}" != "--on-display" ]; then
    if [ $# -ne 3 ]; then
        echo "usage: $0 LANTERN LANTERN_TOOL DATA_FOLDER" >&2
        exit 2
    fi
    run_on_virtual_display 170 xdotool "$0" "$@"
fi
shift
lantern=$(realpath "$1")
tool=$(realpath "$2")
data=$(realpath "$3")

# The test suite runs headless; here the window is the point. No sound card is needed.
unset SDL_VIDEODRIVER
export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"

work=$(mktemp -d "${TMPDIR:-/tmp}/lantern-x11-XXXXXX")
pid=""
cleanup()
{
    if [ -n "$pid" ] && kill -0 "$pid" 2> /dev/null; then kill "$pid"; wait "$pid" 2> /dev/null; fi
    rm -rf "$work"
}
trap cleanup EXIT
cd "$work" || exit 1

fail()
{
    echo "FAIL: $*" >&2
    if [ -f output.txt ]; then
        echo "--- lantern's output:" >&2
        cat output.txt >&2
    fi
    exit 1
}

loaded() { grep -q "sound ok" loading.log 2> /dev/null; }
window_id() { xdotool search --name '^nrvk_dms' 2> /dev/null | head -n 1; }
has_window() { [ -n "$(window_id)" ]; }
title() { xdotool getwindowname "$wid" 2> /dev/null; }

# Music time in ms of the window title "nrvk_dms  m:ss.mmm  ...", or nothing.
title_ms()
{
    title | sed -nE 's/^nrvk_dms  ([0-9]+):([0-9]{2})\.([0-9]{3}).*/\1 \2 \3/p' |
        awk '{ print $1 * 60000 + $2 * 1000 + $3 }'
}
title_has() { title | grep -q -- "$1"; }
title_lacks() { ! title | grep -q -- "$1"; }
title_time_is() { [ "$(title_ms)" = "$1" ]; }
title_time_passes() { local now; now=$(title_ms); [ -n "$now" ] && [ "$now" -gt "$1" ]; }

# Starts lantern with the given options (--log tells when loading is over) and waits for it
# to play in its window.
start_lantern()
{
    rm -f loading.log output.txt
    "$lantern" --windowed --log --data "$data" "$@" > output.txt 2>&1 &
    pid=$!
    wait_for 600 loaded || fail "lantern did not finish loading within 60 s"
    wait_for 100 has_window || fail "no window called nrvk_dms"
    wid=$(window_id)
    # Over the window, and with the keyboard's focus (there is no window manager).
    xdotool mousemove --window "$wid" 320 240 || fail "cannot move the pointer"
    xdotool windowfocus "$wid" 2> /dev/null
    sleep 0.3
}

# Waits for lantern to end by itself and checks that it exited with 0.
expect_exit_zero()
{
    wait_for 200 eval '! kill -0 $pid 2> /dev/null' || fail "lantern still runs 20 s after Escape"
    wait "$pid"
    local status=$?
    pid=""
    [ "$status" -eq 0 ] || fail "lantern exited with $status"
}

# 1. Mouse look and recording.
start_lantern
xdotool mousemove --window "$wid" 100 240
sleep 0.2
xdotool mousedown 1
for step in 1 2 3 4 5 6 7 8 9; do
    xdotool mousemove_relative 37 0
    sleep 0.05
done
sleep 0.2
xdotool mouseup 1
sleep 0.2
xdotool click 3
sleep 0.2
xdotool click 3
sleep 0.2
xdotool key Escape
expect_exit_zero
[ -f default.camera ] || fail "no default.camera was written"
size=$(stat -c %s default.camera)
[ "$size" -eq 120 ] || fail "default.camera holds $size bytes, not three 40-byte records"
readback=$("$tool" camera default.camera 0.5) || fail "lantern-tool camera cannot read default.camera"
[ "$(echo "$readback" | head -n 1)" = "3 records" ] || fail "lantern-tool camera read: $readback"
# The first key: eye (0, 0, -10), the centre turned from (0, 0, 10) by one radian about the eye.
echo "$readback" | sed -n 2p | awk '{ exit !(($5 + 16.8294) ^ 2 < 1e-4 && $6 ^ 2 < 1e-6 && ($7 - 0.80605) ^ 2 < 1e-4) }' ||
    fail "the drag did not turn the view one radian: $readback"
echo "recorded: default.camera of $size bytes; lantern-tool camera: $(echo "$readback" | head -n 1)"

# 2. Authoring mode.
start_lantern --dev
wait_for 100 eval '[ -n "$(title_ms)" ]' || fail "the title shows no music time: $(title)"
xdotool key space
wait_for 50 title_has paused || fail "Space did not pause: $(title)"
held=$(title_ms)
sleep 1
[ "$(title_ms)" = "$held" ] || fail "the music time moved while paused: $held, then $(title_ms)"
xdotool key F6
wait_for 50 title_time_is $((held + 5000)) || fail "F6 did not move $held by 5 s: $(title)"
xdotool key F9
wait_for 50 title_has loop || fail "F9 did not show the loop: $(title)"
xdotool key space
wait_for 50 title_lacks paused || fail "Space did not play on: $(title)"
wait_for 50 title_time_passes $((held + 5000)) || fail "the music time did not move on: $(title)"
echo "authoring: paused at $held ms, F6 to $((held + 5000)) ms, then playing: $(title)"
xdotool key Escape
expect_exit_zero

# 3. The picture follows the window.
start_lantern --dev --size native
xdotool windowsize "$wid" 1000 600 || fail "cannot resize the window"
wait_for 100 title_has "  800x600" || fail "the picture did not follow the window to 800x600: $(title)"
xdotool windowsize "$wid" 960 720
wait_for 100 title_has "  960x720" || fail "the picture did not follow the window to 960x720: $(title)"
echo "native: $(title)"
xdotool key Escape
expect_exit_zero
echo "PASS"
