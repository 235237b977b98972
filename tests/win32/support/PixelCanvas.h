// A 32-bit picture in a memory device: tests hand its device to a drawing
// context, draw through the toolkit and read every pixel back.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include <gtest/gtest.h>

namespace quavixtest {

class PixelCanvas {
public:
    // Colours here are 0xRRGGBB, as rgb() in WindowPixels.h makes them.
    PixelCanvas(int width, int height, uint32_t background);
    ~PixelCanvas();
    PixelCanvas(const PixelCanvas&) = delete;
    PixelCanvas& operator=(const PixelCanvas&) = delete;

    HDC device() const { return memoryDevice; }
    int width() const { return columns; }
    int height() const { return rows; }

    uint32_t at(int x, int y) const;  // 0xFFFFFFFF outside
    void fill(uint32_t color);
    void fill(const std::function<uint32_t(int x, int y)>& colorAt);

    // The smallest rectangle (right and bottom exclusive) holding every
    // pixel that differs from the given colour; empty when there is none.
    RECT boundsNotOf(uint32_t color) const;
    int count(uint32_t color) const;

private:
    uint32_t* pixelAddress(int x, int y) const;

    int columns;
    int rows;
    HDC memoryDevice = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previousBitmap = nullptr;
    uint32_t* bits = nullptr;
};

// Every pixel of the canvas against the expected colour at its place; the
// message names the first few that differ.
::testing::AssertionResult pixelsAre(const PixelCanvas& canvas,
                                     const std::function<uint32_t(int x, int y)>& expected);

// Whether first <= value <= last: pixel rows and columns, both ends counted.
constexpr bool inside(int value, int first, int last) { return value >= first && value <= last; }

// The Win32 colour value of 0xRRGGBB.
constexpr COLORREF toColorRef(uint32_t color) {
    return RGB((color >> 16) & 0xFFu, (color >> 8) & 0xFFu, color & 0xFFu);
}

}  // namespace quavixtest
