#!/usr/bin/env bash
# Picture and sound in step as a viewer sees and hears them, measured end to end. lantern
# plays windowed on a virtual X display into the null sink of a private PulseAudio server:
#   pulse    through the server's own route (SDL_AUDIODRIVER=pulseaudio),
#   alsa     through ALSA's PulseAudio plugin (SDL_AUDIODRIVER=alsa, "pcm.!default { type pulse }"),
#   offset   the server's route again with --av-offset 100.
# One ffmpeg records the picture in the window and the sink's monitor together, both stamped
# with the wall clock; sync_report.py locates every frame shown in an offline capture of the
# same span (lantern capture) and the sound in the soundtrack, and prints each run's error with
# its spread, the dropouts the sink inserted and lantern's own summary of its frame clock.
#
#   run_sync_test.sh LANTERN DATA_FOLDER
#
# It fails when a run's median error exceeds SYNC_BOUND_MS (40: a broken clock, not noise) or
# --av-offset 100 moves it by other than 90 to 110 ms; the goal (within 10 ms on a quiet host)
# is reported as measured. SYNC_SECONDS (12) is each run's recorded span; the work folder (the
# recordings, lantern's logs, sync.json with every frame's error) is kept when it fails, or
# with SYNC_KEEP=1.
set -u

source "$(dirname "$0")/../support/virtual_display.sh"
if [ "${1:-}" != "--on-display" ]; then
    if [ $# -ne 2 ]; then
        echo "usage: $0 LANTERN DATA_FOLDER" >&2
        exit 2
    fi
    for tool in pulseaudio pactl pacat ffmpeg ffprobe; do
        command -v "$tool" > /dev/null || { echo "FAIL: $tool is missing (make sync-test installs it)" >&2; exit 1; }
    done
    /usr/bin/python3 -c "import numpy" 2> /dev/null ||
        { echo "FAIL: Python's numpy is missing (make sync-test installs python3-numpy)" >&2; exit 1; }
    run_on_virtual_display 1800 xdotool "$0" "$@"
fi
shift
lantern=$(realpath "$1")
data=$(realpath "$2")
seconds=${SYNC_SECONDS:-12}
bound=${SYNC_BOUND_MS:-40}
here=$(dirname "$(realpath "$0")")

# The span: meatkilla's field of leaves, in colour and always moving, over music that never
# rests. Each run starts at startS and is recorded from about 2 s in; the capture covers that
# with room to spare for a slow start.
startS=205
captureTo=$((startS + seconds + 8))

unset SDL_VIDEODRIVER
work=$(mktemp -d "${TMPDIR:-/tmp}/lantern-sync-XXXXXX")
lanternPid=""
serverPid=""
silencePid=""
cleanup()
{
    local status=$?
    if [ -n "$lanternPid" ] && kill -0 "$lanternPid" 2> /dev/null; then kill "$lanternPid"; wait "$lanternPid" 2> /dev/null; fi
    if [ -n "$silencePid" ] && kill -0 "$silencePid" 2> /dev/null; then kill "$silencePid"; wait "$silencePid" 2> /dev/null; fi
    if [ -n "$serverPid" ] && kill -0 "$serverPid" 2> /dev/null; then kill "$serverPid"; wait "$serverPid" 2> /dev/null; fi
    if [ "${SYNC_KEEP:-0}" = 1 ] || [ "$status" -ne 0 ]; then echo "work folder kept: $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT
cd "$work" || exit 1

fail()
{
    echo "FAIL: $*" >&2
    exit 1
}

# A private sound server: its own socket, home and runtime folder; a null sink as the
# speaker. Clients find it through PULSE_SERVER, ALSA's plugin too.
mkdir -p home runtime
export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" PULSE_SERVER="unix:$work/pulse-socket"
cat > home/.asoundrc << 'EOF'
pcm.!default { type pulse }
ctl.!default { type pulse }
EOF
pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --log-target=file:"$work/pulseaudio.log" \
    -L "module-native-protocol-unix socket=$work/pulse-socket auth-anonymous=1" \
    -L "module-null-sink sink_name=speaker rate=44100" > pulseaudio.out 2>&1 &
serverPid=$!
wait_for 100 pactl info > /dev/null 2>&1 || fail "the PulseAudio server did not start: $(cat pulseaudio.out)"
# Silence played all along keeps the sink running, as a desktop's is: an idle null sink
# wakes up to a new stream only after a while of its own (up to seconds), and the runs would
# measure that instead.
pacat --playback --raw --latency-msec=20 /dev/zero &
silencePid=$!

# The offline frames of the span, every 10 ms of music, lossless.
began=$SECONDS
echo "capturing ${startS} s to ${captureTo} s of music offline..."
SDL_VIDEODRIVER=offscreen "$lantern" capture capture.mkv --data "$data" --fps 100 --from "$startS" \
    --to "$captureTo" --crf 0 > capture.txt 2>&1 || fail "lantern capture failed: $(cat capture.txt)"

loaded() { grep -q "sound ok" loading.log 2> /dev/null; }
window_id() { xdotool search --name '^nrvk_dms' 2> /dev/null | head -n 1; }
has_window() { [ -n "$(window_id)" ]; }

# Plays one run and records it into NAME.nut; lantern's log becomes NAME.log.
#   record_run NAME SDL_AUDIODRIVER [lantern options...]
record_run()
{
    local name=$1 driver=$2
    shift 2
    rm -f loading.log
    SDL_AUDIODRIVER=$driver "$lantern" --windowed --log --data "$data" --start "$startS" "$@" > "$name.out" 2>&1 &
    lanternPid=$!
    wait_for 1200 loaded || fail "$name: lantern did not finish loading within 120 s: $(cat "$name.out")"
    wait_for 100 has_window || fail "$name: no window called nrvk_dms"
    local wid geometry x y
    wid=$(window_id)
    geometry=$(xdotool getwindowgeometry --shell "$wid") || fail "$name: no geometry for the window"
    x=$(echo "$geometry" | sed -n 's/^X=//p')
    y=$(echo "$geometry" | sed -n 's/^Y=//p')
    grep -q "^.* : sound: $(route_of "$driver")" loading.log ||
        fail "$name: lantern did not take the $driver route: $(grep 'sound:' loading.log)"
    # The first seconds hold the start-up's own unevenness; the recording starts after them.
    sleep 2
    timeout -s INT $((seconds + 1)) ffmpeg -nostdin -loglevel error -y \
        -thread_queue_size 4096 -f x11grab -framerate 100 -video_size 640x360 -i "$DISPLAY+$x,$((y + 60))" \
        -thread_queue_size 4096 -f pulse -sample_rate 44100 -channels 2 -fragment_size 3528 -i speaker.monitor \
        -copyts -map 0:v -fps_mode passthrough -vf "scale=160:90:flags=area,format=yuv444p" \
        -c:v rawvideo -map 1:a -c:a pcm_s16le "$name.nut" 2> "$name.ffmpeg.txt"
    [ -s "$name.nut" ] || fail "$name: ffmpeg recorded nothing: $(cat "$name.ffmpeg.txt")"
    xdotool key --window "$wid" Escape
    wait_for 200 eval '! kill -0 $lanternPid 2> /dev/null' || fail "$name: lantern still runs 20 s after Escape"
    wait "$lanternPid"
    local status=$?
    lanternPid=""
    [ "$status" -eq 0 ] || fail "$name: lantern exited with $status: $(cat "$name.out")"
    cp loading.log "$name.log"
}

route_of()
{
    case $1 in
    pulseaudio) echo PulseAudio ;;
    alsa) echo ALSA ;;
    esac
}

echo "captured in $((SECONDS - began)) s; playing and recording the three runs..."
began=$SECONDS
record_run pulse pulseaudio
record_run alsa alsa
record_run offset pulseaudio --av-offset 100

echo "recorded in $((SECONDS - began)) s; host load while measuring: $(cut -d ' ' -f 1-3 /proc/loadavg)"
/usr/bin/python3 "$here/sync_report.py" capture.mkv $((startS * 1000)) "$data/Data/soundtrack.ogg" \
    pulse=pulse.nut alsa=alsa.nut offset=offset.nut --bound "$bound" --offset-run offset:pulse:100 \
    --json sync.json
status=$?
echo "lantern's own account (--log):"
for name in pulse alsa offset; do
    echo "  $name: $(grep -o 'sound: .*' "$name.log" | head -n 1)"
    echo "  $name: $(grep -o 'frame clock: .*' "$name.log")"
    grep -o 'sound: the speaker ran dry.*' "$name.log" | sed "s/^/  $name: /"
done
exit $status
