// Points and rectangles as a failed comparison names them, so that tests can
// compare whole geometry records with EXPECT_EQ and still read the values.
#pragma once

#include <ostream>

#include "toolkit/geometry/CRect.h"

namespace VSTGUI {

inline void PrintTo(const CPoint& point, std::ostream* out) { *out << "(" << point.x << ", " << point.y << ")"; }

inline void PrintTo(const CRect& rect, std::ostream* out) {
    *out << "(" << rect.left << ", " << rect.top << ") - (" << rect.right << ", " << rect.bottom << ")";
}

}  // namespace VSTGUI
