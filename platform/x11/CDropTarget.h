// The XDND (version 5) drop target on a frame's window: turns the source's
// client messages into the frame's drag events, each with its own drawing
// context and the pointer in frame coordinates, as the OLE drop target does
// on Windows. The data is asked for at the first position message, and the
// drag enters the frame when it has arrived, so that the container already
// knows its items (one text, or one path per file).
#pragma once

#include "toolkit/platform/DragEvent.h"

#include "platform/x11/WindowLibraries.h"

#include <cstdint>
#include <string>
#include <vector>

namespace VSTGUI {

class CDragContainer;
class CFrame;

namespace x11 {
struct FrameWindowState;
}

class CDropTarget {
public:
    CDropTarget(CFrame* frame, x11::FrameWindowState* window);
    ~CDropTarget();
    CDropTarget(const CDropTarget&) = delete;
    CDropTarget& operator=(const CDropTarget&) = delete;

    // XdndAware on the window, and its removal.
    void advertise();
    void withdraw();
    // A ClientMessage or SelectionNotify on the frame's window.
    void handleEvent(const XEvent& event);
    // The frame is being revoked or destroyed: a drag in progress must then
    // reach nothing.
    void forgetFrame() { frame = nullptr; }

    // The drag over any editor window of the process, or null between drags.
    static CDragContainer* getCurrentDragContainer();
    // Targets alive in the process; lets tests see that revoking frees them.
    static int32_t getLiveCount();

private:
    struct Atoms;

    void enter(const XClientMessageEvent& message);
    void position(const XClientMessageEvent& message);
    void leave();
    void drop(const XClientMessageEvent& message);
    void dataArrived(const XSelectionEvent& selection);
    void requestData(Time time);
    void sendStatus(bool accept);
    void sendFinished(bool accepted);
    void finishDrop();
    void deliver(DragEvent event);
    void reset();
    void sendToSource(Atom type, long data1, long data2, long data3, long data4);
    Atom chooseType(const std::vector<Atom>& offered) const;

    CFrame* frame;
    x11::FrameWindowState* window;
    Atoms* atoms;
    // The drag now over this window, from XdndEnter to XdndLeave or the drop.
    Window source = 0;
    Atom dataType = None;
    bool dataRequested = false;
    bool dataArrivedFlag = false;
    bool entered = false;
    bool statusOwed = false;
    bool dropPending = false;
    int32_t rootX = 0;
    int32_t rootY = 0;
};

}  // namespace VSTGUI
