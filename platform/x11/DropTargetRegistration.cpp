#include "toolkit/platform/DropTargetRegistration.h"

#include <new>

#include "platform/x11/CDropTarget.h"
#include "platform/x11/X11Windows.h"
#include "platform/x11/WindowLibraries.h"

namespace VSTGUI {

CDropTarget* registerDropTarget(WindowHandle window, CFrame* frame) {
    x11::FrameWindowState* state = x11::findFrameWindow(x11::toWindow(window));
    if (!state || state->destroyed)
        return nullptr;
    CDropTarget* target = new (std::nothrow) CDropTarget(frame, state);
    if (!target)
        return nullptr;
    target->advertise();
    XFlush(state->display);
    state->dropTarget = target;
    return target;
}

void revokeDropTarget(WindowHandle window, CDropTarget* target) {
    x11::FrameWindowState* state = x11::findFrameWindow(x11::toWindow(window));
    if (target)
        target->forgetFrame();
    if (state && state->dropTarget == target) {
        state->dropTarget = nullptr;
        // The window may be gone with the host's; the error is ours to ignore.
        x11::ErrorTrap trap(state->display);
        if (target && !state->destroyed)
            target->withdraw();
        trap.failed();
    }
    delete target;
}

}  // namespace VSTGUI
