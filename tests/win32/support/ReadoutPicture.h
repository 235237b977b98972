// Reference pictures made with plain GDI, independent of the toolkit, to
// compare what a window shows against: a framed text box as a read-out
// draws it, the pixels of a bitmap resource of the running program, and a
// slider composed from its two bitmaps.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/support/RegionMatches.h"

namespace quavixtest {

struct ReadoutLook {
    uint32_t back;       // 0xRRGGBB fill
    uint32_t frame;      // 0xRRGGBB one-pixel outline
    uint32_t text;       // 0xRRGGBB text colour
    int fontHeight;      // character height in pixels
    int weight;          // 400 normal, 700 bold
    int frameWidth = 1;  // the outline's thickness in pixels
};

// A width × height box filled with look.back, outlined with look.frame (as
// thick as look.frameWidth) and
// the text centred in it, drawn on a bitmap compatible with the window (so
// text is rendered the way it is on that window's offscreen pictures), as
// top-down rows of 0xRRGGBB.
std::vector<uint32_t> renderReadout(HWND compatibleWith, int width, int height, const ReadoutLook& look,
                                    const char* text);

// The pixels of a bitmap resource of the running program, top-down rows of
// 0xRRGGBB; empty when it is missing. width and height receive its size.
std::vector<uint32_t> resourcePixels(int resourceId, int& width, int& height);

// A bitmap resource's pixels, read once.
struct ResourcePicture {
    explicit ResourcePicture(int resourceId) { pixels = resourcePixels(resourceId, width, height); }
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // count whole rows from the first given, as a picture of their own.
    std::vector<uint32_t> rows(int first, int count) const {
        return std::vector<uint32_t>(pixels.begin() + first * width, pixels.begin() + (first + count) * width);
    }

    std::vector<uint32_t> pixels;
    int width = 0;
    int height = 0;
};

// The editor's slider as it must look, the size of its track: the track,
// with the handle's non-white pixels one column in and handleTop rows down;
// at 2 or 3 made of that scale's bitmaps, with the offsets that many pixels.
std::vector<uint32_t> sliderPicture(int handleTop, int factor = 1);

}  // namespace quavixtest
