// The host's side of a plug-in editor: a top-level window whose client area
// is the editor's size, the editor opened inside it, idle time every 20 ms,
// resizing on the plug-in's request, and a picture of what it shows. The
// window belongs to the system's window toolkit: win32/ hosts editors
// in Win32 windows, linux/ in X11 windows, passing the XID as parent.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/hosting/PluginEditor.h"
#include "tools/hosting/vst/PluginHost.h"

class EditorWindow {
public:
    // Popup: borderless at the screen's top-left corner, for pictures.
    // Captioned: an ordinary window a person can move and close.
    enum class Kind { Popup, Captioned };

    static const unsigned kIdleMilliseconds = 20;

    // False, with the reason, when this build cannot host editors at all.
    static bool available(std::string& reason);

    EditorWindow(PluginEditor& editor, Kind kind);
    // A VST 2.4 plug-in's editor, as the validator's checks of it host one.
    EditorWindow(PluginHost& host, Kind kind);
    ~EditorWindow();
    EditorWindow(const EditorWindow&) = delete;
    EditorWindow& operator=(const EditorWindow&) = delete;

    bool open(std::string& error);
    // Dispatches messages (and so the idle timer) for about this long.
    void pump(unsigned milliseconds);
    // Forces a full paint, then gives the editor a few idle passes.
    void settle();
    // Every window of the editor is told to paint in full; what it does
    // about it, it does in its next idle or message.
    void repaintAll();
    // Paints every window of the editor over in one colour, so that a
    // picture taken after shows only what the editor has painted since.
    void coverChildren();
    // Returns once the window system has done everything asked of it so far.
    void sync();
    // The size of the editor's own window inside ours (the first, if it
    // made several); false when it has none.
    bool childSize(int& width, int& height) const;
    // How often the plug-in asked for a new size while open
    // (audioMasterSizeWindow), and the last size it asked for.
    int sizeRequests() const { return requests; }
    void lastSizeRequest(int& width, int& height) const {
        width = requestedWidth;
        height = requestedHeight;
    }
    // When the editor was told to open.
    std::chrono::steady_clock::time_point editorOpenedAt() const { return openedAt; }
    // The client area as RGB rows, top to bottom.
    bool capture(int& width, int& height, std::vector<uint8_t>& rgb, std::string& error) const;
    // The message loop of an interactive session; returns when the window is
    // closed, or by itself after closeAfterSeconds when that is positive.
    void runUntilClosed(double closeAfterSeconds);
    // Closes the editor, then the window.
    void close();
    // The other order, as some hosts do it: the window goes first, taking the
    // editor's child windows with it, and effEditClose follows.
    void closeWindowFirst();

private:
    // What each system does its own way, in linux/ or win32/.
    bool createWindow(int width, int height, std::string& error);
    bool hasWindow() const;
    // What effEditOpen gets as the parent: an HWND, or an XID as a pointer.
    void* parentHandle() const;
    bool hasChild() const;
    bool resizeClient(int width, int height);
    void startIdle();
    void stopIdle();
    // Only the window goes, leaving what remains for destroyWindow.
    void dropWindow();
    void destroyWindow();

    std::string title() const;
    void closeEditor();

    std::unique_ptr<PluginEditor> ownEditor;
    PluginEditor& editor;
    Kind kind;
    bool editorOpen = false;
    int requests = 0;
    int requestedWidth = 0, requestedHeight = 0;
    std::chrono::steady_clock::time_point openedAt;
    // The window and its toolkit's state, one kind per system.
    class Native;
    std::unique_ptr<Native> native;
};
