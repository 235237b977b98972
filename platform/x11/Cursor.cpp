#include "toolkit/platform/Cursor.h"

#include <X11/Xlib.h>
#include <X11/cursorfont.h>

#include "platform/x11/X11Windows.h"
#include "platform/x11/WindowLibraries.h"

namespace VSTGUI {

namespace {

struct CursorForType {
    int32_t type;
    unsigned int shape;
};

// Type 7 and every unlisted type mean "the default cursor", which the
// caller restores itself. The cursor font has no diagonal double arrows:
// the corner arrows stand for them, as most X toolkits do.
constexpr CursorForType kFontCursors[] = {
    {1, XC_watch},
    {2, XC_sb_h_double_arrow},
    {3, XC_sb_v_double_arrow},
    {4, XC_fleur},
    {5, XC_bottom_left_corner},
    {6, XC_bottom_right_corner},
    {8, XC_X_cursor},
    {9, XC_hand2},
};

void defineCursor(x11::FrameWindowState* state, Cursor cursor) {
    if (state->destroyed)
        return;
    state->cursor = cursor;
    if (cursor)
        XDefineCursor(state->display, state->window, cursor);
    else
        XUndefineCursor(state->display, state->window);
    XFlush(state->display);
}

}  // namespace

CPoint getCursorScreenPosition() {
    x11::FrameWindowState* state = x11::activeFrameWindow();
    if (!state)
        return CPoint(0, 0);
    Window root = None, child = None;
    int rootX = 0, rootY = 0, windowX = 0, windowY = 0;
    unsigned int mask = 0;
    XQueryPointer(state->display, DefaultRootWindow(state->display), &root, &child, &rootX, &rootY, &windowX, &windowY,
                  &mask);
    return CPoint(rootX, rootY);
}

// None, the parent's cursor, is the default a frame window starts with.
// The cursor belongs to the window whose mouse event is being handled;
// outside one (a frame being closed) there is nothing to change.
CursorHandle getCurrentCursor() {
    x11::FrameWindowState* state = x11::dispatchingFrameWindow();
    return state ? x11::toHandle(state->cursor) : nullptr;
}

void setCurrentCursor(CursorHandle cursor) {
    if (x11::FrameWindowState* state = x11::dispatchingFrameWindow())
        defineCursor(state, x11::toWindow(cursor));
}

bool setSystemCursorForType(int32_t type) {
    for (const CursorForType& entry : kFontCursors) {
        if (entry.type != type)
            continue;
        x11::FrameWindowState* state = x11::dispatchingFrameWindow();
        if (!state)
            return true;
        Cursor& cursor = state->typeCursors[type];
        if (!cursor)
            cursor = XCreateFontCursor(state->display, entry.shape);
        defineCursor(state, cursor);
        return true;
    }
    return false;
}

}  // namespace VSTGUI
