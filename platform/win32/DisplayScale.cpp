// The display scale on Windows: the DPI of the monitor a window is on where
// the system tells it per window (Windows 10 1607 on), else the screen's.
// The functions are looked up, so the module still loads on older systems.
#include "platform/win32/DisplayScale.h"

#include "toolkit/platform/WindowGeometry.h"

namespace VSTGUI {

namespace {

constexpr double kBaseDpi = 96.0;
// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
const HANDLE kPerMonitorAwareV2 = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-4));

using DpiForWindow = UINT(WINAPI*)(HWND);
using SetThreadAwareness = HANDLE(WINAPI*)(HANDLE);

template <typename Function>
Function userFunction(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

SetThreadAwareness setThreadAwareness() {
    static const SetThreadAwareness function = userFunction<SetThreadAwareness>("SetThreadDpiAwarenessContext");
    return function;
}

}  // namespace

double systemScaleFactor(WindowHandle window) {
    static const DpiForWindow dpiForWindow = userFunction<DpiForWindow>("GetDpiForWindow");
    UINT dpi = 0;
    if (window && dpiForWindow)
        dpi = dpiForWindow(static_cast<HWND>(window));
    if (dpi == 0) {
        HDC screen = GetDC(nullptr);
        dpi = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSX));
        ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? dpi / kBaseDpi : 0.0;
}

PerMonitorAwareScope::PerMonitorAwareScope() {
    if (SetThreadAwareness set = setThreadAwareness())
        previous = set(kPerMonitorAwareV2);
}

PerMonitorAwareScope::~PerMonitorAwareScope() {
    SetThreadAwareness set = setThreadAwareness();
    if (set && previous)
        set(previous);
}

}  // namespace VSTGUI
