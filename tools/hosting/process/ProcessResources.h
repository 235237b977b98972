// What the tool's own process holds, for the validator's leak figures:
// committed private memory everywhere, and window-system objects by kind
// where the tool hosts editors (Windows: GDI objects and windows; Linux:
// the X server's windows, pixmaps, graphics contexts and fonts).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ObjectCount {
    std::string kind;  // as the figures name it, e.g. "GDI objects"
    uint32_t count = 0;
};

struct ResourceCounts {
    // The same kinds in the same order at every count; empty where none can
    // be counted (no display).
    std::vector<ObjectCount> objects;
    uint64_t privateBytes = 0;
};

class ProcessResources {
public:
    static ResourceCounts count();
};
