#include "toolkit/platform/FrameWindow.h"

#include "platform/stub/StubWindows.h"

namespace VSTGUI {

// The stub has no window classes to open or close.
void openFrameWindowClass(const char*) {}

void closeFrameWindowClass(const char*) {}

// At the parent's top-left, as a child window at (0, 0) is.
WindowHandle createFrameWindow(WindowHandle parent, int32_t width, int32_t height, CFrame* frame) {
    stub::Window* host = stub::windowOf(parent);
    if (!host || width <= 0 || height <= 0)
        return nullptr;
    const CRect rect(host->screenRect.left, host->screenRect.top, host->screenRect.left + width,
                     host->screenRect.top + height);
    stub::Window* window = new stub::Window(rect, host, getFrameWindowClassName(), false);
    window->frame = frame;
    return stub::handleOf(window);
}

void destroyFrameWindow(WindowHandle window) { delete stub::windowOf(window); }

void processPendingWindowEvents(WindowHandle) {}

int frameWindowEventDescriptor(WindowHandle) { return -1; }

}  // namespace VSTGUI
