#include "tools/hosting/EditorWindow.h"

#include <windows.h>

#include <cstdio>

namespace {

const char* const kClassName = "QuavixHostEditorWindow";
const UINT_PTR kIdleTimer = 1;
const UINT_PTR kCloseTimer = 2;
// Until a plug-in that reports no size before opening tells us better.
const int kFallbackWidth = 320;
const int kFallbackHeight = 240;
const DWORD kSettlePasses = 3;
const DWORD kSettleMilliseconds = 30;

}  // namespace

// The Win32 side: the window, its class and procedure, and the editor in it.
class EditorWindow::Native {
public:
    Native(PluginHost& host, Kind kind) : host(host), kind(kind) {}
    ~Native() { close(); }

    bool open(std::string& error);
    void pump(DWORD milliseconds);
    void settle();
    bool capture(int& width, int& height, std::vector<uint8_t>& rgb, std::string& error) const;
    void runUntilClosed(double closeAfterSeconds);
    void close();
    void closeWindowFirst();
    bool resizeClient(int width, int height);

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static bool registerClass();
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    bool createWindow(int width, int height, std::string& error);
    void closeEditor();
    DWORD style() const;

    PluginHost& host;
    Kind kind;
    HWND window = nullptr;
    bool editorOpen = false;
    bool windowGoesFirst = false;
};

bool EditorWindow::available(std::string&) { return true; }

EditorWindow::EditorWindow(PluginHost& host, Kind kind) : native(new Native(host, kind)) {}

EditorWindow::~EditorWindow() = default;

bool EditorWindow::open(std::string& error) { return native->open(error); }

void EditorWindow::pump(unsigned milliseconds) { native->pump(static_cast<DWORD>(milliseconds)); }

void EditorWindow::settle() { native->settle(); }

bool EditorWindow::capture(int& width, int& height, std::vector<uint8_t>& rgb, std::string& error) const {
    return native->capture(width, height, rgb, error);
}

void EditorWindow::runUntilClosed(double closeAfterSeconds) { native->runUntilClosed(closeAfterSeconds); }

void EditorWindow::close() { native->close(); }

void EditorWindow::closeWindowFirst() { native->closeWindowFirst(); }

bool EditorWindow::Native::registerClass() {
    static bool registered = false;
    if (registered)
        return true;
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
    DWORD base = kind == Kind::Popup ? WS_POPUP : WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    return base | WS_CLIPCHILDREN;
}

bool EditorWindow::Native::open(std::string& error) {
    if (!host.hasEditor()) {
        error = "plug-in '" + host.path() + "' has no editor (effFlagsHasEditor is clear)";
        return false;
    }
    int width = kFallbackWidth, height = kFallbackHeight;
    bool sized = host.editorSize(width, height);
    if (!createWindow(width, height, error))
        return false;
    host.setWindowSizer([this](int w, int h) { return resizeClient(w, h); });
    if (!host.dispatch(effEditOpen, 0, 0, window)) {
        // Plug-ins answer 0 here as often as 1; only a missing child window is a failure.
        if (!GetWindow(window, GW_CHILD)) {
            error = "plug-in '" + host.path() + "' did not open its editor";
            close();
            return false;
        }
    }
    editorOpen = true;
    if (!sized && host.editorSize(width, height))
        resizeClient(width, height);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    SetTimer(window, kIdleTimer, kIdleMilliseconds, nullptr);
    return true;
}

bool EditorWindow::Native::createWindow(int width, int height, std::string& error) {
    RECT frame = {0, 0, width, height};
    AdjustWindowRectEx(&frame, style(), FALSE, 0);
    int x = kind == Kind::Popup ? 0 : CW_USEDEFAULT;
    int y = kind == Kind::Popup ? 0 : CW_USEDEFAULT;
    std::string title = host.text(effGetEffectName) + " - quavix-host";
    if (registerClass()) {
        window = CreateWindowExA(0, kClassName, title.c_str(), style(), x, y, frame.right - frame.left,
                                 frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleA(nullptr), this);
    }
    if (!window) {
        error = "cannot create the editor's host window (error " + std::to_string(GetLastError()) +
                "); is there a display?";
        return false;
    }
    return true;
}

bool EditorWindow::Native::resizeClient(int width, int height) {
    if (!window)
        return false;
    RECT frame = {0, 0, width, height};
    AdjustWindowRectEx(&frame, style(), FALSE, 0);
    return SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE) != 0;
}

void EditorWindow::Native::pump(DWORD milliseconds) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds || !window)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
    }
}

void EditorWindow::Native::settle() {
    if (!window)
        return;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    for (DWORD pass = 0; pass < kSettlePasses; ++pass) {
        host.dispatch(effEditIdle);
        pump(kSettleMilliseconds);
    }
}

bool EditorWindow::Native::capture(int& width, int& height, std::vector<uint8_t>& rgb, std::string& error) const {
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

void EditorWindow::Native::runUntilClosed(double closeAfterSeconds) {
    if (!window)
        return;
    if (closeAfterSeconds > 0.0)
        SetTimer(window, kCloseTimer, static_cast<UINT>(closeAfterSeconds * 1000.0), nullptr);
    MSG message;
    while (window && GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void EditorWindow::Native::closeEditor() {
    if (!editorOpen)
        return;
    editorOpen = false;
    KillTimer(window, kIdleTimer);
    // The plug-in destroys its own child window before ours goes.
    host.dispatch(effEditClose);
    host.setWindowSizer(nullptr);
}

void EditorWindow::Native::close() {
    closeEditor();
    if (window)
        DestroyWindow(window);
    window = nullptr;
}

void EditorWindow::Native::closeWindowFirst() {
    if (!window)
        return;
    windowGoesFirst = true;
    KillTimer(window, kIdleTimer);
    DestroyWindow(window);
    window = nullptr;
    windowGoesFirst = false;
    if (!editorOpen)
        return;
    editorOpen = false;
    host.dispatch(effEditClose);
    host.setWindowSizer(nullptr);
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
        if (wParam == kIdleTimer && editorOpen)
            host.dispatch(effEditIdle);
        if (wParam == kCloseTimer)
            PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    case WM_CLOSE:
        close();
        return 0;
    case WM_DESTROY:
        if (!windowGoesFirst)
            closeEditor();
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        window = nullptr;
        if (kind == Kind::Captioned)
            PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
