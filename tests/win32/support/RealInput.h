// Real input played from a second thread, as a user would give it, while the
// test thread keeps dispatching messages (and so ends up inside a control's
// own mouse loop). Pointer moves use SetCursorPos, buttons and the wheel
// SendInput, and modifier keys are held on the X server as well (xdotool),
// because Wine takes the key state from there at the next pointer move.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace quavixtest {

enum class ModifierKey { shift, control };

class InputScript {
public:
    // Each press first rests, so that Wine's cached button state has caught
    // up with the last move or key change (it lags by about 50 ms).
    InputScript& moveTo(POINT screenPoint);
    InputScript& press();
    InputScript& release();
    InputScript& holdKey(ModifierKey key);
    InputScript& releaseKey(ModifierKey key);
    InputScript& wheel(int32_t delta);
    InputScript& pause(uint32_t milliseconds);
    // A drag from the current point: the pointer passes through every
    // `stride` pixels in a straight line, resting between steps.
    InputScript& dragTo(POINT from, POINT to, int32_t stride, uint32_t restMs);
    // Press and release at one point.
    InputScript& clickAt(POINT screenPoint);

    // Plays the script on a second thread and dispatches the calling
    // thread's messages until it has finished; false when it ran out of time.
    bool playWhilePumping(uint32_t timeoutMs = 20000) const;

private:
    enum class Kind { move, press, release, keyDown, keyUp, wheel, pause };
    struct Step {
        Kind kind;
        POINT point;
        int32_t amount;
        ModifierKey key;
    };
    void play() const;
    InputScript& add(Kind kind, POINT point = POINT{0, 0}, int32_t amount = 0, ModifierKey key = ModifierKey::shift);

    std::vector<Step> steps;
};

// Holds or lets go of a modifier on the X server and in Wine's key state.
void setModifierHeld(ModifierKey key, bool held);

}  // namespace quavixtest
