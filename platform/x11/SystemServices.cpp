#include "toolkit/platform/SystemServices.h"

#include <X11/Xlib.h>

#include <ctime>

#include "toolkit/platform/FrameWindow.h"
#include "platform/x11/X11Windows.h"
#include "platform/x11/WindowLibraries.h"

namespace VSTGUI {

uint32_t tickCount() {
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return uint32_t(uint64_t(now.tv_sec) * 1000u + uint64_t(now.tv_nsec) / 1000000u);
}

void sleepMilliseconds(uint32_t milliseconds) {
    timespec duration = {time_t(milliseconds / 1000), long(milliseconds % 1000) * 1000000L};
    while (nanosleep(&duration, &duration) != 0) {
    }
}

// The paints of the window whose events this thread handles: the frame's
// idle has usually taken them already, so this finds one only rarely.
bool dispatchOnePendingPaint() {
    x11::FrameWindowState* state = x11::activeFrameWindow();
    if (!state || state->destroyed)
        return false;
    XEvent event;
    if (!XCheckTypedWindowEvent(state->display, state->window, Expose, &event))
        return false;
    XPutBackEvent(state->display, &event);
    processPendingWindowEvents(x11::toHandle(state->window));
    return true;
}

// Cairo draws everything itself and drags arrive as XDND messages on the
// frame's own connection: nothing to keep for the thread.
ThreadResources acquireThreadResources(SystemUser) { return nullptr; }

void releaseThreadResources(SystemUser, ThreadResources) {}

}  // namespace VSTGUI
