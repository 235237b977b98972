// Kernel and message-queue services used by the frame and the editor, and
// what the window system keeps for them while they exist.
#pragma once

#include <cstdint>

#include "toolkit/platform/PlatformTypes.h"

namespace VSTGUI {

// Milliseconds since the system started (wraps after about 49 days).
uint32_t tickCount();
void sleepMilliseconds(uint32_t milliseconds);

// Removes one pending paint message of any window of the calling thread and
// dispatches it; false when none was pending.
bool dispatchOnePendingPaint();

// Whatever the window system keeps on the calling thread while an editor or
// a frame exists (Win32: OLE for the drop target, and for a frame also the
// optional drawing functions). The result, null where nothing is kept, is
// given back once, by the same user.
enum class SystemUser { editor, frame };
ThreadResources acquireThreadResources(SystemUser user);
void releaseThreadResources(SystemUser user, ThreadResources resources);

}  // namespace VSTGUI
