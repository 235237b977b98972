#include "tools/hosting/EditorWindow.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

// Until a plug-in that reports no size before opening tells us better.
const int kFallbackWidth = 320;
const int kFallbackHeight = 240;
const int kSettlePasses = 3;
const unsigned kSettleMilliseconds = 30;
// How long a new window may take to be mapped before we give up waiting.
const unsigned kMapTimeoutMilliseconds = 2000;

const char* const kNoDisplay =
    "editor hosting needs an X display, and none could be opened (is DISPLAY set? xvfb-run gives one)";

using Clock = std::chrono::steady_clock;

unsigned millisecondsSince(Clock::time_point start) {
    return static_cast<unsigned>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

// Errors about the window a plug-in made in ours (it may be gone already)
// must not end the host; they are the plug-in's business.
int ignoreErrors(Display*, XErrorEvent*) { return 0; }

// The lowest set bit and width of a visual's colour mask.
void maskShape(unsigned long mask, int& shift, int& bits) {
    shift = 0;
    bits = 0;
    if (!mask)
        return;
    while (!(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    while (mask & 1) {
        mask >>= 1;
        ++bits;
    }
}

uint8_t channel(unsigned long pixel, int shift, int bits) {
    if (bits == 0)
        return 0;
    const unsigned long value = (pixel >> shift) & ((1ul << bits) - 1);
    return static_cast<uint8_t>(bits >= 8 ? value >> (bits - 8) : (value * 255) / ((1ul << bits) - 1));
}

}  // namespace

// The X11 side: our own connection, a top-level window, the editor in it by
// the window's XID, and effEditIdle every 20 ms while we pump.
class EditorWindow::Native {
public:
    Native(PluginHost& host, Kind kind) : host(host), kind(kind) {}
    ~Native() { close(); }

    bool open(std::string& error);
    void pump(unsigned milliseconds);
    void settle();
    bool capture(int& width, int& height, std::vector<uint8_t>& rgb, std::string& error) const;
    void runUntilClosed(double closeAfterSeconds);
    void close();
    void closeWindowFirst();
    bool resizeClient(int width, int height);

private:
    bool createWindow(int width, int height, std::string& error);
    void waitForMap();
    void handle(XEvent& event);
    void idleIfDue();
    void closeEditor();
    bool hasChild() const;

    PluginHost& host;
    Kind kind;
    Display* display = nullptr;
    Window window = 0;
    Atom deleteWindow = None;
    bool editorOpen = false;
    bool closeRequested = false;
    Clock::time_point lastIdle = Clock::now();
};

// The connection that found the display stays open for the life of the
// tool: a server whose last client leaves resets (Xvfb does by default), and
// a window opened during the reset would find no display.
bool EditorWindow::available(std::string& reason) {
    static Display* probe = XOpenDisplay(nullptr);
    if (!probe) {
        reason = kNoDisplay;
        return false;
    }
    return true;
}

EditorWindow::EditorWindow(PluginHost& host, Kind kind) : native(new Native(host, kind)) {}

EditorWindow::~EditorWindow() = default;

bool EditorWindow::open(std::string& error) { return native->open(error); }

void EditorWindow::pump(unsigned milliseconds) { native->pump(milliseconds); }

void EditorWindow::settle() { native->settle(); }

bool EditorWindow::capture(int& width, int& height, std::vector<uint8_t>& rgb, std::string& error) const {
    return native->capture(width, height, rgb, error);
}

void EditorWindow::runUntilClosed(double closeAfterSeconds) { native->runUntilClosed(closeAfterSeconds); }

void EditorWindow::close() { native->close(); }

void EditorWindow::closeWindowFirst() { native->closeWindowFirst(); }

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
    // Linux hosts hand over the parent's XID as the pointer.
    void* parent = reinterpret_cast<void*>(static_cast<uintptr_t>(window));
    if (!host.dispatch(effEditOpen, 0, 0, parent)) {
        // Plug-ins answer 0 here as often as 1; only a missing child window is a failure.
        if (!hasChild()) {
            error = "plug-in '" + host.path() + "' did not open its editor";
            close();
            return false;
        }
    }
    editorOpen = true;
    if (!sized && host.editorSize(width, height))
        resizeClient(width, height);
    lastIdle = Clock::now();
    return true;
}

bool EditorWindow::Native::createWindow(int width, int height, std::string& error) {
    display = XOpenDisplay(nullptr);
    if (!display) {
        error = kNoDisplay;
        return false;
    }
    const int screen = DefaultScreen(display);
    XSetWindowAttributes attributes = {};
    attributes.background_pixel = 0xF0F0F0;
    attributes.event_mask = StructureNotifyMask;
    // A popup stays where it is put, without a window manager's frame.
    attributes.override_redirect = kind == Kind::Popup ? True : False;
    window = XCreateWindow(display, RootWindow(display, screen), 0, 0, static_cast<unsigned>(width),
                           static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                           CWBackPixel | CWEventMask | CWOverrideRedirect, &attributes);
    if (!window) {
        error = "cannot create the editor's host window";
        XCloseDisplay(display);
        display = nullptr;
        return false;
    }
    const std::string title = host.text(effGetEffectName) + " - quavix-host";
    XStoreName(display, window, title.c_str());
    deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &deleteWindow, 1);
    XMapRaised(display, window);
    waitForMap();
    return true;
}

