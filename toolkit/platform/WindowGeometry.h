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
// True when the window's style has a caption or any part of one.
bool hasCaption(WindowHandle window);
// Resizes without moving; nothing for a null window.
void resizeWindow(WindowHandle window, int32_t width, int32_t height);
// A screen point in the client coordinates of the window (or unchanged for
// null, the desktop).
CPoint screenToClient(WindowHandle window, const CPoint& screenPoint);

// The height of a dialog window's frame border as the system reports it.
int32_t dialogFrameHeight();
// Tests replace the system's answer to reproduce other systems; a negative
// height gives the system's answer back.
void overrideDialogFrameHeight(int32_t height);

}  // namespace VSTGUI
