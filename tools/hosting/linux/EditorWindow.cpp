#include "tools/hosting/EditorWindow.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "tools/hosting/vst/VstEditor.h"

namespace {

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

// Calls visit for each child window of window, with X errors ignored (a
// child may go at any moment), then waits until the server has done it all.
template <typename Visit>
void forEachChild(Display* display, Window window, Visit visit) {
    XErrorHandler previous = XSetErrorHandler(ignoreErrors);
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    XQueryTree(display, window, &root, &parent, &children, &count);
    for (unsigned i = 0; i < count; ++i)
        visit(children[i]);
    if (children)
        XFree(children);
    XSync(display, False);
    XSetErrorHandler(previous);
}

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
    explicit Native(EditorWindow& owner) : owner(owner) {}

    void waitForMap();
    void handle(XEvent& event);
    void idleIfDue();

    EditorWindow& owner;
    Display* display = nullptr;
    Window window = 0;
    Atom deleteWindow = None;
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

EditorWindow::EditorWindow(PluginEditor& editor, Kind kind) : editor(editor), kind(kind), native(new Native(*this)) {}

EditorWindow::EditorWindow(PluginHost& host, Kind kind)
    : ownEditor(new VstEditor(host)), editor(*ownEditor), kind(kind), native(new Native(*this)) {}

EditorWindow::~EditorWindow() { close(); }

bool EditorWindow::createWindow(int width, int height, std::string& error) {
    Display*& display = native->display;
    Window& window = native->window;
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
    XStoreName(display, window, title().c_str());
    native->deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &native->deleteWindow, 1);
    XMapRaised(display, window);
    native->waitForMap();
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

bool EditorWindow::hasWindow() const { return native->display && native->window; }

// Linux hosts hand over the parent's XID as the pointer.
void* EditorWindow::parentHandle() const { return reinterpret_cast<void*>(static_cast<uintptr_t>(native->window)); }

bool EditorWindow::hasChild() const {
    int count = 0;
    if (hasWindow())
        forEachChild(native->display, native->window, [&count](Window) { ++count; });
    return count > 0;
}

bool EditorWindow::childSize(int& width, int& height) const {
    if (!hasWindow())
        return false;
    bool found = false;
    forEachChild(native->display, native->window, [&](Window child) {
        XWindowAttributes attributes = {};
        // The child may go between the two requests.
        if (found || !XGetWindowAttributes(native->display, child, &attributes))
            return;
        found = true;
        width = attributes.width;
        height = attributes.height;
    });
    return found;
}

void EditorWindow::coverChildren() {
    if (!hasWindow())
        return;
    Display* const display = native->display;
    forEachChild(display, native->window, [display](Window child) {
        // A context made for the child suits its depth, whatever its visual.
        GC context = XCreateGC(display, child, 0, nullptr);
        XSetForeground(display, context, 0xFF00FF);
        XFillRectangle(display, child, context, 0, 0, 0x7FFF, 0x7FFF);
        XFreeGC(display, context);
    });
}

void EditorWindow::sync() {
    if (hasWindow())
        XSync(native->display, False);
}

bool EditorWindow::resizeClient(int width, int height) {
    if (!hasWindow() || width <= 0 || height <= 0)
        return false;
    XResizeWindow(native->display, native->window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XFlush(native->display);
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
    if (!owner.editorOpen || millisecondsSince(lastIdle) < kIdleMilliseconds)
        return;
    lastIdle = Clock::now();
    owner.editor.idle();
}

void EditorWindow::startIdle() { native->lastIdle = Clock::now(); }

void EditorWindow::stopIdle() {}

void EditorWindow::pump(unsigned milliseconds) {
    Display* const display = native->display;
    const Clock::time_point start = Clock::now();
    while (hasWindow()) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            native->handle(event);
        }
        native->idleIfDue();
        const unsigned elapsed = millisecondsSince(start);
        if (elapsed >= milliseconds || native->closeRequested)
            return;
        const unsigned untilIdle =
            kIdleMilliseconds - std::min<unsigned>(kIdleMilliseconds, millisecondsSince(native->lastIdle));
        pollfd descriptor = {ConnectionNumber(display), POLLIN, 0};
        poll(&descriptor, 1, static_cast<int>(std::min(milliseconds - elapsed, std::max(1u, untilIdle))));
    }
}

void EditorWindow::repaintAll() {
    Display* const display = native->display;
    // Every window of the editor is told it is exposed, so it paints in full.
    forEachChild(display, native->window, [display](Window child) { XClearArea(display, child, 0, 0, 0, 0, True); });
}

bool EditorWindow::capture(int& width, int& height, std::vector<uint8_t>& rgb, std::string& error) const {
    Display* const display = native->display;
    const Window window = native->window;
    XWindowAttributes attributes = {};
    if (!display || !window || !XGetWindowAttributes(display, window, &attributes) || attributes.width <= 0 ||
        attributes.height <= 0) {
        error = "the editor window has no area to capture";
        return false;
    }
    width = attributes.width;
    height = attributes.height;
    // Without backing store the server keeps no pixels off the screen.
    const int screenWidth = WidthOfScreen(attributes.screen), screenHeight = HeightOfScreen(attributes.screen);
    if (width > screenWidth || height > screenHeight) {
        error = "the editor window (" + std::to_string(width) + " x " + std::to_string(height) +
                " pixels) does not fit on the screen (" + std::to_string(screenWidth) + " x " +
                std::to_string(screenHeight) + "), so its pixels cannot be read";
        return false;
    }
    // The window's image holds what its children show.
    XErrorHandler previous = XSetErrorHandler(ignoreErrors);
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                              AllPlanes, ZPixmap);
    XSync(display, False);
    XSetErrorHandler(previous);
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

void EditorWindow::runUntilClosed(double closeAfterSeconds) {
    const Clock::time_point start = Clock::now();
    while (hasWindow() && !native->closeRequested) {
        pump(kIdleMilliseconds);
        if (closeAfterSeconds > 0.0 && millisecondsSince(start) >= closeAfterSeconds * 1000.0)
            break;
    }
}

void EditorWindow::dropWindow() {
    XDestroyWindow(native->display, native->window);
    XSync(native->display, False);
    native->window = 0;
}

void EditorWindow::destroyWindow() {
    if (native->display) {
        if (native->window)
            XDestroyWindow(native->display, native->window);
        XCloseDisplay(native->display);
    }
    native->window = 0;
    native->display = nullptr;
}
