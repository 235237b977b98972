// The live state of the mouse buttons and modifier keys as the toolkit's
// mouse state bits, with the system's button swap applied.
#pragma once

#include <cstdint>

namespace VSTGUI {

// Set when the frame's window class is registered; false until then.
bool areMouseButtonsSwapped();
void setMouseButtonsSwapped(bool swapped);

// Physical buttons and keys, as the asynchronous key state reports them.
struct PhysicalInputState {
    bool leftButton = false;
    bool middleButton = false;
    bool rightButton = false;
    bool shift = false;
    bool control = false;
    bool alt = false;
};

// Reads left, middle and right button, then Shift, Control and Alt.
PhysicalInputState readPhysicalInputState();
// The swap turns the physical buttons into the logical ones the user sees.
int32_t mouseStateFromInput(const PhysicalInputState& input, bool buttonsSwapped);

}  // namespace VSTGUI
