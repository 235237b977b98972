#include "platform/x11/X11Windows.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>
#include "platform/x11/WindowLibraries.h"

namespace VSTGUI {
namespace x11 {

namespace {

// Editors of several effects may run on several host threads; the list is
// the only state they share.
std::mutex registryMutex;
std::vector<FrameWindowState*> registry;
thread_local FrameWindowState* dispatching = nullptr;

std::mutex handlerMutex;
XErrorHandler previousHandler = nullptr;
bool handlerInstalled = false;

// The serial of the last failed request per connection is enough for a trap
// to tell whether one of its own requests failed.
struct FailedRequest {
    Display* display;
    unsigned long serial;
};
std::mutex failuresMutex;
std::vector<FailedRequest> failures;

bool isOurDisplay(Display* display) {
    std::lock_guard<std::mutex> lock(registryMutex);
    return std::any_of(registry.begin(), registry.end(),
                       [display](const FrameWindowState* state) { return state->display == display; });
}

int errorHandler(Display* display, XErrorEvent* error) {
    if (isOurDisplay(display)) {
        std::lock_guard<std::mutex> lock(failuresMutex);
        for (FailedRequest& entry : failures) {
            if (entry.display == display) {
                entry.serial = error->serial;
                return 0;
            }
        }
        failures.push_back({display, error->serial});
        return 0;
    }
    XErrorHandler chained;
    {
        std::lock_guard<std::mutex> lock(handlerMutex);
        chained = previousHandler;
    }
    return chained ? chained(display, error) : 0;
}

}  // namespace

void registerFrameWindow(FrameWindowState* state) {
    std::lock_guard<std::mutex> lock(registryMutex);
    registry.push_back(state);
}

void unregisterFrameWindow(FrameWindowState* state) {
    {
        std::lock_guard<std::mutex> lock(registryMutex);
        registry.erase(std::remove(registry.begin(), registry.end(), state), registry.end());
    }
    std::lock_guard<std::mutex> lock(failuresMutex);
    failures.erase(std::remove_if(failures.begin(), failures.end(),
                                  [state](const FailedRequest& entry) { return entry.display == state->display; }),
                   failures.end());
}

FrameWindowState* findFrameWindow(Window window) {
    if (!window)
        return nullptr;
    std::lock_guard<std::mutex> lock(registryMutex);
    for (FrameWindowState* state : registry) {
        if (state->window == window)
            return state;
    }
    return nullptr;
}

FrameWindowState* activeFrameWindow() {
    if (dispatching)
        return dispatching;
    std::lock_guard<std::mutex> lock(registryMutex);
    return registry.empty() ? nullptr : registry.back();
}

FrameWindowState* dispatchingFrameWindow() { return dispatching; }

Display* displayFor(Window window) {
    if (FrameWindowState* state = findFrameWindow(window))
        return state->display;
    FrameWindowState* active = activeFrameWindow();
    return active ? active->display : nullptr;
}

ActiveWindowScope::ActiveWindowScope(FrameWindowState* state) : previous(dispatching) { dispatching = state; }

ActiveWindowScope::~ActiveWindowScope() { dispatching = previous; }

void installErrorHandler() {
    std::lock_guard<std::mutex> lock(handlerMutex);
    if (handlerInstalled)
        return;
    previousHandler = XSetErrorHandler(errorHandler);
    handlerInstalled = true;
}

void restoreErrorHandler() {
    std::lock_guard<std::mutex> lock(handlerMutex);
    if (!handlerInstalled)
        return;
    XErrorHandler current = XSetErrorHandler(previousHandler);
    // Someone chained after us: theirs stays, and it still reaches ours,
    // which keeps passing other connections' errors on.
    if (current != errorHandler) {
        XSetErrorHandler(current);
        return;
    }
    handlerInstalled = false;
}

ErrorTrap::ErrorTrap(Display* display) : display(display), firstRequest(display ? NextRequest(display) : 0) {}

bool ErrorTrap::failed() {
    if (!display)
        return true;
    // Errors come in order with the replies and events that tell how far the
    // server got, so anything up to that point has reached the handler.
    if (LastKnownRequestProcessed(display) + 1 < NextRequest(display))
        XSync(display, False);
    std::lock_guard<std::mutex> lock(failuresMutex);
    for (const FailedRequest& entry : failures) {
        if (entry.display == display)
            return entry.serial >= firstRequest;
    }
    return false;
}

void setFixedSizeHints(Display* display, Window window, int32_t width, int32_t height) {
    XSizeHints sizeHints = {};
    sizeHints.flags = PMinSize | PMaxSize | PBaseSize;
    sizeHints.min_width = sizeHints.max_width = sizeHints.base_width = width;
    sizeHints.min_height = sizeHints.max_height = sizeHints.base_height = height;
    XSetWMNormalHints(display, window, &sizeHints);
}

}  // namespace x11
}  // namespace VSTGUI
