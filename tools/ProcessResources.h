// What the tool's own process holds, for the validator's leak figures:
// committed private memory everywhere, and window-system objects where the
// tool hosts editors (Windows: GDI objects and windows).
#pragma once

#include <cstdint>

struct ResourceCounts {
    bool windowObjects = false;  // whether gdi and user below mean anything
    uint32_t gdi = 0;
    uint32_t user = 0;
    uint64_t privateBytes = 0;
};

class ProcessResources {
public:
    static ResourceCounts count();
};
