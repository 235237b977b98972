#include "toolkit/platform/SystemServices.h"

#include <windows.h>
#include <ole2.h>

#include "platform/win32/ImageFunctions.h"

namespace VSTGUI {

uint32_t tickCount() { return GetTickCount(); }

void sleepMilliseconds(uint32_t milliseconds) { Sleep(milliseconds); }

bool dispatchOnePendingPaint() {
    MSG message;
    if (!PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
        return false;
    DispatchMessageA(&message);
    return true;
}

// A nested OLE initialisation answers S_FALSE and still wants its own
// uninitialisation, so the result is not examined. A frame also holds
// msimg32's blends while it exists.
ThreadResources acquireThreadResources(SystemUser user) {
    OleInitialize(nullptr);
    return user == SystemUser::frame ? loadImageFunctions() : nullptr;
}

void releaseThreadResources(SystemUser, ThreadResources resources) {
    OleUninitialize();
    if (resources)
        freeImageFunctions(resources);
}

}  // namespace VSTGUI
