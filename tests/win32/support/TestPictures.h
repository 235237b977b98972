// Pictures made at run time for bitmap tests, in the same pixel format as
// the bitmaps the module loads from its resources (the screen's).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace quavixtest {

// A screen-compatible bitmap of the given size whose pixels come from
// colorAt (0xRRGGBB). The caller owns it.
HBITMAP makePicture(int width, int height, const std::function<uint32_t(int x, int y)>& colorAt);

// The pixels of any bitmap as top-down rows of 0xRRGGBB; empty on failure.
std::vector<uint32_t> readPicture(HBITMAP bitmap, int width, int height);

}  // namespace quavixtest
