// The pointer, the buttons and the cursor are values the tests set; the
// toolkit reads them through the same calls it makes on a real system.
#include <deque>

#include "toolkit/platform/Cursor.h"
#include "toolkit/platform/MouseButtons.h"
#include "toolkit/drawing/CColor.h"
#include "platform/stub/StubWindows.h"

namespace VSTGUI {

namespace {

struct PointerState {
    CPoint screen;
    int32_t buttons = 0;
    std::deque<stub::PointerStep> script;
    CursorHandle cursor = nullptr;
};

PointerState& pointer() {
    static PointerState state;
    return state;
}

// One token per system cursor type; a cursor handle points at its type's.
int32_t cursorTokens[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};

}  // namespace

namespace stub {

void placePointer(const CPoint& screen) { pointer().screen = screen; }

void holdButtons(int32_t mouseState) { pointer().buttons = mouseState; }

void scriptPointer(const std::vector<PointerStep>& steps) { pointer().script.assign(steps.begin(), steps.end()); }

void resetPointer() { pointer() = PointerState(); }

int32_t currentCursorType() {
    const CursorHandle cursor = pointer().cursor;
    return cursor ? *static_cast<const int32_t*>(cursor) : 0;
}

}  // namespace stub

CPoint getCursorScreenPosition() { return pointer().screen; }

CursorHandle getCurrentCursor() { return pointer().cursor; }

void setCurrentCursor(CursorHandle cursor) { pointer().cursor = cursor; }

bool setSystemCursorForType(int32_t type) {
    if (type < 1 || type > 9 || type == 7)
        return false;
    pointer().cursor = &cursorTokens[type];
    return true;
}

// Takes the next scripted step, if any, so that a tracking loop sees the
// pointer move once per pass.
PhysicalInputState readPhysicalInputState() {
    PointerState& state = pointer();
    if (!state.script.empty()) {
        state.screen = state.script.front().screen;
        state.buttons = state.script.front().buttons;
        state.script.pop_front();
    }
    PhysicalInputState input;
    input.leftButton = (state.buttons & kButtonLeft) != 0;
    input.middleButton = (state.buttons & kButtonMiddle) != 0;
    input.rightButton = (state.buttons & kButtonRight) != 0;
    input.shift = (state.buttons & kModifierShift) != 0;
    input.control = (state.buttons & kModifierControl) != 0;
    input.alt = (state.buttons & kModifierAlt) != 0;
    return input;
}

}  // namespace VSTGUI
