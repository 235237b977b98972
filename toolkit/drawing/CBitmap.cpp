// The bitmap's life, the same on every window system: each system loads,
// measures and frees its own pictures (toolkit/platform/Bitmaps.h) and
// draws them in its own file.
#include "toolkit/drawing/CBitmap.h"

#include "toolkit/platform/Bitmaps.h"

namespace VSTGUI {

CBitmap::CBitmap(int32_t id) : resourceId(id) {
    CBitmap::loadFromResource(id);
    transparentColor = kColorTransparent;
}

CBitmap::CBitmap(GraphicsHandle adoptedBitmap) : resourceId(0), bitmapHandle(adoptedBitmap) {
    if (bitmapHandle)
        measureBitmap(bitmapHandle, width, height);
}

CBitmap::~CBitmap() { CBitmap::dispose(); }

void CBitmap::dispose() {
    if (bitmapHandle)
        destroyBitmap(bitmapHandle);
    bitmapHandle = nullptr;
    width = 0;
    height = 0;
}

bool CBitmap::loadFromResource(int32_t id) {
    dispose();
    // Resource ids are 16 bits wide; the same ids name the pictures everywhere.
    bitmapHandle = loadBitmapResource(id & 0xFFFF);
    return bitmapHandle && measureBitmap(bitmapHandle, width, height);
}

bool CBitmap::loadFromPath(const void* /*platformPath*/) {
    dispose();
    return false;  // pictures come from the module's resources only
}

}  // namespace VSTGUI
