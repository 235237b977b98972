// Integer pixel geometry shared by every part of the toolkit. Right and
// bottom edges are exclusive for area and drawing; hit and overlap tests
// elsewhere include them and say so.
#pragma once

#include <cstdint>

namespace VSTGUI {

struct CPoint {
    CPoint() = default;
    CPoint(int32_t x, int32_t y) : x(x), y(y) {}
    bool operator==(const CPoint& other) const { return x == other.x && y == other.y; }
    bool operator!=(const CPoint& other) const { return !(*this == other); }

    int32_t x = 0;
    int32_t y = 0;
};

struct CRect {
    CRect() = default;
    CRect(int32_t left, int32_t top, int32_t right, int32_t bottom)
        : left(left), top(top), right(right), bottom(bottom) {}

    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }

    CRect& moveBy(int32_t dx, int32_t dy);
    // Intersection that never inverts: disjoint rectangles give an empty one
    // at the nearer edge.
    CRect& bound(const CRect& other);
    // Hit test with all four edges inside.
    bool pointInside(const CPoint& where) const;
    // Overlap test with all four edges inside: rectangles that only touch
    // overlap.
    bool overlaps(const CRect& other) const;

    bool operator==(const CRect& other) const;
    bool operator!=(const CRect& other) const { return !(*this == other); }

    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

}  // namespace VSTGUI
