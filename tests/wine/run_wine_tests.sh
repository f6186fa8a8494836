#!/usr/bin/env bash
# The Windows zip under wine on a virtual X display (Xvfb), as a user would run it:
#  1. unzipped, lantern.exe starts and its shots at four times across the piece equal the
#     Linux build's within the golden-frame tolerance;
#  2. `--windowed --start 300` plays to the end of the piece and exits with 0 by itself;
#  3. a windowed run from the start records the camera into "default.camera" on a right
#     click (a file written whole beside its name and moved into place) and ends with 0 on
#     Escape sent with xdotool;
#  4. lantern.exe alone in a folder without Data: `shot` exits 1 within 60 s naming
#     "font.jpg.packed" on stderr, and play shows the "Application Error" box, which is closed
#     with Return, then exits 1;
#  5. capture without ffmpeg.exe says where it looked, exit 1.
# The wine prefix is made once per run in WINE_FOLDER (its first start is the slow part).
#   run_wine_tests.sh ZIP LINUX_LANTERN LINUX_DATA_FOLDER WINE_FOLDER
set -u

source "$(dirname "$0")/../support/virtual_display.sh"
if [ "${1:-}" != "--on-display" ]; then
    if [ $# -ne 4 ]; then
        echo "usage: $0 ZIP LINUX_LANTERN LINUX_DATA_FOLDER WINE_FOLDER" >&2
        exit 2
    fi
    run_on_virtual_display 900 "xdotool wine unzip python3" "$0" "$@"
fi
shift
zip=$(realpath "$1")
linux_lantern=$(realpath "$2")
linux_data=$(realpath "$3")
wine_folder=$(realpath -m "$4")
here=$(cd "$(dirname "$0")" && pwd)

export WINEPREFIX=$wine_folder/prefix
export WINEDEBUG=-all
# No Mono or Gecko: nothing here needs them, and their installers would wait for a click. No
# debugger either: a crash then ends the program at once instead of waiting in it.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
# The Linux build draws its reference shots off-screen.
export SDL_AUDIODRIVER=dummy

passed=0
failed=0
pid=""
cleanup()
{
    if [ -n "$pid" ] && kill -0 "$pid" 2> /dev/null; then kill "$pid"; wait "$pid" 2> /dev/null; fi
    wineserver -k 2> /dev/null
}
trap cleanup EXIT

ok() { echo "ok: $*"; passed=$((passed + 1)); }
fail() { echo "FAIL: $*"; failed=$((failed + 1)); }

# Waits up to $1 seconds for the run in $pid to end; its exit code in $status (124 when it
# had to be killed).
wait_exit()
{
    if wait_for $(($1 * 10)) eval '! kill -0 $pid 2> /dev/null'; then
        wait "$pid"
        status=$?
    else
        kill "$pid" 2> /dev/null
        wait "$pid" 2> /dev/null
        status=124
    fi
    pid=""
}

started=$SECONDS
rm -rf "$wine_folder"
mkdir -p "$wine_folder"
wineboot -i > "$wine_folder/wineboot.log" 2>&1
wineserver -w
echo "wine prefix made in $((SECONDS - started)) s"

cd "$wine_folder" || exit 1
unzip -q "$zip" -d unzipped
piece=$(find "$PWD/unzipped" -mindepth 1 -maxdepth 1 -type d | head -n 1)
[ -f "$piece/lantern.exe" ] && [ -f "$piece/Data/soundtrack.ogg" ] && [ -f "$piece/README.txt" ] ||
    { echo "FAIL: the zip lacks lantern.exe, Data/soundtrack.ogg or README.txt"; exit 1; }
echo "zip: $(cd "$piece" && ls | tr '\n' ' ')"

# 1. Shots, started from another working folder: Data is found beside the exe.
mkdir -p shots
for ms in 9056 62000 168000 278000; do
    step=$SECONDS
    "$linux_lantern" shot "$ms" "shots/linux_$ms.png" --data "$linux_data" > /dev/null 2>&1 ||
        { fail "the Linux build wrote no shot at $ms ms"; continue; }
    (cd shots && timeout 120 wine "$piece/lantern.exe" shot "$ms" "wine_$ms.png" > "wine_$ms.txt" 2>&1)
    code=$?
    if [ $code -ne 0 ] || [ ! -f "shots/wine_$ms.png" ]; then
        fail "lantern.exe shot $ms exited with $code: $(cat "shots/wine_$ms.txt")"
        continue
    fi
    if figures=$(python3 "$here/../support/compare_shots.py" "shots/linux_$ms.png" "shots/wine_$ms.png"); then
        ok "shot at $ms ms matches the Linux build's ($figures; $((SECONDS - step)) s)"
    else
        fail "shot at $ms ms differs from the Linux build's: $figures"
    fi
done

# 2. The end of the piece ends a windowed run by itself.
step=$SECONDS
wine "$piece/lantern.exe" --windowed --start 300 > end.txt 2>&1 &
pid=$!
wait_exit 120
if [ $status -eq 0 ]; then ok "--windowed --start 300 ended by itself with 0 in $((SECONDS - step)) s"
else fail "--windowed --start 300 exited with $status: $(cat end.txt)"; fi

# 3. A right click records the camera, Escape ends a windowed run; "sound ok" in the log says
# loading is over.
window_id() { xdotool search --name '^nrvk_dms' 2> /dev/null | head -n 1; }
has_window() { [ -n "$(window_id)" ]; }
loaded() { grep -q "sound ok" loading.log 2> /dev/null; }
rm -f loading.log default.camera
step=$SECONDS
wine "$piece/lantern.exe" --windowed --log > escape.txt 2>&1 &
pid=$!
if wait_for 900 loaded && wait_for 100 has_window; then
    wid=$(window_id)
    xdotool windowfocus "$wid" 2> /dev/null
    xdotool mousemove --window "$wid" 320 240
    sleep 1
    xdotool click 3
    wait_for 50 test -f default.camera
    xdotool key --window "$wid" Escape
    wait_exit 30
    if [ $status -eq 0 ]; then ok "Escape ended the windowed run with 0 ($((SECONDS - step)) s)"
    else fail "after Escape the windowed run exited with $status: $(cat escape.txt)"; fi
    # The placeholder record and the one key, 40 bytes each, and no temporary file beside it.
    size=$(stat -c %s default.camera 2> /dev/null)
    if [ "$size" = 80 ] && [ -z "$(ls -A | grep '^\.default\.camera\.part')" ]; then
        ok "a right click wrote default.camera whole (80 bytes)"
    else fail "after a right click default.camera holds ${size:-no} bytes: $(ls -a)"; fi
else
    fail "the windowed run did not load and show a window within 100 s: $(cat escape.txt)"
    wait_exit 1
fi

# 4. No Data anywhere: the exe and its DLLs alone in a folder, started there.
mkdir -p bare
cp "$piece"/*.exe "$piece"/*.dll bare/
step=$SECONDS
(cd bare && timeout 60 wine ./lantern.exe shot 1000 frame.png > shot.txt 2>&1)
code=$?
if [ $code -eq 1 ] && grep -q "font.jpg.packed" bare/shot.txt; then
    ok "shot without Data exited 1 in $((SECONDS - step)) s naming font.jpg.packed: $(grep -m1 font bare/shot.txt)"
else
    fail "shot without Data exited with $code (124: timed out): $(cat bare/shot.txt)"
fi
box_id() { xdotool search --name '^Application Error$' 2> /dev/null | head -n 1; }
has_box() { [ -n "$(box_id)" ]; }
step=$SECONDS
(cd bare && exec wine ./lantern.exe --windowed > play.txt 2>&1) &
pid=$!
if wait_for 600 has_box; then
    box=$(box_id)
    xdotool windowfocus "$box" 2> /dev/null
    sleep 0.5
    xdotool key --window "$box" Return
    wait_exit 30
    if [ $status -eq 1 ] && grep -q "font.jpg.packed" bare/play.txt; then
        ok "play without Data showed the Application Error box; closed, it exited 1 ($((SECONDS - step)) s)"
    else
        fail "play without Data: after the box it exited with $status: $(cat bare/play.txt)"
    fi
else
    fail "play without Data showed no Application Error box within 60 s: $(cat bare/play.txt)"
    wait_exit 1
fi

# 5. capture without ffmpeg.exe.
(cd shots && timeout 60 wine "$piece/lantern.exe" capture piece.mp4 > capture.txt 2>&1)
code=$?
if [ $code -eq 1 ] && grep -q "ffmpeg.exe was found neither beside lantern.exe nor on PATH" shots/capture.txt &&
    [ ! -e shots/piece.mp4 ]; then
    ok "capture without ffmpeg.exe exited 1: $(cat shots/capture.txt)"
else
    fail "capture without ffmpeg.exe exited with $code: $(cat shots/capture.txt)"
fi

echo "wine tests: $((SECONDS - started)) s"
echo "$passed passed, $failed failed"
exit $((failed > 0))
