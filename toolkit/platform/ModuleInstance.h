// The plug-in module's own instance handle, stored when the library loads.
// Bitmaps load from it and the frame's window class is registered with it.
#pragma once

#include "toolkit/platform/PlatformTypes.h"

namespace VSTGUI {

void setModuleInstance(ModuleHandle instance);
// The stored handle, or the running program's own module when no library
// stored one (test programs link the resources into themselves).
ModuleHandle getModuleInstance();
// Each window system's: the module to stand for ours when none was stored,
// unique to it.
ModuleHandle runningModule();

}  // namespace VSTGUI
