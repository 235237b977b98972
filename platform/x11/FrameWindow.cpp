#include "toolkit/platform/FrameWindow.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <new>

#include "toolkit/views/CFrame.h"
#include "framework/VstInterface.h"
#include "toolkit/drawing/CColor.h"
#include "toolkit/drawing/CDrawContext.h"
#include "toolkit/platform/ModuleInstance.h"
#include "toolkit/platform/MouseButtons.h"
#include "platform/x11/CDropTarget.h"
#include "platform/x11/X11Windows.h"
#include "platform/x11/WindowLibraries.h"

namespace VSTGUI {

namespace {

using x11::FrameWindowState;

constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask |
                            KeyReleaseMask | StructureNotifyMask | EnterWindowMask | LeaveWindowMask;
// Wheel notches come as presses of these buttons.
constexpr unsigned kWheelUp = Button4;
constexpr unsigned kWheelDown = Button5;

int32_t modifierState(unsigned state) {
    int32_t result = 0;
    if (state & Button1Mask)
        result |= kButtonLeft;
    if (state & Button2Mask)
        result |= kButtonMiddle;
    if (state & Button3Mask)
        result |= kButtonRight;
    if (state & ShiftMask)
        result |= kModifierShift;
    if (state & ControlMask)
        result |= kModifierControl;
    if (state & Mod1Mask)
        result |= kModifierAlt;
    return result;
}

void paintExposed(FrameWindowState* state) {
    state->exposePending = false;
    CFrame* frame = state->frame;
    if (!frame)
        return;
    const CRect area(state->exposeLeft, state->exposeTop, state->exposeRight, state->exposeBottom);
    CDrawContext* context = new (std::nothrow) CDrawContext(frame, x11::toHandle(state->window), nullptr);
    frame->drawRect(context, frame->deviceToLocal(area));
    if (context)
        context->dropReference();
}

void expose(FrameWindowState* state, const XExposeEvent& event) {
    const int32_t right = event.x + event.width;
    const int32_t bottom = event.y + event.height;
    if (!state->exposePending) {
        state->exposeLeft = event.x;
        state->exposeTop = event.y;
        state->exposeRight = right;
        state->exposeBottom = bottom;
        state->exposePending = true;
    } else {
        state->exposeLeft = std::min(state->exposeLeft, int32_t(event.x));
        state->exposeTop = std::min(state->exposeTop, int32_t(event.y));
        state->exposeRight = std::max(state->exposeRight, right);
        state->exposeBottom = std::max(state->exposeBottom, bottom);
    }
    // One paint for the whole series, as Windows gives one WM_PAINT.
    if (event.count == 0)
        paintExposed(state);
}

// Returns when the view that was hit has tracked the mouse to its release.
void buttonPress(FrameWindowState* state, const XButtonEvent& event) {
    CFrame* frame = state->frame;
    if (!frame)
        return;
    CDrawContext context(frame, x11::toHandle(state->window), nullptr);
    CPoint where = frame->deviceToLocal(CPoint(event.x, event.y));
    if (event.button == kWheelUp || event.button == kWheelDown) {
        frame->onWheel(&context, where, event.button == kWheelUp ? 1.0f : -1.0f);
        return;
    }
    // The state holds what was down before this press; the press adds its
    // own button, so a click released before we get here still counts.
    int32_t buttons = modifierState(event.state);
    if (event.button == Button1)
        buttons |= kButtonLeft;
    else if (event.button == Button2)
        buttons |= kButtonMiddle;
    else if (event.button == Button3)
        buttons |= kButtonRight;
    else
        return;
    frame->onMouseDown(&context, where, buttons);
}

// The keys the toolkit names, else the character the key types.
void translateKey(XKeyEvent& event, VstKeyCode& keyCode) {
    char text[8] = {};
    KeySym symbol = NoSymbol;
    XLookupString(&event, text, sizeof(text) - 1, &symbol, nullptr);
    keyCode = VstKeyCode();
    switch (symbol) {
    case XK_BackSpace:
        keyCode.virt = VKEY_BACK;
        break;
    case XK_Tab:
    case XK_ISO_Left_Tab:
        keyCode.virt = VKEY_TAB;
        break;
    case XK_Return:
        keyCode.virt = VKEY_RETURN;
        break;
    case XK_KP_Enter:
        keyCode.virt = VKEY_ENTER;
        break;
    case XK_Escape:
        keyCode.virt = VKEY_ESCAPE;
        break;
    case XK_space:
        keyCode.virt = VKEY_SPACE;
        break;
    case XK_Home:
        keyCode.virt = VKEY_HOME;
        break;
    case XK_End:
        keyCode.virt = VKEY_END;
        break;
    case XK_Left:
        keyCode.virt = VKEY_LEFT;
        break;
    case XK_Up:
        keyCode.virt = VKEY_UP;
        break;
    case XK_Right:
        keyCode.virt = VKEY_RIGHT;
        break;
    case XK_Down:
        keyCode.virt = VKEY_DOWN;
        break;
    case XK_Page_Up:
        keyCode.virt = VKEY_PAGEUP;
        break;
    case XK_Page_Down:
        keyCode.virt = VKEY_PAGEDOWN;
        break;
    case XK_Insert:
        keyCode.virt = VKEY_INSERT;
        break;
    case XK_Delete:
        keyCode.virt = VKEY_DELETE;
        break;
    default:
        if (text[0] > 0 && text[0] < 0x7F)
            keyCode.character = text[0];
        break;
    }
    if (event.state & ShiftMask)
        keyCode.modifier |= MODIFIER_SHIFT;
    if (event.state & ControlMask)
        keyCode.modifier |= MODIFIER_CONTROL;
    if (event.state & Mod1Mask)
        keyCode.modifier |= MODIFIER_ALTERNATE;
}

void key(FrameWindowState* state, XKeyEvent& event, bool down) {
    CFrame* frame = state->frame;
    if (!frame)
        return;
    VstKeyCode keyCode;
    translateKey(event, keyCode);
    if (keyCode.virt == 0 && keyCode.character == 0)
        return;
    if (down)
        frame->onKeyDown(keyCode);
    else
        frame->onKeyUp(keyCode);
}

void dispatch(FrameWindowState* state, XEvent& event) {
    if (event.type == PropertyNotify && event.xproperty.atom == state->resourceManager) {
        if (CFrame* frame = state->frame)
            frame->systemScaleChanged();
        return;
    }
    if (event.xany.window != state->window && event.type != SelectionNotify)
        return;
    switch (event.type) {
    case Expose:
        expose(state, event.xexpose);
        break;
    case ButtonPress:
        buttonPress(state, event.xbutton);
        break;
    case KeyPress:
    case KeyRelease:
        key(state, event.xkey, event.type == KeyPress);
        break;
    case ConfigureNotify:
        state->width = event.xconfigure.width;
        state->height = event.xconfigure.height;
        break;
    case DestroyNotify:
        if (event.xdestroywindow.window != state->window)
            break;
        // The host destroyed its window, and ours with it.
        state->destroyed = true;
        if (CFrame* frame = state->frame) {
            state->frame = nullptr;
            frame->onWindowDestroyed();
        }
        break;
    case ClientMessage:
    case SelectionNotify:
        if (state->dropTarget)
            state->dropTarget->handleEvent(event);
        break;
    default:
        break;
    }
}

// While a control tracks the mouse, input stays queued for after its loop
// (as Windows keeps it in the message queue); paints and the window's end
// are handled at once, so the picture keeps up with the drag.
Bool isPaintOrStructure(Display*, XEvent* event, XPointer window) {
    if (event->xany.window != reinterpret_cast<Window>(window))
        return False;
    return event->type == Expose || event->type == ConfigureNotify || event->type == DestroyNotify;
}

void closeConnection(FrameWindowState* state) {
    // Everything sent must be answered before the handler stops covering us.
    {
        x11::ErrorTrap trap(state->display);
        for (Cursor& cursor : state->typeCursors) {
            if (cursor)
                XFreeCursor(state->display, cursor);
            cursor = None;
        }
        trap.failed();
    }
    x11::unregisterFrameWindow(state);
    XCloseDisplay(state->display);
    delete state;
}

}  // namespace

// No window classes on X11: the first frame window installs the error
// handler that covers every connection of ours, and the last puts it back.
void openFrameWindowClass(const char*) {
    x11::installErrorHandler();
    // The server applies the user's button mapping before we see a press.
    setMouseButtonsSwapped(false);
}

void closeFrameWindowClass(const char*) { x11::restoreErrorHandler(); }

WindowHandle createFrameWindow(WindowHandle parent, int32_t width, int32_t height, CFrame* frame) {
    if (!parent || width <= 0 || height <= 0)
        return nullptr;
    // A connection of our own: the host's is not ours to read events from,
    // and whatever happens to this one (a window destroyed under it) stays
    // with this editor.
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return nullptr;
    FrameWindowState* state = new (std::nothrow) FrameWindowState;
    if (!state) {
        XCloseDisplay(display);
        return nullptr;
    }
    state->display = display;
    state->parent = x11::toWindow(parent);
    state->width = width;
    state->height = height;
    x11::registerFrameWindow(state);

    const int screen = DefaultScreen(display);
    state->visual = DefaultVisual(display, screen);
    XSetWindowAttributes attributes = {};
    attributes.colormap = DefaultColormap(display, screen);
    attributes.border_pixel = 0;
    attributes.background_pixmap = None;  // every pixel is ours to paint
    attributes.event_mask = kEventMask;
    x11::ErrorTrap trap(display);
    state->window =
        XCreateWindow(display, state->parent, 0, 0, unsigned(width), unsigned(height), 0, DefaultDepth(display, screen),
                      InputOutput, state->visual, CWColormap | CWBorderPixel | CWBackPixmap | CWEventMask, &attributes);
    if (state->window) {
        char* className = const_cast<char*>(getFrameWindowClassName());
        XClassHint hint = {className, className};
        XSetClassHint(display, state->window, &hint);
        // The frame has one size: a host that sizes its own window from
        // ours (an LV2 host embedding the panel) finds it here.
        x11::setFixedSizeHints(display, state->window, width, height);
        XMapWindow(display, state->window);
        // A desktop publishes a new Xft.dpi by rewriting this property.
        state->resourceManager = XInternAtom(display, "RESOURCE_MANAGER", False);
        XSelectInput(display, DefaultRootWindow(display), PropertyChangeMask);
    }
    // A parent that is no window fails here, not later in the host.
    if (trap.failed() || !state->window) {
        state->window = 0;
        closeConnection(state);
        return nullptr;
    }
    state->frame = frame;
    return x11::toHandle(state->window);
}

void destroyFrameWindow(WindowHandle window) {
    FrameWindowState* state = x11::findFrameWindow(x11::toWindow(window));
    if (!state)
        return;
    state->frame = nullptr;
    if (state->dispatchDepth > 0) {
        // Closed from inside one of its own events: the dispatch that is
        // running finishes the job when it unwinds.
        state->destroyed = true;
        XDestroyWindow(state->display, state->window);
        return;
    }
    {
        // The host may have destroyed its window first: then ours is gone too.
        x11::ErrorTrap trap(state->display);
        if (!state->destroyed)
            XDestroyWindow(state->display, state->window);
        trap.failed();
    }
    closeConnection(state);
}

int frameWindowEventDescriptor(WindowHandle window) {
    FrameWindowState* state = x11::findFrameWindow(x11::toWindow(window));
    return state ? XConnectionNumber(state->display) : -1;
}

void processPendingWindowEvents(WindowHandle window) {
    FrameWindowState* state = x11::findFrameWindow(x11::toWindow(window));
    if (!state)
        return;
    x11::ActiveWindowScope active(state);
    Display* display = state->display;
    const bool tracking = state->dispatchDepth > 0;
    ++state->dispatchDepth;
    XEvent event;
    if (tracking) {
        while (!state->destroyed &&
               XCheckIfEvent(display, &event, isPaintOrStructure, reinterpret_cast<XPointer>(state->window)))
            dispatch(state, event);
    } else {
        while (!state->destroyed && XPending(display) > 0) {
            XNextEvent(display, &event);
            dispatch(state, event);
        }
    }
    --state->dispatchDepth;
    // Errors from drawing into a window that vanished end here, ignored.
    x11::ErrorTrap trap(display);
    trap.failed();
    if (state->destroyed && state->dispatchDepth == 0)
        closeConnection(state);
}

}  // namespace VSTGUI
