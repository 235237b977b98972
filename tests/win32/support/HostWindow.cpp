#include "tests/win32/support/HostWindow.h"

namespace quavixtest {

namespace {

const char* const kHostClassName = "QuavixTestHost";

void registerHostClass() {
    WNDCLASSA existing;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (GetClassInfoA(instance, kHostClassName, &existing))
        return;
    WNDCLASSA hostClass = {};
    hostClass.lpfnWndProc = DefWindowProcA;
    hostClass.hInstance = instance;
    hostClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    hostClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    hostClass.lpszClassName = kHostClassName;
    RegisterClassA(&hostClass);
}

}  // namespace

HostWindow::HostWindow(int x, int y, int width, int height) {
    registerHostClass();
    window = CreateWindowExA(0, kHostClassName, "Host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, x, y,
                             width, height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    UpdateWindow(window);
}

HostWindow::~HostWindow() { destroy(); }

void HostWindow::destroy() {
    if (window && IsWindow(window))
        DestroyWindow(window);
    window = nullptr;
}

POINT HostWindow::toScreen(int x, int y) const {
    POINT point = {x, y};
    ClientToScreen(window, &point);
    return point;
}

}  // namespace quavixtest
