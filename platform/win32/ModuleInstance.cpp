#include "toolkit/platform/ModuleInstance.h"

#include <windows.h>

namespace VSTGUI {

namespace {
ModuleHandle moduleInstance = nullptr;
}

void setModuleInstance(ModuleHandle instance) { moduleInstance = instance; }

ModuleHandle getModuleInstance() {
    return moduleInstance ? moduleInstance : static_cast<ModuleHandle>(GetModuleHandleA(nullptr));
}

}  // namespace VSTGUI
