// Real pointer input from a thread of its own, for gestures that another
// thread (a drag loop, a window) must see while the test waits.
#pragma once

#include <windows.h>

#include <thread>

namespace quavixtest {

// Moves the real pointer through screen points on a thread of its own,
// resting at each, as a user's hand would; then runs the last step.
class PointerScript {
public:
    struct Step {
        POINT screenPoint;
        DWORD restMilliseconds;
    };

    PointerScript() = default;
    ~PointerScript();
    PointerScript(const PointerScript&) = delete;
    PointerScript& operator=(const PointerScript&) = delete;

    template <typename Last>
    void run(const Step* steps, int count, Last last) {
        worker = std::thread([=] {
            for (int i = 0; i < count; ++i) {
                movePointerTo(steps[i].screenPoint);
                Sleep(steps[i].restMilliseconds);
            }
            last();
        });
    }

    // An absolute move through the input queue, as a mouse gives it.
    static void movePointerTo(POINT screenPoint);

private:
    std::thread worker;
};

}  // namespace quavixtest
