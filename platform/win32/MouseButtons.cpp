#include "platform/MouseButtons.h"

#include <windows.h>

#include "platform/CColor.h"

namespace VSTGUI {

namespace {

bool buttonsSwapped = false;

bool isDown(int virtualKey) { return (GetAsyncKeyState(virtualKey) & 0x8000) != 0; }

}  // namespace

bool areMouseButtonsSwapped() { return buttonsSwapped; }

void setMouseButtonsSwapped(bool swapped) { buttonsSwapped = swapped; }

PhysicalInputState readPhysicalInputState() {
    PhysicalInputState input;
    input.leftButton = isDown(VK_LBUTTON);
    input.middleButton = isDown(VK_MBUTTON);
    input.rightButton = isDown(VK_RBUTTON);
    input.shift = isDown(VK_SHIFT);
    input.control = isDown(VK_CONTROL);
    input.alt = isDown(VK_MENU);
    return input;
}

int32_t mouseStateFromInput(const PhysicalInputState& input, bool swapped) {
    int32_t state = 0;
    if (input.leftButton)
        state |= swapped ? kButtonRight : kButtonLeft;
    if (input.middleButton)
        state |= kButtonMiddle;
    if (input.rightButton)
        state |= swapped ? kButtonLeft : kButtonRight;
    if (input.shift)
        state |= kModifierShift;
    if (input.control)
        state |= kModifierControl;
    if (input.alt)
        state |= kModifierAlt;
    return state;
}

}  // namespace VSTGUI
