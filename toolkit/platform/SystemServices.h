// Kernel, message-queue, drawing-library and OLE services used by the frame and the editor.
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

// The window system's optional drawing functions, held while a frame exists
// (Win32: msimg32's blends, loaded at run time). Null when there is nothing
// to hold; every non-null result is given back once.
ModuleHandle acquireDrawingFunctions();
void releaseDrawingFunctions(ModuleHandle library);

// OLE for the calling thread; every initialisation is paired with one
// uninitialisation.
void initializeOle();
void uninitializeOle();

}  // namespace VSTGUI
