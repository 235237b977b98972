// The window-system queries and moves behind the frame's resizing and its
// position and size reports, in the toolkit's own types.
#pragma once

#include <cstdint>

#include "toolkit/geometry/CRect.h"
#include "toolkit/platform/PlatformTypes.h"

namespace VSTGUI {

// The window's outer rectangle in screen coordinates; empty at the origin
// when the window is null or gone.
CRect windowScreenRect(WindowHandle window);
// Null for a window without parent (and for null).
WindowHandle parentWindow(WindowHandle window);
// Exact, case-sensitive comparison with the window's class name.
bool hasWindowClass(WindowHandle window, const char* className);
// True for a window the window system decorates itself, as the user's
// handle for moving it (Win32: one with a caption): the editor's own windows
// end there.
bool isDecoratedWindow(WindowHandle window);
// Resizes without moving; nothing for a null window.
void resizeWindow(WindowHandle window, int32_t width, int32_t height);
// A screen point in the client coordinates of the window (or unchanged for
// null, the desktop).
CPoint screenToClient(WindowHandle window, const CPoint& screenPoint);

// The display scale the system asks for where the window is (1 at 96 dots
// per inch); 0 where it says nothing. Null asks about the main display.
double systemScaleFactor(WindowHandle window);

// The border on each side of a bordered window that a host nests the
// editor's window in; 0 where windows nest without borders of their own,
// and the frame then resizes only its own window.
int32_t nestedWindowBorder();

}  // namespace VSTGUI
