// Plain windows nested the way hosts nest their editor windows, for tests
// of the frame's geometry: each is a child of the previous one, or a
// top-level window, with the style the test gives.
#pragma once

#include <windows.h>

namespace quavixtest {

// A window of a plain class; a child when parent is given. Visible.
HWND makePlainWindow(HWND parent, int x, int y, int width, int height, DWORD extraStyle = 0);
// The system's MDI client window inside parent, filling the given rectangle.
HWND makeMdiClient(HWND parent, int x, int y, int width, int height);

// The window's outer size, as GetWindowRect measures it.
SIZE outerSize(HWND window);
// The window's outer rectangle in screen coordinates.
RECT screenRect(HWND window);

}  // namespace quavixtest
