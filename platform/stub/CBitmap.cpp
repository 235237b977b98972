// Bitmaps are copies of the pictures registered with the stub, drawn pixel
// by pixel: opaque, without the transparent colour, or blended.
#include "toolkit/drawing/CBitmap.h"

#include "toolkit/drawing/CDrawContext.h"
#include "toolkit/platform/Bitmaps.h"
#include "platform/stub/StubWindows.h"

namespace VSTGUI {

namespace {

const stub::Picture* pictureOf(GraphicsHandle handle) { return static_cast<const stub::Picture*>(handle); }

enum class Mode { opaque, transparent, blend };

// Each pixel of the device rectangle gets the picture's pixel at the source
// point plus its place; pixels outside the picture are left alone.
void drawPicture(CDrawContext* context, const CBitmap::DevicePlacement& placement, Mode mode, uint32_t transparent,
                 uint8_t opacity) {
    stub::Canvas* canvas = static_cast<stub::Canvas*>(context->deviceContext);
    if (!canvas)
        return;
    const stub::Picture* picture = pictureOf(placement.picture);
    const int32_t left = placement.dest.left;
    const int32_t top = placement.dest.top;
    for (int32_t y = 0; y < placement.dest.height(); ++y)
        for (int32_t x = 0; x < placement.dest.width(); ++x) {
            const int32_t fromX = placement.source.x + x, fromY = placement.source.y + y;
            if (fromX < 0 || fromY < 0 || fromX >= picture->width || fromY >= picture->height)
                continue;
            uint32_t pixel = picture->at(fromX, fromY);
            if (mode == Mode::transparent && pixel == transparent)
                continue;
            if (mode == Mode::blend) {
                const uint32_t under = canvas->at(left + x, top + y);
                if (under == 0xFFFFFFFFu)
                    continue;
                uint32_t mixed = 0;
                for (int shift = 0; shift <= 16; shift += 8) {
                    const uint32_t over = (pixel >> shift) & 0xFF, below = (under >> shift) & 0xFF;
                    mixed |= ((over * opacity + below * (255u - opacity) + 127u) / 255u) << shift;
                }
                pixel = mixed;
            }
            canvas->setPixel(left + x, top + y, pixel);
        }
}

}  // namespace

GraphicsHandle loadBitmapResource(int32_t resourceId) {
    const stub::Picture* registered = stub::findPicture(resourceId);
    return registered ? stub::copyPicture(*registered) : nullptr;
}

bool measureBitmapResource(int32_t resourceId, int32_t& width, int32_t& height) {
    const stub::Picture* registered = stub::findPicture(resourceId);
    if (!registered)
        return false;
    width = registered->width;
    height = registered->height;
    return true;
}

bool measureBitmap(GraphicsHandle bitmap, int32_t& width, int32_t& height) {
    const stub::Picture* picture = pictureOf(bitmap);
    if (!picture)
        return false;
    width = picture->width;
    height = picture->height;
    return true;
}

void destroyBitmap(GraphicsHandle bitmap) { stub::freePicture(pictureOf(bitmap)); }

bool readBitmapPixels(GraphicsHandle bitmap, PixelImage& image) {
    const stub::Picture* picture = pictureOf(bitmap);
    if (!picture)
        return false;
    image.width = picture->width;
    image.height = picture->height;
    image.pixels = picture->pixels;
    return true;
}

GraphicsHandle createBitmapFromPixels(const PixelImage& image) {
    if (image.width <= 0 || image.height <= 0)
        return nullptr;
    return stub::copyPicture(stub::Picture{image.width, image.height, image.pixels});
}

void CBitmap::draw(CDrawContext* context, const CRect& rect, const CPoint& source) {
    DevicePlacement placement;
    if (placeOnDevice(context, rect, source, placement))
        drawPicture(context, placement, Mode::opaque, 0, 255);
}

void CBitmap::drawTransparent(CDrawContext* context, const CRect& rect, const CPoint& source) {
    DevicePlacement placement;
    if (placeOnDevice(context, rect, source, placement))
        drawPicture(context, placement, Mode::transparent, stub::rgbOf(transparentColor), 255);
}

void CBitmap::drawAlphaBlend(CDrawContext* context, const CRect& rect, const CPoint& source, uint8_t opacity) {
    DevicePlacement placement;
    if (placeOnDevice(context, rect, source, placement))
        drawPicture(context, placement, Mode::blend, 0, opacity);
}

}  // namespace VSTGUI
