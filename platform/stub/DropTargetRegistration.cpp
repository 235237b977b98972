// Nothing is ever dragged onto a stub window: registering only records that
// the frame asked, so that tests see it ask and revoke.
#include "toolkit/platform/DropTargetRegistration.h"

#include "platform/stub/StubWindows.h"

namespace VSTGUI {

class CDropTarget {
public:
    explicit CDropTarget(CFrame* frame) : frame(frame) {}
    CFrame* frame;
};

CDropTarget* registerDropTarget(WindowHandle window, CFrame* frame) {
    stub::Window* record = stub::windowOf(window);
    if (!record || record->dropTarget)
        return nullptr;
    record->dropTarget = new CDropTarget(frame);
    return record->dropTarget;
}

void revokeDropTarget(WindowHandle window, CDropTarget* target) {
    stub::Window* record = stub::windowOf(window);
    if (record && record->dropTarget == target)
        record->dropTarget = nullptr;
    delete target;
}

}  // namespace VSTGUI
