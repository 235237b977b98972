// The frame's child window: its class, registered once per process while
// any frame window exists, and the window procedure that turns paint,
// button presses, the wheel and destruction into calls on the frame.
#pragma once

#include <cstdint>

#include "toolkit/platform/PlatformTypes.h"

namespace VSTGUI {

class CFrame;

// Counts one more frame window; the first registers the class and takes the
// system's mouse-button swap setting. Always true.
bool registerFrameWindowClass();
// Counts one frame window less; the last unregisters the class.
void releaseFrameWindowClass();
// Frame windows currently counted (process-wide).
int32_t getFrameWindowClassUseCount();
// "Plugin" and the module instance in as many upper-case hexadecimal digits
// as a pointer has.
const char* getFrameWindowClassName();

// What each window system does when the first frame window comes and when
// the last one goes (Win32: the window class of that name), taking the
// system's mouse-button swap setting on the way in.
void openFrameWindowClass(const char* className);
void closeFrameWindowClass(const char* className);

// A visible child window of the class at (0, 0) inside parent, with the
// frame stored in its user data; null when the window cannot be made.
WindowHandle createFrameWindow(WindowHandle parent, int32_t width, int32_t height, CFrame* frame);
// Unhooks the frame first, so that the destruction messages reach the
// default procedure only.
void destroyFrameWindow(WindowHandle window);
// Reads and dispatches the window's pending events where the window system
// leaves that to the window's owner (X11: at the host's idle, and paints
// only while a control tracks the mouse in its own loop). Nothing on Win32,
// where the host's message loop dispatches to the window procedure.
void processPendingWindowEvents(WindowHandle window);
// The file descriptor that becomes readable when the window has events to
// read, for a host that watches descriptors instead of calling idle on a
// timer alone (X11: the window's own connection); -1 where the system's
// message loop delivers them.
int frameWindowEventDescriptor(WindowHandle window);

}  // namespace VSTGUI
