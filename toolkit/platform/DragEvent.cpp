#include "toolkit/platform/DragEvent.h"

#include "toolkit/views/CFrame.h"
#include "toolkit/platform/CDragContainer.h"

namespace VSTGUI {

void deliverDragEvent(CFrame* frame, CDrawContext* context, CDragContainer* container, DragEvent event,
                      const CPoint& where) {
    container->addReference();
    switch (event) {
    case DragEvent::enter:
        frame->onDragEnter(context, container, where);
        break;
    case DragEvent::move:
        frame->onDragMove(context, container, where);
        break;
    case DragEvent::leave:
        frame->onDragLeave(context, container, where);
        break;
    case DragEvent::drop:
        frame->onDrop(context, container, where);
        break;
    }
    container->dropReference();
}

}  // namespace VSTGUI
