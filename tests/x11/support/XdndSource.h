// Another application dragging text or files over the screen, the source
// side of XDND on a connection of its own: it owns XdndSelection, finds the
// deepest XdndAware window under each point, sends XdndEnter, an
// XdndPosition per point (proposing a move, as a file manager does, each
// waiting for the XdndStatus), then XdndDrop, serves the target's
// SelectionRequests and waits for XdndFinished.
#pragma once

#include <X11/Xlib.h>

#include <string>
#include <utility>
#include <vector>

namespace quavixtest {

class XdndSource {
public:
    struct Answer {
        bool accepted = false;
        std::string action;  // an atom name, empty for None
    };
    struct Result {
        Window target = 0;
        long version = 0;
        std::vector<Answer> statuses;
        std::vector<std::string> requestedTypes;  // by SelectionRequest, in order
        bool finished = false;
        Answer finish;
    };

    // type: "text/plain" or "text/uri-list"; data: what a conversion gives.
    XdndSource(std::string type, std::string data) : type(std::move(type)), data(std::move(data)) {}

    // Drags over the screen points and drops at the last; blocks until the
    // target has finished or timeoutMs has passed.
    Result dragAndDrop(const std::vector<std::pair<int, int>>& points, int timeoutMs) const;

private:
    std::string type;
    std::string data;
};

}  // namespace quavixtest
