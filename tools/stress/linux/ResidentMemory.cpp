#include "tools/stress/ResidentMemory.h"

#include <unistd.h>

#include <cstdio>

uint64_t ResidentMemory::bytes() {
    // statm: total and resident pages, then others we need not read.
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm)
        return 0;
    unsigned long long total = 0, resident = 0;
    int read = std::fscanf(statm, "%llu %llu", &total, &resident);
    std::fclose(statm);
    long page = sysconf(_SC_PAGESIZE);
    return read == 2 && page > 0 ? resident * static_cast<uint64_t>(page) : 0;
}
