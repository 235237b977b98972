#include "toolkit/drawing/CBitmap.h"

#include <cairo.h>

#include <new>

#include "toolkit/drawing/CDrawContext.h"
#include "toolkit/platform/Bitmaps.h"
#include "platform/x11/BmpDecoder.h"
#include "platform/x11/CairoContext.h"
#include "platform/x11/EmbeddedBitmaps.h"

namespace VSTGUI {

namespace {

// The bitmap with its transparent colour cut out, made at the first
// transparent draw and again only when the colour changes.
struct KeyedCopy {
    uint32_t key;
    cairo_surface_t* surface;
};
const cairo_user_data_key_t kKeyedCopyKey = {};

cairo_surface_t* surfaceOf(GraphicsHandle handle) { return static_cast<cairo_surface_t*>(handle); }

cairo_surface_t* keyedCopy(cairo_surface_t* picture, uint32_t key) {
    KeyedCopy* cached = static_cast<KeyedCopy*>(cairo_surface_get_user_data(picture, &kKeyedCopyKey));
    if (cached && cached->key == key)
        return cached->surface;
    const int width = cairo_image_surface_get_width(picture);
    const int height = cairo_image_surface_get_height(picture);
    cairo_surface_t* copy = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(copy) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(copy);
        return nullptr;
    }
    cairo_surface_flush(picture);
    cairo_surface_flush(copy);
    const uint8_t* in = cairo_image_surface_get_data(picture);
    uint8_t* out = cairo_image_surface_get_data(copy);
    const int inStride = cairo_image_surface_get_stride(picture);
    const int outStride = cairo_image_surface_get_stride(copy);
    for (int y = 0; y < height; ++y) {
        const uint32_t* source = reinterpret_cast<const uint32_t*>(in + size_t(y) * size_t(inStride));
        uint32_t* dest = reinterpret_cast<uint32_t*>(out + size_t(y) * size_t(outStride));
        for (int x = 0; x < width; ++x) {
            const uint32_t rgb = source[x] & 0xFFFFFF;
            dest[x] = rgb == key ? 0 : (0xFF000000u | rgb);
        }
    }
    cairo_surface_mark_dirty(copy);
    KeyedCopy* entry = new (std::nothrow) KeyedCopy{key, copy};
    if (!entry) {
        cairo_surface_destroy(copy);
        return nullptr;
    }
    // Replacing the user data frees the previous copy through its destroy function.
    cairo_surface_set_user_data(picture, &kKeyedCopyKey, entry, [](void* data) {
        KeyedCopy* old = static_cast<KeyedCopy*>(data);
        cairo_surface_destroy(old->surface);
        delete old;
    });
    return copy;
}

// Paints source onto the context's rectangle, the source's point at its top-left.
void paintPicture(CDrawContext* context, const CRect& rect, const CPoint& source, cairo_surface_t* picture,
                  double opacity) {
    cairo_t* cairo = x11::cairoOf(context->deviceContext);
    const int32_t x = rect.left + context->offset.x;
    const int32_t y = rect.top + context->offset.y;
    cairo_save(cairo);
    cairo_set_source_surface(cairo, picture, x - source.x, y - source.y);
    cairo_pattern_set_filter(cairo_get_source(cairo), CAIRO_FILTER_NEAREST);
    cairo_rectangle(cairo, x, y, rect.width(), rect.height());
    if (opacity >= 1.0) {
        cairo_fill(cairo);
    } else {
        cairo_clip(cairo);
        cairo_paint_with_alpha(cairo, opacity);
    }
    cairo_restore(cairo);
}

}  // namespace

GraphicsHandle loadBitmapResource(int32_t resourceId) {
    const EmbeddedBitmap* embedded = findEmbeddedBitmap(resourceId);
    return embedded ? x11::decodeBmp(embedded->bytes, embedded->size) : nullptr;
}

bool measureBitmap(GraphicsHandle bitmap, int32_t& width, int32_t& height) {
    if (cairo_surface_get_type(surfaceOf(bitmap)) != CAIRO_SURFACE_TYPE_IMAGE)
        return false;
    width = cairo_image_surface_get_width(surfaceOf(bitmap));
    height = cairo_image_surface_get_height(surfaceOf(bitmap));
    return true;
}

void destroyBitmap(GraphicsHandle bitmap) { cairo_surface_destroy(surfaceOf(bitmap)); }

void CBitmap::draw(CDrawContext* context, const CRect& rect, const CPoint& source) {
    if (!bitmapHandle || !context || !context->deviceContext)
        return;
    paintPicture(context, rect, source, surfaceOf(bitmapHandle), 1.0);
}

void CBitmap::drawTransparent(CDrawContext* context, const CRect& rect, const CPoint& source) {
    if (!bitmapHandle || !context || !context->deviceContext)
        return;
    // Cairo's pixels are 0xRRGGBB, the device colour's are 0xBBGGRR.
    const uint32_t key =
        uint32_t(transparentColor.red) << 16 | uint32_t(transparentColor.green) << 8 | transparentColor.blue;
    if (cairo_surface_t* copy = keyedCopy(surfaceOf(bitmapHandle), key))
        paintPicture(context, rect, source, copy, 1.0);
}

void CBitmap::drawAlphaBlend(CDrawContext* context, const CRect& rect, const CPoint& source, uint8_t opacity) {
    if (!bitmapHandle || !context || !context->deviceContext)
        return;
    paintPicture(context, rect, source, surfaceOf(bitmapHandle), opacity / 255.0);
}

}  // namespace VSTGUI
