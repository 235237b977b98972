// The pixels a window shows, read back from its device context.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "toolkit/drawing/CColor.h"

namespace quavixtest {

class WindowPixels {
public:
    explicit WindowPixels(HWND window);

    // The colour at a client point as 0xRRGGBB; 0xFFFFFFFF outside.
    uint32_t at(int x, int y) const;
    int width() const { return columns; }
    int height() const { return rows; }

private:
    int columns = 0;
    int rows = 0;
    std::vector<uint32_t> pixels;  // top-down rows of 0x00RRGGBB
};

// 0xRRGGBB of a colour given by its parts, or of a toolkit colour (whose
// alpha never reaches a device).
constexpr uint32_t rgb(uint32_t red, uint32_t green, uint32_t blue) {
    return (red << 16) | (green << 8) | blue;
}
constexpr uint32_t rgb(const VSTGUI::CColor& color) { return rgb(color.red, color.green, color.blue); }

constexpr uint32_t kWhite = rgb(255, 255, 255);
constexpr uint32_t kBlack = rgb(0, 0, 0);
constexpr uint32_t kRed = rgb(255, 0, 0);
constexpr uint32_t kGreen = rgb(0, 255, 0);
constexpr uint32_t kBlue = rgb(0, 0, 255);

}  // namespace quavixtest
