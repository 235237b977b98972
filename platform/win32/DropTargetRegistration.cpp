#include "toolkit/platform/DropTargetRegistration.h"

#include <new>

#include "platform/win32/CDropTarget.h"

namespace VSTGUI {

CDropTarget* registerDropTarget(WindowHandle window, CFrame* frame) {
    if (!window)
        return nullptr;
    CDropTarget* target = new (std::nothrow) CDropTarget(frame);
    if (!target)
        return nullptr;
    if (FAILED(RegisterDragDrop(static_cast<HWND>(window), target))) {
        // OLE took no reference: one round trip of our own frees it.
        target->AddRef();
        target->Release();
        return nullptr;
    }
    return target;
}

void revokeDropTarget(WindowHandle window, CDropTarget* target) {
    if (target)
        target->forgetFrame();
    if (window)
        RevokeDragDrop(static_cast<HWND>(window));
}

}  // namespace VSTGUI
