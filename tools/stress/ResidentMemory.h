// How much of the process is in memory: the resident set on Linux, the
// working set on Windows; 0 when the system does not say.
#pragma once

#include <cstdint>

class ResidentMemory {
public:
    static uint64_t bytes();
};
