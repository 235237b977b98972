// The pixels of a one-pixel pen line, for the window systems that draw pen
// lines themselves.
#pragma once

#include <cstdlib>

#include "toolkit/geometry/CRect.h"

namespace VSTGUI {

// Calls plot(x, y) for each pixel from one point to another, without the end
// point: Bresenham's walk with GDI's rule of stopping before the last pixel.
template <typename Plot>
void walkPenLine(const CPoint& from, const CPoint& to, Plot plot) {
    const int32_t dx = std::abs(to.x - from.x);
    const int32_t dy = std::abs(to.y - from.y);
    const int32_t stepX = to.x > from.x ? 1 : -1;
    const int32_t stepY = to.y > from.y ? 1 : -1;
    const int32_t steps = dx > dy ? dx : dy;
    int32_t error = (dx > dy ? dx : -dy) / 2;
    int32_t x = from.x, y = from.y;
    for (int32_t i = 0; i < steps; ++i) {
        plot(x, y);
        const int32_t previous = error;
        if (previous > -dx) {
            error -= dy;
            x += stepX;
        }
        if (previous < dy) {
            error += dx;
            y += stepY;
        }
    }
}

}  // namespace VSTGUI
