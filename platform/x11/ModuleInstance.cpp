#include "toolkit/platform/ModuleInstance.h"

namespace VSTGUI {

// An address inside this module, unique to it.
ModuleHandle runningModule() {
    static char moduleMarker = 0;
    return &moduleMarker;
}

}  // namespace VSTGUI
