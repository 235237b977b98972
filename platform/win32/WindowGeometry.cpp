#include "toolkit/platform/WindowGeometry.h"

#include <windows.h>

#include <cstring>

namespace VSTGUI {

namespace {

const int kClassNameCapacity = 1024;

HWND handle(WindowHandle window) { return static_cast<HWND>(window); }

}  // namespace

CRect windowScreenRect(WindowHandle window) {
    RECT rect;
    if (!window || !GetWindowRect(handle(window), &rect))
        return CRect();
    return CRect(rect.left, rect.top, rect.right, rect.bottom);
}

WindowHandle parentWindow(WindowHandle window) { return window ? GetParent(handle(window)) : nullptr; }

bool hasWindowClass(WindowHandle window, const char* className) {
    char name[kClassNameCapacity];
    if (!window || !className || GetClassNameA(handle(window), name, kClassNameCapacity) == 0)
        return false;
    return std::strcmp(name, className) == 0;
}

bool isDecoratedWindow(WindowHandle window) {
    return window && (GetWindowLongA(handle(window), GWL_STYLE) & WS_CAPTION) != 0;
}

void resizeWindow(WindowHandle window, int32_t width, int32_t height) {
    if (window)
        SetWindowPos(handle(window), nullptr, 0, 0, width, height, SWP_NOMOVE);
}

CPoint screenToClient(WindowHandle window, const CPoint& screenPoint) {
    POINT point = {screenPoint.x, screenPoint.y};
    MapWindowPoints(HWND_DESKTOP, handle(window), &point, 1);
    return CPoint(point.x, point.y);
}

// A host nests the editor in dialog windows, whose frame is the border.
int32_t nestedWindowBorder() { return GetSystemMetrics(SM_CYDLGFRAME); }

}  // namespace VSTGUI
