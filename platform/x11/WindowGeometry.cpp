#include "toolkit/platform/WindowGeometry.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstring>

#include "platform/x11/X11Windows.h"
#include "platform/x11/WindowLibraries.h"

namespace VSTGUI {

namespace {

Window rootOf(Display* display) { return DefaultRootWindow(display); }

}  // namespace

CRect windowScreenRect(WindowHandle window) {
    const Window xid = x11::toWindow(window);
    Display* display = x11::displayFor(xid);
    if (!xid || !display)
        return CRect();
    x11::FrameWindowState* state = x11::findFrameWindow(xid);
    if (state && state->destroyed)
        return CRect();
    x11::ErrorTrap trap(display);
    XWindowAttributes attributes = {};
    int x = 0, y = 0;
    Window child = None;
    const bool known = XGetWindowAttributes(display, xid, &attributes) != 0 &&
                       XTranslateCoordinates(display, xid, rootOf(display), 0, 0, &x, &y, &child) != 0;
    if (trap.failed() || !known)
        return CRect();
    return CRect(x, y, x + attributes.width, y + attributes.height);
}

WindowHandle parentWindow(WindowHandle window) {
    const Window xid = x11::toWindow(window);
    Display* display = x11::displayFor(xid);
    if (!xid || !display)
        return nullptr;
    if (x11::FrameWindowState* state = x11::findFrameWindow(xid))
        return state->destroyed ? nullptr : x11::toHandle(state->parent);
    x11::ErrorTrap trap(display);
    Window root = None, parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    const bool found = XQueryTree(display, xid, &root, &parent, &children, &count) != 0;
    if (children)
        XFree(children);
    // A top-level window has the root for parent, which Windows calls none.
    if (trap.failed() || !found || parent == root)
        return nullptr;
    return x11::toHandle(parent);
}

bool hasWindowClass(WindowHandle window, const char* className) {
    const Window xid = x11::toWindow(window);
    Display* display = x11::displayFor(xid);
    if (!xid || !display || !className)
        return false;
    x11::ErrorTrap trap(display);
    XClassHint hint = {};
    bool matches = false;
    if (XGetClassHint(display, xid, &hint)) {
        matches = hint.res_class && std::strcmp(hint.res_class, className) == 0;
        if (hint.res_name)
            XFree(hint.res_name);
        if (hint.res_class)
            XFree(hint.res_class);
    }
    return !trap.failed() && matches;
}

// Decorations belong to the window manager's frames, which are not the
// host's windows: none of the windows we can see has one.
bool isDecoratedWindow(WindowHandle) { return false; }

void resizeWindow(WindowHandle window, int32_t width, int32_t height) {
    const Window xid = x11::toWindow(window);
    Display* display = x11::displayFor(xid);
    if (!xid || !display || width <= 0 || height <= 0)
        return;
    x11::FrameWindowState* state = x11::findFrameWindow(xid);
    if (state) {
        if (state->destroyed)
            return;
        state->width = width;
        state->height = height;
    }
    x11::ErrorTrap trap(display);
    if (state)
        x11::setFixedSizeHints(display, xid, width, height);
    XResizeWindow(display, xid, unsigned(width), unsigned(height));
    trap.failed();
}

CPoint screenToClient(WindowHandle window, const CPoint& screenPoint) {
    const Window xid = x11::toWindow(window);
    Display* display = x11::displayFor(xid);
    if (!xid || !display)
        return screenPoint;
    x11::ErrorTrap trap(display);
    int x = screenPoint.x, y = screenPoint.y;
    Window child = None;
    const bool translated =
        XTranslateCoordinates(display, rootOf(display), xid, screenPoint.x, screenPoint.y, &x, &y, &child) != 0;
    if (trap.failed() || !translated)
        return screenPoint;
    return CPoint(x, y);
}

// X windows have no borders of their own: the frame resizes only its own
// window, never the host's around it.
int32_t nestedWindowBorder() { return 0; }

}  // namespace VSTGUI
