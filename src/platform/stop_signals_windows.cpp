// Stop signals as a flag: the console's control events.
#include "platform/stop_signals.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

std::atomic<bool> g_caught{false};

// Runs on a thread the system starts for the event. Returning TRUE keeps the process alive
// for the job to stop between frames (a console being closed ends it soon after all the same).
BOOL WINAPI OnConsoleEvent(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) return FALSE;
    g_caught = true;
    return TRUE;
}

} // namespace

StopSignals::StopSignals()
{
    g_caught = false;
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

StopSignals::~StopSignals()
{
    SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
}

const std::atomic<bool>& StopSignals::Caught()
{
    return g_caught;
}

int StopSignals::ExitCode()
{
    return 130;
}
