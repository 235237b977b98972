#include "tests/x11/support/InputScript.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace quavixtest {

namespace {

// The editor reads its events at the host's idle, every 20 ms: a press must
// still be down when that idle comes, and a modifier must be held before
// the press that it changes.
constexpr uint32_t kClickHoldMs = 120;
constexpr uint32_t kRestAfterStepMs = 40;
constexpr unsigned kWheelUpButton = 4;
constexpr unsigned kWheelDownButton = 5;

void sleepMs(uint32_t milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

}  // namespace

InputScript& InputScript::add(Kind kind, int x, int y, int amount, ModifierKey key) {
    steps.push_back(Step{kind, x, y, amount, key});
    return *this;
}

InputScript& InputScript::moveTo(int x, int y) { return add(Kind::move, x, y); }
InputScript& InputScript::press(unsigned button) { return add(Kind::press, 0, 0, static_cast<int>(button)); }
InputScript& InputScript::release(unsigned button) { return add(Kind::release, 0, 0, static_cast<int>(button)); }
InputScript& InputScript::holdKey(ModifierKey key) { return add(Kind::keyDown, 0, 0, 0, key); }
InputScript& InputScript::releaseKey(ModifierKey key) { return add(Kind::keyUp, 0, 0, 0, key); }
InputScript& InputScript::pause(uint32_t milliseconds) {
    return add(Kind::pause, 0, 0, static_cast<int>(milliseconds));
}

InputScript& InputScript::wheel(int notches) {
    const unsigned button = notches > 0 ? kWheelUpButton : kWheelDownButton;
    for (int i = 0; i < std::abs(notches); ++i)
        press(button).pause(kRestAfterStepMs).release(button).pause(kRestAfterStepMs);
    return *this;
}

InputScript& InputScript::dragTo(int x0, int y0, int x1, int y1, int stride, uint32_t restMs) {
    const int dx = x1 - x0, dy = y1 - y0;
    const int length = std::abs(dx) > std::abs(dy) ? std::abs(dx) : std::abs(dy);
    const int count = stride > 0 ? (length + stride - 1) / stride : 1;
    for (int i = 1; i <= count; ++i) {
        const int travelled = i * stride < length ? i * stride : length;
        moveTo(x0 + (length ? dx * travelled / length : 0), y0 + (length ? dy * travelled / length : 0));
        pause(restMs);
    }
    return *this;
}

InputScript& InputScript::clickAt(int x, int y) {
    return moveTo(x, y).pause(kRestAfterStepMs).press().pause(kClickHoldMs).release().pause(kRestAfterStepMs);
}

bool InputScript::play() const {
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display, &event, &error, &major, &minor)) {
        XCloseDisplay(display);
        return false;
    }
    const auto keycode = [display](ModifierKey key) {
        return XKeysymToKeycode(display, key == ModifierKey::shift ? XK_Shift_L : XK_Control_L);
    };
    for (const Step& step : steps) {
        switch (step.kind) {
        case Kind::move:
            XTestFakeMotionEvent(display, DefaultScreen(display), step.x, step.y, CurrentTime);
            break;
        case Kind::press:
        case Kind::release:
            XTestFakeButtonEvent(display, static_cast<unsigned>(step.amount), step.kind == Kind::press, CurrentTime);
            break;
        case Kind::keyDown:
        case Kind::keyUp:
            XTestFakeKeyEvent(display, keycode(step.key), step.kind == Kind::keyDown, CurrentTime);
            XSync(display, False);
            sleepMs(kRestAfterStepMs);
            break;
        case Kind::pause:
            sleepMs(static_cast<uint32_t>(step.amount));
            break;
        }
        XSync(display, False);
    }
    XCloseDisplay(display);
    return true;
}

bool playWhileIdling(const InputScript& script, const std::function<void()>& idle, unsigned idleMs) {
    std::atomic<bool> done{false};
    bool played = false;
    std::thread player([&] {
        played = script.play();
        done = true;
    });
    while (!done) {
        idle();
        std::this_thread::sleep_for(std::chrono::milliseconds(idleMs));
    }
    player.join();
    return played;
}

}  // namespace quavixtest
