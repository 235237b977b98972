// Windows are rectangles on one screen with no borders of their own: a
// window's client area is its whole rectangle.
#include "toolkit/platform/WindowGeometry.h"

#include "platform/stub/StubWindows.h"

namespace VSTGUI {

CRect windowScreenRect(WindowHandle window) {
    const stub::Window* record = stub::windowOf(window);
    return record ? record->screenRect : CRect();
}

WindowHandle parentWindow(WindowHandle window) {
    const stub::Window* record = stub::windowOf(window);
    return record ? stub::handleOf(record->parent) : nullptr;
}

bool hasWindowClass(WindowHandle window, const char* className) {
    const stub::Window* record = stub::windowOf(window);
    return record && className && record->className == className;
}

bool isDecoratedWindow(WindowHandle window) {
    const stub::Window* record = stub::windowOf(window);
    return record && record->caption;
}

void resizeWindow(WindowHandle window, int32_t width, int32_t height) {
    stub::Window* record = stub::windowOf(window);
    if (!record)
        return;
    record->screenRect.right = record->screenRect.left + width;
    record->screenRect.bottom = record->screenRect.top + height;
    record->canvas.resize(width, height);
}

CPoint screenToClient(WindowHandle window, const CPoint& screenPoint) {
    const stub::Window* record = stub::windowOf(window);
    if (!record)
        return screenPoint;
    return CPoint(screenPoint.x - record->screenRect.left, screenPoint.y - record->screenRect.top);
}

double systemScaleFactor(WindowHandle /*window*/) { return stub::systemScale(); }

// Windows nest without borders of their own.
int32_t nestedWindowBorder() { return 0; }

}  // namespace VSTGUI
