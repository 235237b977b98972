// The module's pictures as it carries them: PNG files, read by the decoder
// of Debian's libstb-dev. A picture's size comes from its header alone, so
// that an editor knows its rectangle without decoding its background.
#pragma once

#include <cstddef>
#include <cstdint>

#include "toolkit/platform/Bitmaps.h"

namespace VSTGUI {

// Sets the size and answers true for a well-formed PNG header; leaves both
// alone otherwise.
bool measurePng(const uint8_t* bytes, size_t size, int32_t& width, int32_t& height);
// The pixels as 0xRRGGBB in top-down rows; false for anything but a whole,
// well-formed PNG file, or without the memory to hold it.
bool decodePng(const uint8_t* bytes, size_t size, PixelImage& image);

}  // namespace VSTGUI
