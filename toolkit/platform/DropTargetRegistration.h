// Registering a frame's window as an OLE drop target, without bringing the
// platform's headers into the toolkit.
#pragma once

#include "toolkit/platform/PlatformTypes.h"

namespace VSTGUI {

class CDropTarget;
class CFrame;

// A new target bound to the frame, registered for the window; OLE holds the
// only reference. Null when the window cannot be registered.
CDropTarget* registerDropTarget(WindowHandle window, CFrame* frame);

// Unbinds the target from its frame and revokes the window's registration,
// which releases OLE's reference and so destroys the target.
void revokeDropTarget(WindowHandle window, CDropTarget* target);

}  // namespace VSTGUI
