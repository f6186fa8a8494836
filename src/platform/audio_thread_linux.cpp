// The audio threads' priority on Linux.
#include "platform/audio_routes.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

void RaiseAudioThreadPriority()
{
    sched_param realTime{};
    realTime.sched_priority = sched_get_priority_min(SCHED_RR);
    if (pthread_setschedparam(pthread_self(), SCHED_RR, &realTime) == 0) return;
    // The niceness of this thread alone: on Linux a thread's own id names it.
    const auto thread = static_cast<id_t>(syscall(SYS_gettid));
    for (int nice = -11; nice < 0; ++nice)
        if (setpriority(PRIO_PROCESS, thread, nice) == 0) return;
}