void EditorWindow::Native::waitForMap() {
    const Clock::time_point start = Clock::now();
    XEvent event;
    while (millisecondsSince(start) < kMapTimeoutMilliseconds) {
        if (XCheckTypedWindowEvent(display, window, MapNotify, &event))
            return;
        pollfd descriptor = {ConnectionNumber(display), POLLIN, 0};
        poll(&descriptor, 1, 10);
    }
}

bool EditorWindow::Native::hasChild() const {
    if (!display || !window)
        return false;
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    XQueryTree(display, window, &root, &parent, &children, &count);
    if (children)
        XFree(children);
    return count > 0;
}

bool EditorWindow::Native::resizeClient(int width, int height) {
    if (!display || !window || width <= 0 || height <= 0)
        return false;
    XResizeWindow(display, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XFlush(display);
    return true;
}

void EditorWindow::Native::handle(XEvent& event) {
    if (event.type == ClientMessage && static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow) {
        closeRequested = true;
    } else if (event.type == DestroyNotify && event.xdestroywindow.window == window) {
        closeRequested = true;
    }
}

void EditorWindow::Native::idleIfDue() {
    if (!editorOpen || millisecondsSince(lastIdle) < kIdleMilliseconds)
        return;
    lastIdle = Clock::now();
    host.dispatch(effEditIdle);
}

void EditorWindow::Native::pump(unsigned milliseconds) {
    const Clock::time_point start = Clock::now();
    while (display && window) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            handle(event);
        }
        idleIfDue();
        const unsigned elapsed = millisecondsSince(start);
        if (elapsed >= milliseconds || closeRequested)
            return;
        const unsigned untilIdle =
            kIdleMilliseconds - std::min<unsigned>(kIdleMilliseconds, millisecondsSince(lastIdle));
        pollfd descriptor = {ConnectionNumber(display), POLLIN, 0};
        poll(&descriptor, 1, static_cast<int>(std::min(milliseconds - elapsed, std::max(1u, untilIdle))));
    }
}

void EditorWindow::Native::settle() {
    if (!display || !window)
        return;
    // Every window of the editor is told it is exposed, so it paints in full.
    XErrorHandler previous = XSetErrorHandler(ignoreErrors);
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    XQueryTree(display, window, &root, &parent, &children, &count);
    for (unsigned i = 0; i < count; ++i)
        XClearArea(display, children[i], 0, 0, 0, 0, True);
    if (children)
        XFree(children);
    XSync(display, False);
    XSetErrorHandler(previous);
    for (int pass = 0; pass < kSettlePasses; ++pass) {
        host.dispatch(effEditIdle);
        pump(kSettleMilliseconds);
    }
}

bool EditorWindow::Native::capture(int& width, int& height, std::vector<uint8_t>& rgb, std::string& error) const {
    XWindowAttributes attributes = {};
    if (!display || !window || !XGetWindowAttributes(display, window, &attributes) || attributes.width <= 0 ||
        attributes.height <= 0) {
        error = "the editor window has no area to capture";
        return false;
    }
    width = attributes.width;
    height = attributes.height;
    // The window's image holds what its children show.
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                              AllPlanes, ZPixmap);
    if (!image) {
        error = "cannot read the editor window's pixels";
        return false;
    }
    int redShift, redBits, greenShift, greenBits, blueShift, blueBits;
    maskShape(attributes.visual->red_mask, redShift, redBits);
    maskShape(attributes.visual->green_mask, greenShift, greenBits);
    maskShape(attributes.visual->blue_mask, blueShift, blueBits);
    rgb.resize(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            uint8_t* out = &rgb[(static_cast<size_t>(y) * width + x) * 3];
            out[0] = channel(pixel, redShift, redBits);
            out[1] = channel(pixel, greenShift, greenBits);
            out[2] = channel(pixel, blueShift, blueBits);
        }
    }
    XDestroyImage(image);
    return true;
}

void EditorWindow::Native::runUntilClosed(double closeAfterSeconds) {
    const Clock::time_point start = Clock::now();
    while (display && window && !closeRequested) {
        pump(kIdleMilliseconds);
        if (closeAfterSeconds > 0.0 && millisecondsSince(start) >= closeAfterSeconds * 1000.0)
            break;
    }
}

void EditorWindow::Native::closeEditor() {
    if (!editorOpen)
        return;
    editorOpen = false;
    // The plug-in destroys its own child window before ours goes.
    host.dispatch(effEditClose);
    host.setWindowSizer(nullptr);
}

void EditorWindow::Native::close() {
    closeEditor();
    if (display) {
        if (window)
            XDestroyWindow(display, window);
        XCloseDisplay(display);
    }
    window = 0;
    display = nullptr;
}

void EditorWindow::Native::closeWindowFirst() {
    if (!display || !window)
        return;
    XDestroyWindow(display, window);
    XSync(display, False);
    window = 0;
    if (editorOpen) {
        editorOpen = false;
        host.dispatch(effEditClose);
        host.setWindowSizer(nullptr);
    }
    XCloseDisplay(display);
    display = nullptr;
}
