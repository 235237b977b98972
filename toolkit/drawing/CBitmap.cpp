// The bitmap's life, the same on every window system: each system loads,
// measures and frees its own pictures (toolkit/platform/Bitmaps.h) and
// draws them in its own file.
#include "toolkit/drawing/CBitmap.h"

#include <cmath>
#include <new>

#include "toolkit/drawing/CDrawContext.h"
#include "toolkit/drawing/Resampling.h"
#include "toolkit/drawing/SharedPictures.h"
#include "toolkit/platform/Bitmaps.h"

namespace VSTGUI {

namespace {

uint32_t seeThroughOf(const CColor& color) {
    return uint32_t(color.red) << 16 | uint32_t(color.green) << 8 | uint32_t(color.blue);
}

}  // namespace

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
    dropScaledPicture();
    if (bitmapHandle)
        releasePicture(bitmapHandle);
    bitmapHandle = nullptr;
    sharedId = 0;
    width = 0;
    height = 0;
}

void CBitmap::releasePicture(GraphicsHandle picture) const {
    if (sharedId)
        SharedPictures::release(picture);
    else
        destroyBitmap(picture);
}

bool CBitmap::loadFromResource(int32_t id) {
    dispose();
    // Resource ids are 16 bits wide; the same ids name the pictures everywhere.
    const int32_t shortId = id & 0xFFFF;
    if (!measureBitmapResource(shortId, width, height) || width <= 0 || height <= 0) {
        width = height = 0;
        return false;
    }
    sharedId = shortId;
    return true;
}

GraphicsHandle CBitmap::getHandle() {
    if (!bitmapHandle && sharedId) {
        const int32_t id = sharedId;
        bitmapHandle = SharedPictures::acquire({id, 1.0, 0}, [id] { return loadBitmapResource(id); });
    }
    return bitmapHandle;
}

bool CBitmap::placeOnDevice(const CDrawContext* context, const CRect& rect, const CPoint& source,
                            DevicePlacement& placement) {
    if (!context || !getHandle())
        return false;
    const double factor = context->getScaleFactor();
    placement.picture = pictureForScale(factor);
    placement.dest = context->toDevice(rect);
    placement.source = scalePoint(source, factor);
    return placement.picture != nullptr;
}

GraphicsHandle CBitmap::pictureForScale(double factor) {
    if (factor == 1.0)
        return bitmapHandle;
    if (scaledHandle && scaledFactor == factor && scaledSeeThrough == transparentColor)
        return scaledHandle;
    dropScaledPicture();
    if (sharedId) {
        const PictureKey key = {sharedId, factor, seeThroughOf(transparentColor)};
        scaledHandle = SharedPictures::acquire(key, [this, factor] { return makeScaledPicture(factor); });
    } else {
        scaledHandle = makeScaledPicture(factor);
    }
    scaledFactor = factor;
    scaledSeeThrough = transparentColor;
    // Without memory for a sharper picture the 1x one still shows, small.
    return scaledHandle ? scaledHandle : bitmapHandle;
}

// The module's set for the next whole factor up, as it is when the factor
// is whole, else brought down to size; the 1x picture brought up where the
// module has no such set.
GraphicsHandle CBitmap::makeScaledPicture(double factor) const {
    const int32_t targetWidth = scaleCoordinate(width, factor);
    const int32_t targetHeight = scaleCoordinate(height, factor);
    int32_t set = static_cast<int32_t>(std::ceil(factor));
    set = set > kLargestScaledSet ? kLargestScaledSet : set;
    GraphicsHandle larger = sharedId ? loadBitmapResource(sharedId + set * kScaledSetIdStep) : nullptr;
    int32_t largerWidth = 0, largerHeight = 0;
    if (larger && (!measureBitmap(larger, largerWidth, largerHeight) || largerWidth != width * set ||
                   largerHeight != height * set)) {
        destroyBitmap(larger);  // not this bitmap's set: ignored
        larger = nullptr;
    }
    if (larger && largerWidth == targetWidth && largerHeight == targetHeight)
        return larger;
    const uint32_t seeThrough = seeThroughOf(transparentColor);
    GraphicsHandle result = nullptr;
    try {
        PixelImage pixels;
        if (readBitmapPixels(larger ? larger : bitmapHandle, pixels))
            result = createBitmapFromPixels(resamplePixels(pixels, targetWidth, targetHeight, seeThrough));
    } catch (const std::bad_alloc&) {
        // Drawn from a window procedure: no exception may leave.
    }
    if (larger)
        destroyBitmap(larger);
    return result;
}

void CBitmap::dropScaledPicture() {
    if (scaledHandle)
        releasePicture(scaledHandle);
    scaledHandle = nullptr;
    scaledFactor = 1.0;
}

bool CBitmap::loadFromPath(const void* /*platformPath*/) {
    dispose();
    return false;  // pictures come from the module's resources only
}

}  // namespace VSTGUI
