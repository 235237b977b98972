#include "tools/hosting/win32/GuiObjects.h"

#include <windows.h>

namespace {

// GDI handles are an index in the low word; a zero high word matches any
// generation of the entry in Wine's handle table.
const uint32_t kHandleIndices = 0x10000;

// Other programs on the desktop make windows whenever they like; only this
// process's windows are ours to count.
BOOL CALLBACK countWindow(HWND window, LPARAM counter) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId())
        ++*reinterpret_cast<uint32_t*>(counter);
    return TRUE;
}

// A leaked child window stays inside its parent, so descendants count too.
BOOL CALLBACK countWindowAndDescendants(HWND window, LPARAM counter) {
    countWindow(window, counter);
    EnumChildWindows(window, countWindow, counter);
    return TRUE;
}

// Wine's GetGuiResources is a stub that answers 0: there the live handles
// and this process's windows are counted one by one.
}  // namespace

uint32_t countGdiObjects() {
    DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (reported)
        return reported;
    uint32_t live = 0;
    for (uint32_t index = 1; index < kHandleIndices; ++index) {
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(index))))
            ++live;
    }
    return live;
}

uint32_t countUserObjects() {
    DWORD reported = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    if (reported)
        return reported;
    uint32_t live = 0;
    EnumWindows(countWindowAndDescendants, reinterpret_cast<LPARAM>(&live));
    return live;
}
