#include "toolkit/platform/ModuleInstance.h"

namespace VSTGUI {

namespace {
ModuleHandle moduleInstance = nullptr;
// An address inside this module, unique to it, for when no entry stored one.
char moduleMarker = 0;
}  // namespace

void setModuleInstance(ModuleHandle instance) { moduleInstance = instance; }

ModuleHandle getModuleInstance() { return moduleInstance ? moduleInstance : static_cast<ModuleHandle>(&moduleMarker); }

}  // namespace VSTGUI
