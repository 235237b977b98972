#include "tests/win32/support/NestedWindows.h"

#include "tests/win32/support/HostWindow.h"

namespace quavixtest {

namespace {

const char* const kPlainClassName = "QuavixTestPlainWindow";

}  // namespace

HWND makePlainWindow(HWND parent, int x, int y, int width, int height, DWORD extraStyle) {
    registerPlainClass(kPlainClassName, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
    const DWORD style = (parent ? WS_CHILD : WS_POPUP) | WS_VISIBLE | WS_CLIPCHILDREN | extraStyle;
    return CreateWindowExA(0, kPlainClassName, "Plain", style, x, y, width, height, parent, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

HWND makeMdiClient(HWND parent, int x, int y, int width, int height) {
    CLIENTCREATESTRUCT client = {nullptr, 1000};
    return CreateWindowExA(0, "MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, x, y, width, height,
                           parent, nullptr, GetModuleHandleA(nullptr), &client);
}

SIZE outerSize(HWND window) {
    const RECT rect = screenRect(window);
    SIZE size = {rect.right - rect.left, rect.bottom - rect.top};
    return size;
}

RECT screenRect(HWND window) {
    RECT rect = {0, 0, 0, 0};
    GetWindowRect(window, &rect);
    return rect;
}

}  // namespace quavixtest
