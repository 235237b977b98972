// The frame window class's use count and name, the same on every window
// system; each system only opens and closes the class itself.
#include "toolkit/platform/FrameWindow.h"

#include <cstdio>

#include "toolkit/platform/ModuleInstance.h"

namespace VSTGUI {

namespace {

// Shared by every frame of every plug-in instance in the process; touched
// only on the user-interface thread.
int32_t classUseCount = 0;
char className[32] = "";

// The handle in as many upper-case hexadecimal digits as a pointer has: eight
// on 32-bit Windows, sixteen on 64-bit, where a DLL loads above 4 GB and two
// modules could otherwise share a name.
void formatClassName() {
    std::snprintf(className, sizeof(className), "Plugin%0*llX", static_cast<int>(2 * sizeof(void*)),
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(getModuleInstance())));
}

}  // namespace

bool registerFrameWindowClass() {
    if (++classUseCount != 1)
        return true;
    formatClassName();
    openFrameWindowClass(className);
    return true;
}

void releaseFrameWindowClass() {
    if (classUseCount <= 0)
        return;
    if (classUseCount-- == 1)
        closeFrameWindowClass(className);
}

int32_t getFrameWindowClassUseCount() { return classUseCount; }

const char* getFrameWindowClassName() { return className; }

}  // namespace VSTGUI
