// Stop signals as a flag (POSIX signal actions).
#include "platform/stop_signals.h"

#include <csignal>
#include <iterator>

namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction g_previous[std::size(kStopSignals)];
struct sigaction g_previousPipe;
std::atomic<bool> g_caught{false};
volatile std::sig_atomic_t g_signal = 0;

void OnStopSignal(int signal)
{
    g_signal = signal;
    g_caught = true;
}

} // namespace

StopSignals::StopSignals()
{
    g_caught = false;
    g_signal = 0;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < std::size(kStopSignals); ++i) sigaction(kStopSignals[i], &action, &g_previous[i]);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, &g_previousPipe);
}

StopSignals::~StopSignals()
{
    for (size_t i = 0; i < std::size(kStopSignals); ++i) sigaction(kStopSignals[i], &g_previous[i], nullptr);
    sigaction(SIGPIPE, &g_previousPipe, nullptr);
}

const std::atomic<bool>& StopSignals::Caught()
{
    return g_caught;
}

int StopSignals::ExitCode()
{
    return 128 + (g_signal ? static_cast<int>(g_signal) : SIGINT);
}
