// The host's side of a plug-in editor: a top-level window whose client area
// is the editor's size, the editor opened inside it, idle time every 20 ms,
// resizing on the plug-in's request, and a picture of what it shows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tools/PluginHost.h"

class EditorWindow {
public:
    // Popup: borderless at the screen's top-left corner, for pictures.
    // Captioned: an ordinary window a person can move and close.
    enum class Kind { Popup, Captioned };

    static const UINT kIdleMilliseconds = 20;

    EditorWindow(PluginHost& host, Kind kind) : host(host), kind(kind) {}
    ~EditorWindow() { close(); }
    EditorWindow(const EditorWindow&) = delete;
    EditorWindow& operator=(const EditorWindow&) = delete;

    bool open(std::string& error);
    // Dispatches messages (and so the idle timer) for about this long.
    void pump(DWORD milliseconds);
    // Forces a full paint, then gives the editor a few idle passes.
    void settle();
    // The client area as RGB rows, top to bottom.
    bool capture(int& width, int& height, std::vector<uint8_t>& rgb, std::string& error) const;
    // The message loop of an interactive session; returns when the window is
    // closed, or by itself after closeAfterSeconds when that is positive.
    void runUntilClosed(double closeAfterSeconds);
    // Closes the editor, then the window.
    void close();
    bool resizeClient(int width, int height);

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static bool registerClass();
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    bool editorSize(int& width, int& height);
    bool createWindow(int width, int height, std::string& error);
    void closeEditor();
    DWORD style() const;

    PluginHost& host;
    Kind kind;
    HWND window = nullptr;
    bool editorOpen = false;
};
