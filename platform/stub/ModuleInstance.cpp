#include "toolkit/platform/ModuleInstance.h"

namespace VSTGUI {

// The stub's own address stands for the module of a test program.
ModuleHandle runningModule() {
    static const char marker = 0;
    return const_cast<char*>(&marker);
}

}  // namespace VSTGUI
