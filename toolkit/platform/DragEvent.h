// One step of a drag over the editor, handed to the frame the same way by
// every window system's drop target; only how a backend learns of the step
// and of the pointer differs.
#pragma once

#include "toolkit/geometry/CRect.h"

namespace VSTGUI {

class CDragContainer;
class CDrawContext;
class CFrame;

enum class DragEvent { enter, move, leave, drop };

// Calls the frame's handler for the step at where (frame coordinates), with
// the container held for the call: a view that pumps events could otherwise
// let the drag end, and the container go, under its feet.
void deliverDragEvent(CFrame* frame, CDrawContext* context, CDragContainer* container, DragEvent event,
                      const CPoint& where);

}  // namespace VSTGUI
