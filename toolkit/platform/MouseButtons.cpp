// What every window system shares of the mouse state: the button swap taken
// when the frame window class opens, and turning the physical buttons and
// keys into the toolkit's bits.
#include "toolkit/platform/MouseButtons.h"

#include "toolkit/drawing/CColor.h"

namespace VSTGUI {

namespace {

bool buttonsSwapped = false;

}  // namespace

bool areMouseButtonsSwapped() { return buttonsSwapped; }

void setMouseButtonsSwapped(bool swapped) { buttonsSwapped = swapped; }

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
