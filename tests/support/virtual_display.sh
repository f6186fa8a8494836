# Shared by the scripts that test the window end to end on a virtual X display (tests/x11,
# tests/wine); sourced, not run.

# Checks that the tools are installed, then runs the script again under xvfb-run with
# "--on-display" before its arguments; never returns. Every wait of the script has its own
# limit; this one (seconds) only stops a run that hangs outright.
#   run_on_virtual_display SECONDS "TOOL ..." SCRIPT ARGUMENTS...
run_on_virtual_display()
{
    local limit=$1 tools=$2 script=$3
    shift 3
    for tool in xvfb-run $tools; do
        if ! command -v "$tool" > /dev/null; then
            echo "FAIL: $tool is missing (make deps-linux or deps-windows installs it)" >&2
            exit 1
        fi
    done
    exec timeout --kill-after=10 "$limit" xvfb-run -a -s "-screen 0 1024x768x24" "$script" --on-display "$@"
}

# Waits up to $1 tenths of a second for the command in the remaining arguments to succeed.
wait_for()
{
    local tenths=$1 i
    shift
    for ((i = 0; i < tenths; i++)); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}
