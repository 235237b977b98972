// The host's windows an input opens editors in, on the stub window system.
// They outlive the effect, as a host's windows outlive the plug-ins inside
// them: declare the list before the effect.
#pragma once

#include <vector>

#include "platform/stub/StubWindows.h"
#include "tests/fuzz/FuzzInput.h"

namespace quavixfuzz {

class HostWindows {
public:
    HostWindows() = default;
    ~HostWindows() {
        for (VSTGUI::stub::Window* window : windows)
            VSTGUI::stub::destroyHostWindow(window);
    }
    HostWindows(const HostWindows&) = delete;
    HostWindows& operator=(const HostWindows&) = delete;

    // A new window somewhere on a large screen, from nothing up to 400
    // pixels a side: the editor's window is a child of its own size.
    VSTGUI::stub::Window* open(FuzzInput& input) {
        const int32_t left = input.inRange(-100, 2000), top = input.inRange(-100, 1500);
        const int32_t width = input.inRange(0, 400), height = input.inRange(0, 400);
        windows.push_back(VSTGUI::stub::createHostWindow(VSTGUI::CRect(left, top, left + width, top + height)));
        return windows.back();
    }

private:
    std::vector<VSTGUI::stub::Window*> windows;
};

}  // namespace quavixfuzz
