#include "tools/hosting/process/ProcessResources.h"

#include <windows.h>

#include "tools/hosting/win32/GuiObjects.h"

namespace {

uint64_t committedPrivateBytes() {
    uint64_t total = 0;
    MEMORY_BASIC_INFORMATION region;
    const char* address = nullptr;
    while (VirtualQuery(address, &region, sizeof region) == sizeof region) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            total += region.RegionSize;
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= address)
            break;
        address = next;
    }
    return total;
}

}  // namespace

ResourceCounts ProcessResources::count() {
    ResourceCounts counts;
    counts.objects = {{"GDI objects", countGdiObjects()}, {"USER objects (windows)", countUserObjects()}};
    counts.privateBytes = committedPrivateBytes();
    return counts;
}
