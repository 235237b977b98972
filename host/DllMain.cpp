// The library-load notification: remember which module we are, for the
// bitmap loader and the editor's window class.
#include <windows.h>

#include "platform/ModuleInstance.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD /*reason*/, LPVOID /*reserved*/) {
    VSTGUI::setModuleInstance(instance);
    return TRUE;
}
