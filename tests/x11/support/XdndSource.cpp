#include "tests/x11/support/XdndSource.h"

#include <X11/Xatom.h>
#include <poll.h>

#include <chrono>

namespace quavixtest {

namespace {

constexpr long kOurVersion = 5;

struct Atoms {
    explicit Atoms(Display* display) : display(display) {}
    Atom operator()(const char* name) const { return XInternAtom(display, name, False); }
    std::string name(Atom atom) const {
        if (atom == None)
            return "";
        char* text = XGetAtomName(display, atom);
        std::string copy = text ? text : "";
        if (text)
            XFree(text);
        return copy;
    }
    Display* display;
};

// The XdndAware version of a window, 0 when it takes no drops.
long awareVersion(Display* display, Window window, const Atoms& atom) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* value = nullptr;
    long version = 0;
    if (XGetWindowProperty(display, window, atom("XdndAware"), 0, 1, False, XA_ATOM, &type, &format, &count, &remaining,
                           &value) == Success &&
        value && count == 1 && format == 32)
        version = static_cast<long>(*reinterpret_cast<unsigned long*>(value));
    if (value)
        XFree(value);
    return version;
}

void sendMessage(Display* display, Window target, Atom type, const long (&data)[5]) {
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = target;
    event.xclient.message_type = type;
    event.xclient.format = 32;
    for (int i = 0; i < 5; ++i)
        event.xclient.data.l[i] = data[i];
    XSendEvent(display, target, False, NoEventMask, &event);
    XFlush(display);
}

}  // namespace

XdndSource::Result XdndSource::dragAndDrop(const std::vector<std::pair<int, int>>& points, int timeoutMs) const {
    Result result;
    Display* display = XOpenDisplay(nullptr);
    if (!display || points.empty())
        return result;
    const Atoms atom(display);
    const Window root = DefaultRootWindow(display);
    const Window source = XCreateSimpleWindow(display, root, 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(display, atom("XdndSelection"), source, CurrentTime);
    const Atom offered = atom(type.c_str());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);

    // Serves conversions while waiting for a message of the target's.
    const auto await = [&](Atom wanted, XClientMessageEvent& answer) {
        while (std::chrono::steady_clock::now() < deadline) {
            if (!XPending(display)) {
                pollfd connection = {ConnectionNumber(display), POLLIN, 0};
                poll(&connection, 1, 10);
                continue;
            }
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == ClientMessage && event.xclient.message_type == wanted) {
                answer = event.xclient;
                return true;
            }
            if (event.type != SelectionRequest)
                continue;
            const XSelectionRequestEvent& request = event.xselectionrequest;
            result.requestedTypes.push_back(atom.name(request.target));
            XEvent reply = {};
            reply.xselection.type = SelectionNotify;
            reply.xselection.requestor = request.requestor;
            reply.xselection.selection = request.selection;
            reply.xselection.target = request.target;
            reply.xselection.time = request.time;
            reply.xselection.property = None;
            if (request.target == offered && request.property != None) {
                XChangeProperty(display, request.requestor, request.property, offered, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()));
                reply.xselection.property = request.property;
            }
            XSendEvent(display, request.requestor, False, NoEventMask, &reply);
            XFlush(display);
        }
        return false;
    };

    // The deepest window under the first point that takes drops.
    Window window = root;
    for (;;) {
        int x = 0, y = 0;
        Window child = None;
        if (window != root && awareVersion(display, window, atom) > 0)
            result.target = window;
        if (!XTranslateCoordinates(display, root, window, points[0].first, points[0].second, &x, &y, &child) ||
            child == None)
            break;
        window = child;
    }
    if (result.target) {
        result.version = awareVersion(display, result.target, atom);
        const long version = result.version < kOurVersion ? result.version : kOurVersion;
        sendMessage(display, result.target, atom("XdndEnter"),
                    {static_cast<long>(source), version << 24, static_cast<long>(offered), 0, 0});
        XClientMessageEvent answer = {};
        for (const auto& [x, y] : points) {
            sendMessage(display, result.target, atom("XdndPosition"),
                        {static_cast<long>(source), 0, static_cast<long>(x) << 16 | y, CurrentTime,
                         static_cast<long>(atom("XdndActionMove"))});
            if (!await(atom("XdndStatus"), answer))
                break;
            result.statuses.push_back(Answer{(answer.data.l[1] & 1) != 0, atom.name(answer.data.l[4])});
        }
        if (result.statuses.size() == points.size()) {
            sendMessage(display, result.target, atom("XdndDrop"), {static_cast<long>(source), 0, CurrentTime, 0, 0});
            if (await(atom("XdndFinished"), answer)) {
                result.finished = true;
                result.finish = Answer{(answer.data.l[1] & 1) != 0, atom.name(answer.data.l[2])};
            }
        } else {
            sendMessage(display, result.target, atom("XdndLeave"), {static_cast<long>(source), 0, 0, 0, 0});
        }
    }
    XDestroyWindow(display, source);
    XCloseDisplay(display);
    return result;
}

}  // namespace quavixtest
