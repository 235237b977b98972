#include "tools/stress/AudioThreadPriority.h"

#include <windows.h>

bool AudioThreadPriority::raise(std::string& reason) {
    if (SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL))
        return true;
    reason = "THREAD_PRIORITY_TIME_CRITICAL refused, error " + std::to_string(GetLastError());
    return false;
}

const char* AudioThreadPriority::describe() { return "THREAD_PRIORITY_TIME_CRITICAL"; }
