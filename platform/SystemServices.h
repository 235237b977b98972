// Kernel, message-queue and OLE services used by the frame and the editor.
#pragma once

#include <cstdint>

namespace VSTGUI {

// Milliseconds since the system started (wraps after about 49 days).
uint32_t tickCount();
void sleepMilliseconds(uint32_t milliseconds);

// Removes one pending paint message of any window of the calling thread and
// dispatches it; false when none was pending.
bool dispatchOnePendingPaint();

// OLE for the calling thread; every initialisation is paired with one
// uninitialisation.
void initializeOle();
void uninitializeOle();

}  // namespace VSTGUI
