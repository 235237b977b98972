// The stored module handle, the same on every window system; each system
// names the module to fall back on.
#include "toolkit/platform/ModuleInstance.h"

namespace VSTGUI {

namespace {
ModuleHandle moduleInstance = nullptr;
}  // namespace

void setModuleInstance(ModuleHandle instance) { moduleInstance = instance; }

ModuleHandle getModuleInstance() { return moduleInstance ? moduleInstance : runningModule(); }

}  // namespace VSTGUI
