#include "toolkit/platform/Cursor.h"

#include <windows.h>

namespace VSTGUI {

namespace {

struct CursorForType {
    int32_t type;
    WORD systemCursorId;
};

// Type 7 and every unlisted type mean "the default cursor", which the
// caller restores itself.
constexpr CursorForType kSystemCursors[] = {
    {1, 32514},  // IDC_WAIT
    {2, 32644},  // IDC_SIZEWE
    {3, 32645},  // IDC_SIZENS
    {4, 32646},  // IDC_SIZEALL
    {5, 32643},  // IDC_SIZENESW
    {6, 32642},  // IDC_SIZENWSE
    {8, 32648},  // IDC_NO
    {9, 32649},  // IDC_HAND
};

}  // namespace

CPoint getCursorScreenPosition() {
    POINT position = {0, 0};
    GetCursorPos(&position);
    return CPoint(position.x, position.y);
}

CursorHandle getCurrentCursor() { return GetCursor(); }

void setCurrentCursor(CursorHandle cursor) { SetCursor(static_cast<HCURSOR>(cursor)); }

bool setSystemCursorForType(int32_t type) {
    for (const CursorForType& entry : kSystemCursors) {
        if (entry.type == type) {
            SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(entry.systemCursorId)));
            return true;
        }
    }
    return false;
}

}  // namespace VSTGUI
