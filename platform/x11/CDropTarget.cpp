#include "platform/x11/CDropTarget.h"

#include <X11/Xatom.h>

#include <cstring>
#include <new>

#include "toolkit/views/CFrame.h"
#include "toolkit/platform/CDragContainer.h"
#include "toolkit/platform/DragEvent.h"
#include "toolkit/drawing/CDrawContext.h"
#include "platform/x11/X11Windows.h"
#include "platform/x11/WindowLibraries.h"

namespace VSTGUI {

namespace {

constexpr long kXdndVersion = 5;
// Larger selections than this are not what a drop on a plug-in panel carries.
constexpr long kMaxDataLongs = 1 << 20;

// One drag at a time in the whole process, whichever editor it is over.
CDragContainer* currentDragContainer = nullptr;
int32_t liveTargets = 0;

void releaseCurrentDragContainer() {
    if (!currentDragContainer)
        return;
    CDragContainer* container = currentDragContainer;
    currentDragContainer = nullptr;
    container->dropReference();
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string percentDecoded(const std::string& text) {
    std::string result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int high = hexValue(text[i + 1]);
            const int low = hexValue(text[i + 2]);
            if (high >= 0 && low >= 0) {
                result += char(high * 16 + low);
                i += 2;
                continue;
            }
        }
        result += text[i];
    }
    return result;
}

// file://host/path and file:/path become /path; any other URI stays as it came.
std::string itemOfUri(const std::string& uri) {
    if (uri.compare(0, 7, "file://") == 0) {
        const size_t slash = uri.find('/', 7);
        return slash == std::string::npos ? std::string() : percentDecoded(uri.substr(slash));
    }
    if (uri.compare(0, 6, "file:/") == 0)
        return percentDecoded(uri.substr(5));
    return uri;
}

// text/uri-list: one URI a line, lines ending in CR LF, '#' starting a comment.
std::vector<std::string> itemsOfUriList(const std::string& list) {
    std::vector<std::string> items;
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find('\n', start);
        if (end == std::string::npos)
            end = list.size();
        std::string line = list.substr(start, end - start);
        while (!line.empty() && (line.back() == '\r' || line.back() == '\0'))
            line.pop_back();
        if (!line.empty() && line[0] != '#') {
            std::string item = itemOfUri(line);
            if (!item.empty())
                items.push_back(item);
        }
        start = end + 1;
    }
    return items;
}

}  // namespace

struct CDropTarget::Atoms {
    explicit Atoms(Display* display) {
        const char* names[] = {"XdndAware",       "XdndEnter",
                               "XdndPosition",    "XdndStatus",
                               "XdndLeave",       "XdndDrop",
                               "XdndFinished",    "XdndSelection",
                               "XdndActionCopy",  "XdndTypeList",
                               "text/uri-list",   "text/plain",
                               "UTF8_STRING",     "text/plain;charset=utf-8",
                               "QUAVIX_XDND_DATA"};
        Atom* slots[] = {&aware, &enter,    &position, &status, &leave, &drop,      &finished, &selection,
                         &copy,  &typeList, &uriList,  &plain,  &utf8,  &plainUtf8, &property};
        static_assert(sizeof(names) / sizeof(names[0]) == sizeof(slots) / sizeof(slots[0]), "one slot a name");
        Atom values[sizeof(slots) / sizeof(slots[0])] = {};
        XInternAtoms(display, const_cast<char**>(names), int(sizeof(names) / sizeof(names[0])), False, values);
        for (size_t i = 0; i < sizeof(slots) / sizeof(slots[0]); ++i)
            *slots[i] = values[i];
    }
    Atom aware, enter, position, status, leave, drop, finished, selection, copy, typeList, uriList, plain, utf8,
        plainUtf8, property;
};

CDropTarget::CDropTarget(CFrame* frame, x11::FrameWindowState* window)
    : frame(frame), window(window), atoms(new Atoms(window->display)) {
    ++liveTargets;
}

CDropTarget::~CDropTarget() {
    if (entered || currentDragContainer)
        releaseCurrentDragContainer();
    delete atoms;
    --liveTargets;
}

CDragContainer* CDropTarget::getCurrentDragContainer() { return currentDragContainer; }

int32_t CDropTarget::getLiveCount() { return liveTargets; }

void CDropTarget::advertise() {
    const Atom version = kXdndVersion;
    XChangeProperty(window->display, window->window, atoms->aware, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&version), 1);
}

void CDropTarget::withdraw() { XDeleteProperty(window->display, window->window, atoms->aware); }

void CDropTarget::handleEvent(const XEvent& event) {
    if (event.type == SelectionNotify) {
        if (event.xselection.property == atoms->property || event.xselection.property == None)
            dataArrived(event.xselection);
        return;
    }
    if (event.type != ClientMessage)
        return;
    const XClientMessageEvent& message = event.xclient;
    if (message.message_type == atoms->enter)
        enter(message);
    else if (message.message_type == atoms->position)
        position(message);
    else if (message.message_type == atoms->leave)
        leave();
    else if (message.message_type == atoms->drop)
        drop(message);
}

Atom CDropTarget::chooseType(const std::vector<Atom>& offered) const {
    // Files first: a file manager offers their names as text too, and the
    // files are what the user dragged.
    for (Atom wanted : {atoms->uriList, atoms->utf8, atoms->plainUtf8, atoms->plain, Atom(XA_STRING)}) {
        for (Atom type : offered) {
            if (type == wanted)
                return type;
        }
    }
    return None;
}

