#include "tests/win32/support/GuiObjectCounts.h"

#include <windows.h>

namespace quavixtest {

namespace {

// GDI handles are an index in the low word; a zero high word matches any
// generation of the entry in Wine's handle table.
constexpr uint32_t kHandleIndices = 0x10000;

// Other programs on the desktop (Wine's own included) make windows whenever
// they like; only this process's windows are ours to count.
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

}  // namespace

uint32_t countGdiObjects() {
    const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (reported)
        return reported;
    uint32_t live = 0;
    for (uint32_t index = 1; index < kHandleIndices; ++index)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(index))))
            ++live;
    return live;
}

::testing::AssertionResult gdiCountSeesObjects() {
    const uint32_t before = countGdiObjects();
    HPEN probes[3] = {CreatePen(PS_SOLID, 1, 0), CreatePen(PS_SOLID, 1, 1), CreatePen(PS_SOLID, 1, 2)};
    const uint32_t made = countGdiObjects();
    for (HPEN probe : probes)
        DeleteObject(probe);
    const uint32_t deleted = countGdiObjects();
    if (made != before + 3 || deleted != before)
        return ::testing::AssertionFailure() << "three pens made and deleted counted " << before << " -> " << made
                                             << " -> " << deleted;
    return ::testing::AssertionSuccess();
}

uint32_t countUserObjects() {
    const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    if (reported)
        return reported;
    uint32_t live = 0;
    EnumWindows(countWindowAndDescendants, reinterpret_cast<LPARAM>(&live));
    return live;
}

}  // namespace quavixtest
