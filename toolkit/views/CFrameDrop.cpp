// The frame's registration as a drop target on its window.
#include "toolkit/views/CFrame.h"
#include "toolkit/platform/DropTargetRegistration.h"

namespace VSTGUI {

bool CFrame::setDropActive(bool active) {
    if (!dropActive && !active)
        return true;
    if (!window)
        return false;
    if (dropTarget) {
        revokeDropTarget(window, dropTarget);
        dropTarget = nullptr;
    }
    if (active)
        dropTarget = registerDropTarget(window, this);
    dropActive = active;
    return true;
}

}  // namespace VSTGUI
