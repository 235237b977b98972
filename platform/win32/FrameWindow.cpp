#include "toolkit/platform/FrameWindow.h"

#include <windows.h>

#include <new>

#include "toolkit/views/CFrame.h"
#include "toolkit/drawing/CDrawContext.h"
#include "toolkit/platform/ModuleInstance.h"
#include "toolkit/platform/MouseButtons.h"
#include "platform/win32/DisplayScale.h"

namespace VSTGUI {

namespace {

constexpr DWORD kFrameWindowStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr double kWheelDeltaPerNotch = 120.0;
// The display scale changed: for a top-level window, and for its children.
constexpr UINT kDpiChanged = 0x02E0;
constexpr UINT kDpiChangedAfterParent = 0x02E3;

HINSTANCE moduleInstance() { return static_cast<HINSTANCE>(getModuleInstance()); }

CFrame* frameOfWindow(HWND window) { return reinterpret_cast<CFrame*>(GetWindowLongPtrA(window, GWLP_USERDATA)); }

LRESULT paint(HWND window, CFrame* frame, WPARAM wParam, LPARAM lParam) {
    RECT updateRect;
    if (!GetUpdateRect(window, &updateRect, FALSE))
        return DefWindowProcA(window, WM_PAINT, wParam, lParam);
    PAINTSTRUCT paintStruct;
    HDC paintDevice = BeginPaint(window, &paintStruct);
    // Without memory for a context the frame makes its own.
    CDrawContext* context = new (std::nothrow) CDrawContext(frame, window, paintDevice);
    const RECT& area = paintStruct.rcPaint;
    frame->drawRect(context, frame->deviceToLocal(CRect(area.left, area.top, area.right, area.bottom)));
    if (context)
        context->dropReference();
    EndPaint(window, &paintStruct);
    return 0;
}

// Returns when the view that was hit has tracked the mouse to its release.
LRESULT buttonDown(HWND window, CFrame* frame, LPARAM lParam) {
    CDrawContext context(frame, window, nullptr);
    CPoint where = frame->deviceToLocal(CPoint(LOWORD(lParam), HIWORD(lParam)));
    frame->onMouseDown(&context, where, -1);
    return 0;
}

LRESULT wheel(HWND window, CFrame* frame, WPARAM wParam, LPARAM lParam) {
    {
        CDrawContext context(frame, window, nullptr);
        // The message carries the pointer in screen coordinates, which are
        // negative on a monitor left of or above the primary one.
        CPoint where =
            context.screenToLocal(CPoint(static_cast<int16_t>(LOWORD(lParam)), static_cast<int16_t>(HIWORD(lParam))));
        const float distance = static_cast<float>(static_cast<int16_t>(HIWORD(wParam)) / kWheelDeltaPerNotch);
        frame->onWheel(&context, where, distance);
    }
    return DefWindowProcA(window, WM_MOUSEWHEEL, wParam, lParam);
}

LRESULT CALLBACK frameWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CFrame* frame = frameOfWindow(window);
    if (!frame)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_PAINT:
        return paint(window, frame, wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        return buttonDown(window, frame, lParam);
    case WM_MOUSEWHEEL:
        return wheel(window, frame, wParam, lParam);
    case kDpiChanged:
    case kDpiChangedAfterParent:
        frame->systemScaleChanged();
        return 0;
    case WM_DESTROY:
        // The host destroyed its window, and ours with it.
        frame->onWindowDestroyed();
        return DefWindowProcA(window, message, wParam, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

void openFrameWindowClass(const char* className) {
    WNDCLASSA windowClass = {};
    // No CS_DBLCLKS: a double click arrives as two presses.
    windowClass.style = CS_GLOBALCLASS;
    windowClass.lpfnWndProc = frameWindowProcedure;
    windowClass.hInstance = moduleInstance();
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = className;
    // A failure shows as a window that cannot be made.
    RegisterClassA(&windowClass);
    // Taken once: a later change of the setting is seen only after every
    // frame window is gone.
    setMouseButtonsSwapped(GetSystemMetrics(SM_SWAPBUTTON) > 0);
}

void closeFrameWindowClass(const char* className) { UnregisterClassA(className, moduleInstance()); }

WindowHandle createFrameWindow(WindowHandle parent, int32_t width, int32_t height, CFrame* frame) {
    PerMonitorAwareScope awareness;
    HWND window = CreateWindowExA(0, getFrameWindowClassName(), "Window", kFrameWindowStyle, 0, 0, width, height,
                                  static_cast<HWND>(parent), nullptr, moduleInstance(), nullptr);
    if (window)
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(frame));
    return window;
}

void destroyFrameWindow(WindowHandle window) {
    HWND handle = static_cast<HWND>(window);
    SetWindowLongPtrA(handle, GWLP_USERDATA, 0);
    DestroyWindow(handle);
}

void processPendingWindowEvents(WindowHandle) {}

int frameWindowEventDescriptor(WindowHandle) { return -1; }

}  // namespace VSTGUI
