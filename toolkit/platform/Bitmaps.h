// What a window system does for CBitmap: finding and decoding the module's
// bitmap resources into its own pictures, measuring and freeing them. The
// toolkit keeps the bitmap's state; drawing is each system's own.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/platform/PlatformTypes.h"

namespace VSTGUI {

// The module's bitmap of a 16-bit resource id as a new picture, or null.
GraphicsHandle loadBitmapResource(int32_t resourceId);
// The size of that bitmap without decoding it: true when the module has it.
bool measureBitmapResource(int32_t resourceId, int32_t& width, int32_t& height);
// Sets the size and answers true for a picture the system can measure;
// leaves both alone otherwise.
bool measureBitmap(GraphicsHandle bitmap, int32_t& width, int32_t& height);
void destroyBitmap(GraphicsHandle bitmap);

// A picture's pixels as 0xRRGGBB in top-down rows, for the toolkit's own
// resampling.
struct PixelImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
};
// False when the system cannot read the picture back.
bool readBitmapPixels(GraphicsHandle bitmap, PixelImage& image);
// A new picture of the system's kind holding these pixels, or null.
GraphicsHandle createBitmapFromPixels(const PixelImage& image);

}  // namespace VSTGUI
