#include "tools/hosting/process/ProcessResources.h"

#include <X11/Xlib.h>
#include <X11/extensions/XRes.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace {

// The kinds a leaking editor grows, as the X-Resource extension names them.
const char* const kCountedKinds[][2] = {
    {"WINDOW", "X windows"}, {"PIXMAP", "X pixmaps"}, {"GC", "X graphics contexts"}, {"FONT", "X fonts"}};

// Every client of the display: a plug-in's editor opens X connections of its
// own, and one that leaks a connection leaks all it holds there, so the
// whole server's count is what a leak shows in. Empty without a display.
std::vector<ObjectCount> xResources() {
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return {};
    std::vector<ObjectCount> counts;
    int eventBase = 0, errorBase = 0;
    if (XResQueryExtension(display, &eventBase, &errorBase)) {
        for (const auto& kind : kCountedKinds)
            counts.push_back({kind[1], 0});
        int clientCount = 0;
        XResClient* clients = nullptr;
        XResQueryClients(display, &clientCount, &clients);
        for (int c = 0; c < clientCount; ++c) {
            int typeCount = 0;
            XResType* types = nullptr;
            XResQueryClientResources(display, clients[c].resource_base, &typeCount, &types);
            for (int t = 0; t < typeCount; ++t) {
                char* name = XGetAtomName(display, types[t].resource_type);
                for (size_t k = 0; name && k < counts.size(); ++k) {
                    if (std::strcmp(name, kCountedKinds[k][0]) == 0)
                        counts[k].count += static_cast<uint32_t>(types[t].count);
                }
                XFree(name);
            }
            XFree(types);
        }
        XFree(clients);
    }
    XCloseDisplay(display);
    return counts;
}

}  // namespace

ResourceCounts ProcessResources::count() {
    ResourceCounts counts;
    counts.objects = xResources();
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
