// What the X11 backend keeps per frame window, shared by its files only: the
// frame window's own connection to the X server, the window, its size, the
// frame it belongs to and the drag arriving over it. Nothing outside
// platform/x11 includes this header, so the toolkit never meets an X type.
#pragma once

#include "platform/x11/WindowLibraries.h"

#include <cstdint>

#include "toolkit/platform/PlatformTypes.h"

namespace VSTGUI {

class CDropTarget;
class CFrame;

namespace x11 {

// A WindowHandle carries a window's XID, as the host's parent does.
inline Window toWindow(WindowHandle handle) { return static_cast<Window>(reinterpret_cast<uintptr_t>(handle)); }
inline WindowHandle toHandle(Window window) { return reinterpret_cast<WindowHandle>(static_cast<uintptr_t>(window)); }

// The cursor types the frame asks for, 1 to 9, each made once per window.
constexpr int kCursorTypes = 10;

struct FrameWindowState {
    Display* display = nullptr;  // opened for this window alone, closed with it
    Window window = 0;
    Window parent = 0;
    CFrame* frame = nullptr;  // null once the frame is unhooked
    Visual* visual = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    // Event dispatch on the stack for this window: above 0 a control is
    // tracking the mouse in its own loop, and only paints may be dispatched.
    int32_t dispatchDepth = 0;
    bool destroyed = false;  // the window went with the host's
    Cursor cursor = None;    // what XDefineCursor last gave the window
    Cursor typeCursors[kCursorTypes] = {};
    CDropTarget* dropTarget = nullptr;
    // Exposed area gathered until the last Expose of a series.
    int32_t exposeLeft = 0, exposeTop = 0, exposeRight = 0, exposeBottom = 0;
    bool exposePending = false;
    // The root window's property that holds the desktop's resources
    // (Xft.dpi among them), watched for changes of the display's scale.
    Atom resourceManager = None;
};

// Tells a host that sizes its window from ours (an LV2 host embedding the
// panel) the one size the window has.
void setFixedSizeHints(Display* display, Window window, int32_t width, int32_t height);

// The frame windows of the process. Each lives from createFrameWindow to
// destroyFrameWindow (or to the idle that finds it destroyed).
void registerFrameWindow(FrameWindowState* state);
void unregisterFrameWindow(FrameWindowState* state);
FrameWindowState* findFrameWindow(Window window);
// The window whose events this thread is dispatching, else the newest frame
// window of the process; null when there is none. Queries that name no window
// (the pointer, the modifier keys) go through its connection.
FrameWindowState* activeFrameWindow();
// Only the window whose events this thread is dispatching, else null: what
// changes a window (its cursor) must not reach another editor's.
FrameWindowState* dispatchingFrameWindow();
// The connection for a query about any window: the frame window's own when
// the window is one, else the active one's (the same server shows them all).
Display* displayFor(Window window);

// Marks the thread's frame window as the active one while it dispatches.
class ActiveWindowScope {
public:
    explicit ActiveWindowScope(FrameWindowState* state);
    ~ActiveWindowScope();
    ActiveWindowScope(const ActiveWindowScope&) = delete;
    ActiveWindowScope& operator=(const ActiveWindowScope&) = delete;

private:
    FrameWindowState* previous;
};

// X errors on our connections (a window the host destroyed under us) are
// counted and ignored; those on every other connection go to the handler
// that was there before ours. Installed with the first frame window and put
// back with the last, unless someone installed another meanwhile.
void installErrorHandler();
void restoreErrorHandler();

// Waits for the server to answer everything sent on the connection and tells
// whether any of it failed since the trap began. When the server is known to
// have answered every request already, nothing is sent: an idle editor that
// drew nothing costs no round trip.
class ErrorTrap {
public:
    explicit ErrorTrap(Display* display);
    bool failed();

private:
    Display* display;
    unsigned long firstRequest;
};

}  // namespace x11
}  // namespace VSTGUI
