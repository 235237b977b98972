// What a window system does for CBitmap: finding and decoding the module's
// bitmap resources into its own pictures, measuring and freeing them. The
// toolkit keeps the bitmap's state; drawing is each system's own.
#pragma once

#include <cstdint>

#include "toolkit/platform/PlatformTypes.h"

namespace VSTGUI {

// The module's bitmap of a 16-bit resource id as a new picture, or null.
GraphicsHandle loadBitmapResource(int32_t resourceId);
// Sets the size and answers true for a picture the system can measure;
// leaves both alone otherwise.
bool measureBitmap(GraphicsHandle bitmap, int32_t& width, int32_t& height);
void destroyBitmap(GraphicsHandle bitmap);

}  // namespace VSTGUI
