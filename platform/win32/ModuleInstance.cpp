#include "toolkit/platform/ModuleInstance.h"

#include <windows.h>

namespace VSTGUI {

// Test programs link the resources into themselves.
ModuleHandle runningModule() { return static_cast<ModuleHandle>(GetModuleHandleA(nullptr)); }

}  // namespace VSTGUI
