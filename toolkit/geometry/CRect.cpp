#include "toolkit/geometry/CRect.h"

#include <algorithm>

namespace VSTGUI {

CRect& CRect::moveBy(int32_t dx, int32_t dy) {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
    return *this;
}

CRect& CRect::bound(const CRect& other) {
    left = std::max(left, other.left);
    top = std::max(top, other.top);
    right = std::min(right, other.right);
    bottom = std::min(bottom, other.bottom);
    if (bottom < top)
        bottom = top;
    if (right < left)
        right = left;
    return *this;
}

bool CRect::pointInside(const CPoint& where) const {
    return where.x >= left && where.x <= right && where.y >= top && where.y <= bottom;
}

bool CRect::overlaps(const CRect& other) const {
    return other.right >= left && other.left <= right && other.bottom >= top && other.top <= bottom;
}

bool CRect::operator==(const CRect& other) const {
    return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
}

}  // namespace VSTGUI
