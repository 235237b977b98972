// Real input through the X server, as a user gives it: XTest moves the
// pointer, presses buttons (4 and 5 are the wheel) and holds Shift or
// Control, from a connection of the player's own, resting between steps as
// a hand does. Points are on the screen.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace quavixtest {

enum class ModifierKey { shift, control };

class InputScript {
public:
    InputScript& moveTo(int x, int y);
    InputScript& press(unsigned button = 1);
    InputScript& release(unsigned button = 1);
    InputScript& holdKey(ModifierKey key);
    InputScript& releaseKey(ModifierKey key);
    // One notch up (positive) or down, at the pointer.
    InputScript& wheel(int notches);
    InputScript& pause(uint32_t milliseconds);
    // From (x0, y0) the pointer passes every `stride` pixels in a straight
    // line to (x1, y1), resting between steps.
    InputScript& dragTo(int x0, int y0, int x1, int y1, int stride, uint32_t restMs);
    // Press and release at one point, the button held a moment as a finger holds it.
    InputScript& clickAt(int x, int y);

    // Plays on the calling thread; false when the X server or XTest is missing.
    bool play() const;

private:
    enum class Kind { move, press, release, keyDown, keyUp, pause };
    struct Step {
        Kind kind;
        int x;
        int y;
        int amount;
        ModifierKey key;
    };
    InputScript& add(Kind kind, int x = 0, int y = 0, int amount = 0, ModifierKey key = ModifierKey::shift);

    std::vector<Step> steps;
};

// Plays the script on a thread of its own while this one calls idle every
// idleMs, as a host's event loop keeps an editor idling through a gesture;
// true when every step was sent.
bool playWhileIdling(const InputScript& script, const std::function<void()>& idle, unsigned idleMs);

}  // namespace quavixtest
