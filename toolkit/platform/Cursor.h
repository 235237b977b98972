// The mouse pointer: where it is on the screen, and which cursor shows.
#pragma once

#include <cstdint>

#include "toolkit/geometry/CRect.h"
#include "toolkit/platform/PlatformTypes.h"

namespace VSTGUI {

// The pointer position in screen coordinates.
CPoint getCursorScreenPosition();

// The cursor showing now, and making a cursor current.
CursorHandle getCurrentCursor();
void setCurrentCursor(CursorHandle cursor);

// Makes the system cursor of a toolkit cursor type current: 1 wait, 2 size
// west-east, 3 size north-south, 4 size all, 5 size north-east-south-west,
// 6 size north-west-south-east, 8 no, 9 hand. Returns false, changing
// nothing, for every other type.
bool setSystemCursorForType(int32_t type);

}  // namespace VSTGUI
