// The library-load notification: remember which module we are, for the
// bitmap loader and the editor's window class.
#include <windows.h>

#include "toolkit/platform/ModuleInstance.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
    VSTGUI::setModuleInstance(instance);
    // The runtime linked in sets aside its emergency exception pool (about
    // 70 KB) at load and never gives it back, so a host that scans, frees
    // and loads us again would lose that much each time: once loaded, we stay.
    if (reason == DLL_PROCESS_ATTACH) {
        HMODULE pinned = nullptr;
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                           reinterpret_cast<LPCSTR>(&DllMain), &pinned);
    }
    return TRUE;
}
