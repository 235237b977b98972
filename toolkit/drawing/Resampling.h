// Pictures brought to another size with an area-averaging filter: each new
// pixel is the mean of the old pixels under it, weighted by how much of it
// each covers. Integer arithmetic throughout, so every build makes the same
// pixels.
#pragma once

#include <cstdint>

#include "toolkit/platform/Bitmaps.h"

namespace VSTGUI {

// The picture at width by height. Pixels of the see-through colour take no
// part in the mean; a new pixel more than half covered by them is that
// colour, and no other new pixel is, so a colour key keeps working.
PixelImage resamplePixels(const PixelImage& source, int32_t width, int32_t height, uint32_t seeThrough);

}  // namespace VSTGUI
