#include "tools/stress/AudioThreadPriority.h"

#include <windows.h>
#include <mmsystem.h>

bool AudioThreadPriority::raise(std::string& reason) {
    // Windows wakes sleepers on its timer's tick, 15.6 ms unless a program
    // asks for 1 ms, as audio programs do: else no block could be paced.
    static const bool fineTimer = timeBeginPeriod(1) == TIMERR_NOERROR;
    if (!fineTimer)
        reason = "the 1 ms timer was refused; ";
    if (SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL))
        return fineTimer;
    reason += "THREAD_PRIORITY_TIME_CRITICAL refused, error " + std::to_string(GetLastError());
    return false;
}

const char* AudioThreadPriority::describe() { return "THREAD_PRIORITY_TIME_CRITICAL, a 1 ms timer"; }
