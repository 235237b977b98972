// Toolkit units and device pixels. Views keep their layout in toolkit units;
// a frame drawn at a scale factor puts the unit square at (x, y) on the device
// pixels [round(x * f), round((x + 1) * f)), so neighbouring rectangles still
// share their edges and a factor of 1 changes nothing.
#pragma once

#include <cmath>
#include <cstdint>

#include "toolkit/geometry/CRect.h"

namespace VSTGUI {

// The factors a frame is drawn at; anything outside is brought inside.
constexpr double kMinScaleFactor = 1.0;
constexpr double kMaxScaleFactor = 3.0;

// A finite factor within the range; anything else (NaN, infinities) is 1.
inline double clampScaleFactor(double factor) {
    if (!std::isfinite(factor))
        return kMinScaleFactor;
    return factor < kMinScaleFactor ? kMinScaleFactor : (factor > kMaxScaleFactor ? kMaxScaleFactor : factor);
}

// A factor written as a plain decimal ("1.5", "2"), read the same in every
// locale; 0 for anything else, or for a factor that is not positive.
inline double parseScaleFactor(const char* text) {
    if (!text)
        return 0.0;
    double value = 0.0;
    bool digits = false;
    for (; *text >= '0' && *text <= '9'; ++text, digits = true)
        value = value * 10.0 + (*text - '0');
    if (*text == '.') {
        double unit = 0.1;
        for (++text; *text >= '0' && *text <= '9'; ++text, unit /= 10.0, digits = true)
            value += (*text - '0') * unit;
    }
    return digits && *text == 0 && value > 0.0 && value < 1e6 ? value : 0.0;
}

inline int32_t scaleCoordinate(int32_t value, double factor) {
    return static_cast<int32_t>(std::floor(value * factor + 0.5));
}

inline CPoint scalePoint(const CPoint& point, double factor) {
    return CPoint(scaleCoordinate(point.x, factor), scaleCoordinate(point.y, factor));
}

inline CRect scaleRect(const CRect& rect, double factor) {
    return CRect(scaleCoordinate(rect.left, factor), scaleCoordinate(rect.top, factor),
                 scaleCoordinate(rect.right, factor), scaleCoordinate(rect.bottom, factor));
}

// The unit whose pixels include this one: the last u with scaleCoordinate(u) <= device.
inline int32_t unscaleCoordinate(int32_t device, double factor) {
    return static_cast<int32_t>(std::ceil((device + 0.5) / factor)) - 1;
}

inline CPoint unscalePoint(const CPoint& device, double factor) {
    return CPoint(unscaleCoordinate(device.x, factor), unscaleCoordinate(device.y, factor));
}

// The units that cover every pixel of a device rectangle, partly covered
// ones included (for repainting what the device asks for).
inline CRect unscaleRectOutward(const CRect& device, double factor) {
    return CRect(unscaleCoordinate(device.left, factor), unscaleCoordinate(device.top, factor),
                 unscaleCoordinate(device.right - 1, factor) + 1, unscaleCoordinate(device.bottom - 1, factor) + 1);
}

}  // namespace VSTGUI
