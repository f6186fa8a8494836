// Ctrl-C (SIGINT), SIGTERM and SIGHUP turned into a flag while a long offline job runs, so
// that the job can stop between frames, remove what it has half made and exit cleanly. While
// caught, SIGPIPE is ignored: a reader that went away shows as a failed write instead. On
// Windows the console's Ctrl-C, Ctrl-Break and close events raise the same flag
// (stop_signals_windows.cpp).
#pragma once

#include <atomic>

class StopSignals {
public:
    // Starts catching; the previous actions come back when the object goes.
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // True once one of the signals arrived.
    static const std::atomic<bool>& Caught();
    // The exit code that reports it: 128 + the signal's number (130 for Ctrl-C everywhere).
    static int ExitCode();
};
