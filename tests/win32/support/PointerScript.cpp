#include "tests/win32/support/PointerScript.h"

namespace quavixtest {

PointerScript::~PointerScript() {
    if (worker.joinable())
        worker.join();
}

void PointerScript::movePointerTo(POINT screenPoint) {
    // Absolute input runs from 0 to 65535 across the screen; round up so
    // that the mapping back lands on the pixel asked for.
    const LONG width = GetSystemMetrics(SM_CXSCREEN);
    const LONG height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = (screenPoint.x * 65536 + width - 1) / width;
    input.mi.dy = (screenPoint.y * 65536 + height - 1) / height;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof(input));
}

}  // namespace quavixtest
