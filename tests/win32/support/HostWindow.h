// A top-level window standing in for a host's editor window: borderless, so
// its client area starts at its screen position, and visible, so that child
// windows paint and receive real input.
#pragma once

#include <windows.h>

namespace quavixtest {

// Registers a class of this program's with the default window procedure,
// unless it is registered already.
void registerPlainClass(const char* name, HBRUSH background, HCURSOR cursor = nullptr);

class HostWindow {
public:
    HostWindow(int x, int y, int width, int height);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND handle() const { return window; }
    // Destroys the window (and every child in it) now; the destructor then
    // has nothing left to do.
    void destroy();
    // A client point of this window in screen coordinates.
    POINT toScreen(int x, int y) const;

private:
    HWND window = nullptr;
};

}  // namespace quavixtest
