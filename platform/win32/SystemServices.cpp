#include "toolkit/platform/SystemServices.h"

#include <windows.h>
#include <ole2.h>

#include "toolkit/drawing/ImageFunctions.h"

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

ModuleHandle acquireDrawingFunctions() { return loadImageFunctions(); }

void releaseDrawingFunctions(ModuleHandle library) { freeImageFunctions(library); }

// A nested initialisation answers S_FALSE and still wants its own
// uninitialisation, so the result is not examined.
void initializeOle() { OleInitialize(nullptr); }

void uninitializeOle() { OleUninitialize(); }

}  // namespace VSTGUI
