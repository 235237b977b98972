#include "tools/hosting/EditorWindow.h"

#include <windows.h>

#include <cstdio>

#include "tools/hosting/vst/VstEditor.h"

namespace {

const char* const kClassName = "QuavixHostEditorWindow";
const UINT_PTR kIdleTimer = 1;
const UINT_PTR kCloseTimer = 2;

// As the hosts musicians use: per-monitor DPI aware, so that an editor sees
// the monitor's real DPI and draws at its scale instead of being stretched.
// Windows before 10 1703 lack the call, and a manifest may have decided
// already; either way the process stays as it is.
void becomePerMonitorAware() {
    using SetProcessAwareness = BOOL(WINAPI*)(HANDLE);
    const HANDLE perMonitorAwareV2 = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-4));
    FARPROC found = GetProcAddress(GetModuleHandleA("user32.dll"), "SetProcessDpiAwarenessContext");
    if (found)
        reinterpret_cast<SetProcessAwareness>(reinterpret_cast<void*>(found))(perMonitorAwareV2);
}

}  // namespace

// The Win32 side: the window, its class and procedure.
class EditorWindow::Native {
public:
    explicit Native(EditorWindow& owner) : owner(owner) {}

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static bool registerClass();
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    DWORD style() const;

    EditorWindow& owner;
    HWND window = nullptr;
    bool windowGoesFirst = false;
};

bool EditorWindow::available(std::string&) { return true; }

EditorWindow::EditorWindow(PluginEditor& editor, Kind kind) : editor(editor), kind(kind), native(new Native(*this)) {}

EditorWindow::EditorWindow(PluginHost& host, Kind kind)
    : ownEditor(new VstEditor(host)), editor(*ownEditor), kind(kind), native(new Native(*this)) {}

EditorWindow::~EditorWindow() { close(); }

bool EditorWindow::Native::registerClass() {
    static bool registered = false;
    if (registered)
        return true;
    becomePerMonitorAware();
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &Native::windowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    registered = RegisterClassExA(&windowClass) != 0;
    return registered;
}

DWORD EditorWindow::Native::style() const {
    DWORD base = owner.kind == Kind::Popup ? WS_POPUP : WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    return base | WS_CLIPCHILDREN;
}

bool EditorWindow::hasWindow() const { return native->window != nullptr; }

void* EditorWindow::parentHandle() const { return native->window; }

bool EditorWindow::hasChild() const { return GetWindow(native->window, GW_CHILD) != nullptr; }

void EditorWindow::startIdle() {
    ShowWindow(native->window, SW_SHOWNORMAL);
    UpdateWindow(native->window);
    SetTimer(native->window, kIdleTimer, kIdleMilliseconds, nullptr);
}

void EditorWindow::stopIdle() {
    if (native->window)
        KillTimer(native->window, kIdleTimer);
}

bool EditorWindow::createWindow(int width, int height, std::string& error) {
    HWND& window = native->window;
    const DWORD style = native->style();
    RECT frame = {0, 0, width, height};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    int x = kind == Kind::Popup ? 0 : CW_USEDEFAULT;
    int y = kind == Kind::Popup ? 0 : CW_USEDEFAULT;
    std::string title = this->title();
    if (Native::registerClass()) {
        window = CreateWindowExA(0, kClassName, title.c_str(), style, x, y, frame.right - frame.left,
                                 frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleA(nullptr), native.get());
    }
    if (!window) {
        error = "cannot create the editor's host window (error " + std::to_string(GetLastError()) +
                "); is there a display?";
        return false;
    }
    return true;
}

bool EditorWindow::resizeClient(int width, int height) {
    if (!hasWindow())
        return false;
    RECT frame = {0, 0, width, height};
    AdjustWindowRectEx(&frame, native->style(), FALSE, 0);
    return SetWindowPos(native->window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE) != 0;
}

void EditorWindow::pump(unsigned milliseconds) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds || !hasWindow())
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
    }
}

void EditorWindow::repaintAll() {
    RedrawWindow(native->window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

bool EditorWindow::childSize(int& width, int& height) const {
    const HWND child = hasWindow() ? GetWindow(native->window, GW_CHILD) : nullptr;
    RECT area;
    if (!child || !GetWindowRect(child, &area))
        return false;
    width = area.right - area.left;
    height = area.bottom - area.top;
    return true;
}

void EditorWindow::coverChildren() {
    if (!hasWindow())
        return;
    HBRUSH brush = CreateSolidBrush(RGB(255, 0, 255));
    for (HWND child = GetWindow(native->window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT area;
        GetClientRect(child, &area);
        HDC context = GetDC(child);
        FillRect(context, &area, brush);
        ReleaseDC(child, context);
    }
    DeleteObject(brush);
    GdiFlush();
}

void EditorWindow::sync() { GdiFlush(); }

bool EditorWindow::capture(int& width, int& height, std::vector<uint8_t>& rgb, std::string& error) const {
    const HWND window = native->window;
    RECT client;
    if (!window || !GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0) {
        error = "the editor window has no area to capture";
        return false;
    }
    width = client.right;
    height = client.bottom;
    HDC windowDc = GetDC(window);
    HDC memoryDc = CreateCompatibleDC(windowDc);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDc, width, height);
    HGDIOBJ previous = SelectObject(memoryDc, bitmap);
    BitBlt(memoryDc, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
    SelectObject(memoryDc, previous);

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<uint8_t> bgra(static_cast<size_t>(width) * height * 4);
    int rows = GetDIBits(memoryDc, bitmap, 0, height, bgra.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memoryDc);
    ReleaseDC(window, windowDc);
    if (rows != height) {
        error = "cannot read the editor window's pixels";
        return false;
    }
    rgb.resize(static_cast<size_t>(width) * height * 3);
    for (size_t pixel = 0; pixel < static_cast<size_t>(width) * height; ++pixel) {
        rgb[pixel * 3] = bgra[pixel * 4 + 2];
        rgb[pixel * 3 + 1] = bgra[pixel * 4 + 1];
        rgb[pixel * 3 + 2] = bgra[pixel * 4];
    }
    return true;
}

void EditorWindow::runUntilClosed(double closeAfterSeconds) {
    if (!hasWindow())
        return;
    if (closeAfterSeconds > 0.0)
        SetTimer(native->window, kCloseTimer, static_cast<UINT>(closeAfterSeconds * 1000.0), nullptr);
    MSG message;
    while (hasWindow() && GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void EditorWindow::dropWindow() {
    native->windowGoesFirst = true;
    KillTimer(native->window, kIdleTimer);
    DestroyWindow(native->window);
    native->window = nullptr;
    native->windowGoesFirst = false;
}

void EditorWindow::destroyWindow() {
    if (native->window)
        DestroyWindow(native->window);
    native->window = nullptr;
}

LRESULT CALLBACK EditorWindow::Native::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        CREATESTRUCTA* creation = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    Native* self = reinterpret_cast<Native*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self || self->window != window)
        return DefWindowProcA(window, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT EditorWindow::Native::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam == kIdleTimer && owner.editorOpen)
            owner.editor.idle();
        if (wParam == kCloseTimer)
            PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    case WM_CLOSE:
        owner.close();
        return 0;
    case WM_DESTROY:
        if (!windowGoesFirst)
            owner.closeEditor();
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        window = nullptr;
        if (owner.kind == Kind::Captioned)
            PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
