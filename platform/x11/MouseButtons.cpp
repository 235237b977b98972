#include "toolkit/platform/MouseButtons.h"

#include <X11/Xlib.h>

#include "toolkit/drawing/CColor.h"
#include "platform/x11/X11Windows.h"
#include "platform/x11/WindowLibraries.h"

namespace VSTGUI {

// The live state, asked of the server on the editor's own connection: a
// control's tracking loop sees the release even though the release event
// itself waits in the queue.
PhysicalInputState readPhysicalInputState() {
    PhysicalInputState input;
    x11::FrameWindowState* state = x11::activeFrameWindow();
    if (!state)
        return input;
    Window root = None, child = None;
    int rootX = 0, rootY = 0, windowX = 0, windowY = 0;
    unsigned int mask = 0;
    if (!XQueryPointer(state->display, DefaultRootWindow(state->display), &root, &child, &rootX, &rootY, &windowX,
                       &windowY, &mask))
        return input;
    input.leftButton = (mask & Button1Mask) != 0;
    input.middleButton = (mask & Button2Mask) != 0;
    input.rightButton = (mask & Button3Mask) != 0;
    input.shift = (mask & ShiftMask) != 0;
    input.control = (mask & ControlMask) != 0;
    input.alt = (mask & Mod1Mask) != 0;
    return input;
}

}  // namespace VSTGUI
