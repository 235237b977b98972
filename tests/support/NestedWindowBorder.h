// Lets a test choose the border of the windows a host nests the editor in,
// to reproduce other systems' window arrangements on this one. Production
// code reads the value and no production header shows it.
#pragma once

#include <cstdint>

namespace VSTGUI {
// Negative: the window system's own answer.
extern int32_t nestedWindowBorderForTests;
}  // namespace VSTGUI

namespace quavixtest {

inline void overrideNestedWindowBorder(int32_t border) {
    VSTGUI::nestedWindowBorderForTests = border < 0 ? -1 : border;
}

}  // namespace quavixtest
