#include "tools/ProcessResources.h"

#include <unistd.h>

#include <cstdio>

ResourceCounts ProcessResources::count() {
    ResourceCounts counts;
    // statm: size resident shared text lib data dirty, in pages; data is the heap and stacks.
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm)
        return counts;
    unsigned long long size = 0, resident = 0, shared = 0, text = 0, lib = 0, data = 0;
    if (std::fscanf(statm, "%llu %llu %llu %llu %llu %llu", &size, &resident, &shared, &text, &lib, &data) == 6) {
        counts.privateBytes = data * static_cast<unsigned long long>(sysconf(_SC_PAGESIZE));
    }
    std::fclose(statm);
    return counts;
}
