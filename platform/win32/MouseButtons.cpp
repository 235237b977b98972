#include "toolkit/platform/MouseButtons.h"

#include <windows.h>

#include "toolkit/drawing/CColor.h"

namespace VSTGUI {

namespace {

bool isDown(int virtualKey) { return (GetAsyncKeyState(virtualKey) & 0x8000) != 0; }

}  // namespace

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

}  // namespace VSTGUI
