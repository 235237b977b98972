#include "tools/stress/AudioThreadPriority.h"

#include <pthread.h>
#include <sched.h>

#include <cstring>

namespace {

// Low among real-time priorities, as audio servers run their clients: above
// every ordinary thread, below the system's own real-time work.
const int kFifoPriority = 10;

}  // namespace

bool AudioThreadPriority::raise(std::string& reason) {
    sched_param parameters{};
    parameters.sched_priority = kFifoPriority;
    int status = pthread_setschedparam(pthread_self(), SCHED_FIFO, &parameters);
    if (status != 0)
        reason = std::string("SCHED_FIFO refused: ") + std::strerror(status);
    return status == 0;
}

const char* AudioThreadPriority::describe() { return "SCHED_FIFO, priority 10"; }
