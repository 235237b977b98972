#include "tests/win32/support/HostWindow.h"

namespace quavixtest {

namespace {

const char* const kHostClassName = "QuavixTestHost";

}  // namespace

void registerPlainClass(const char* name, HBRUSH background, HCURSOR cursor) {
    WNDCLASSA existing;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (GetClassInfoA(instance, name, &existing))
        return;
    WNDCLASSA plainClass = {};
    plainClass.lpfnWndProc = DefWindowProcA;
    plainClass.hInstance = instance;
    plainClass.hCursor = cursor;
    plainClass.hbrBackground = background;
    plainClass.lpszClassName = name;
    RegisterClassA(&plainClass);
}

HostWindow::HostWindow(int x, int y, int width, int height) {
    registerPlainClass(kHostClassName, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)),
                       LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));
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
