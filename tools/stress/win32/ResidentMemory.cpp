#include "tools/stress/ResidentMemory.h"

// Version 2 reaches the function in kernel32 (K32GetProcessMemoryInfo), so
// nothing links psapi.dll.
#define PSAPI_VERSION 2
#include <windows.h>
#include <psapi.h>

uint64_t ResidentMemory::bytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return 0;
    return counters.WorkingSetSize;
}
