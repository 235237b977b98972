// Pictures made at run time for bitmap tests, in the same pixel format as
// the bitmaps the module loads from its resources (the screen's).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace quavixtest {

// The header of a 32-bit top-down picture of that size, as GDI's DIB calls
// take it.
BITMAPINFO topDownInfo(int width, int height);

// A screen-compatible bitmap of the given size whose pixels come from
// colorAt (0xRRGGBB). The caller owns it.
HBITMAP makePicture(int width, int height, const std::function<uint32_t(int x, int y)>& colorAt);

// The pixels of any bitmap as top-down rows of 0xRRGGBB; empty on failure.
std::vector<uint32_t> readPicture(HBITMAP bitmap, int width, int height);

}  // namespace quavixtest