void CDropTarget::enter(const XClientMessageEvent& message) {
    reset();
    source = Window(message.data.l[0]);
    std::vector<Atom> offered;
    if (message.data.l[1] & 1) {
        Atom actualType = None;
        int actualFormat = 0;
        unsigned long count = 0, remaining = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(window->display, source, atoms->typeList, 0, 1024, False, XA_ATOM, &actualType,
                               &actualFormat, &count, &remaining, &data) == Success &&
            data && actualFormat == 32) {
            const Atom* types = reinterpret_cast<const Atom*>(data);
            offered.assign(types, types + count);
        }
        if (data)
            XFree(data);
    }
    for (int i = 2; i <= 4; ++i) {
        if (message.data.l[i])
            offered.push_back(Atom(message.data.l[i]));
    }
    dataType = chooseType(offered);
}

void CDropTarget::position(const XClientMessageEvent& message) {
    if (Window(message.data.l[0]) != source)
        return;
    rootX = int32_t((message.data.l[2] >> 16) & 0xFFFF);
    rootY = int32_t(message.data.l[2] & 0xFFFF);
    if (dataType == None || !frame) {
        sendStatus(false);
        return;
    }
    if (dataArrivedFlag) {
        if (currentDragContainer && entered) {
            deliver(DragEvent::move);
        }
        sendStatus(currentDragContainer != nullptr);
        return;
    }
    // The answer waits for the data, which the source sends before it moves on.
    statusOwed = true;
    if (!dataRequested)
        requestData(Time(message.data.l[3]));
}

void CDropTarget::requestData(Time time) {
    dataRequested = true;
    XConvertSelection(window->display, atoms->selection, dataType, atoms->property, window->window, time);
    XFlush(window->display);
}

void CDropTarget::dataArrived(const XSelectionEvent& selection) {
    if (!dataRequested || dataArrivedFlag || !source)
        return;
    dataArrivedFlag = true;
    std::string bytes;
    if (selection.property != None) {
        Atom actualType = None;
        int actualFormat = 0;
        unsigned long count = 0, remaining = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(window->display, window->window, atoms->property, 0, kMaxDataLongs, True,
                               AnyPropertyType, &actualType, &actualFormat, &count, &remaining, &data) == Success &&
            data && actualFormat == 8)
            bytes.assign(reinterpret_cast<const char*>(data), count);
        if (data)
            XFree(data);
    }
    std::vector<std::string> items;
    if (dataType == atoms->uriList)
        items = itemsOfUriList(bytes);
    else if (selection.property != None)
        items.push_back(bytes);
    CDragContainer* container = nullptr;
    if (!items.empty() && frame)
        container = new (std::nothrow) CDragContainer(std::move(items));
    releaseCurrentDragContainer();
    currentDragContainer = container;
    if (container && frame) {
        entered = true;
        deliver(DragEvent::enter);
    }
    if (dropPending) {
        finishDrop();
        return;
    }
    if (statusOwed) {
        statusOwed = false;
        sendStatus(container != nullptr);
    }
}

void CDropTarget::leave() {
    if (entered && currentDragContainer && frame)
        deliver(DragEvent::leave);
    // The drag is over even when our frame has gone meanwhile.
    reset();
}

void CDropTarget::drop(const XClientMessageEvent& message) {
    if (Window(message.data.l[0]) != source)
        return;
    if (dataArrivedFlag || dataType == None || !frame) {
        finishDrop();
        return;
    }
    dropPending = true;
    if (!dataRequested)
        requestData(Time(message.data.l[2]));
}

void CDropTarget::finishDrop() {
    const bool accepted = entered && currentDragContainer && frame;
    if (accepted)
        deliver(DragEvent::drop);
    // Always a copy: a source told "moved" would delete the user's original.
    sendFinished(accepted);
    reset();
}

void CDropTarget::sendStatus(bool accept) {
    // Bit 1 asks for a position message at every move, with no rectangle
    // to stay quiet in.
    sendToSource(atoms->status, accept ? 3 : 2, 0, 0, accept ? long(atoms->copy) : long(None));
}

void CDropTarget::sendFinished(bool accepted) {
    sendToSource(atoms->finished, accepted ? 1 : 0, accepted ? long(atoms->copy) : long(None), 0, 0);
}

void CDropTarget::sendToSource(Atom type, long data1, long data2, long data3, long data4) {
    if (!source)
        return;
    XEvent event;
    std::memset(&event, 0, sizeof(event));
    event.xclient.type = ClientMessage;
    event.xclient.display = window->display;
    event.xclient.window = source;
    event.xclient.message_type = type;
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(window->window);
    event.xclient.data.l[1] = data1;
    event.xclient.data.l[2] = data2;
    event.xclient.data.l[3] = data3;
    event.xclient.data.l[4] = data4;
    XSendEvent(window->display, source, False, NoEventMask, &event);
    XFlush(window->display);
}

void CDropTarget::deliver(DragEvent event) {
    CDrawContext* context = frame->createDrawContext();
    if (!context)
        return;
    // The position the source reported, in the frame's coordinates.
    int localX = 0, localY = 0;
    Window child = None;
    XTranslateCoordinates(window->display, DefaultRootWindow(window->display), window->window, rootX, rootY, &localX,
                          &localY, &child);
    const CPoint where = frame->deviceToLocal(CPoint(localX, localY));
    deliverDragEvent(frame, context, currentDragContainer, event, where);
    context->dropReference();
}

void CDropTarget::reset() {
    if (entered || dataArrivedFlag)
        releaseCurrentDragContainer();
    source = 0;
    dataType = None;
    dataRequested = false;
    dataArrivedFlag = false;
    entered = false;
    statusOwed = false;
    dropPending = false;
}

}  // namespace VSTGUI
