#include "toolkit/drawing/CBitmap.h"

#include <cairo.h>

#include <mutex>
#include <new>
#include <vector>

#include "toolkit/drawing/CDrawContext.h"
#include "toolkit/drawing/PngPicture.h"
#include "toolkit/platform/Bitmaps.h"
#include "platform/x11/CairoContext.h"
#include "platform/x11/EmbeddedBitmaps.h"
#include "platform/x11/WindowLibraries.h"

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

// The picture as the X server keeps it for one connection, made at its first
// paint on a window of that connection: a paint then copies inside the
// server instead of sending every pixel again, which is what a window's
// redraw at a large scale would otherwise spend its time on. Pictures are
// shared by every editor of the module, each with a connection of its own,
// so a picture keeps one copy per connection; a copy whose connection has
// closed (its device finished) goes at the next look.
struct ServerCopy {
    cairo_device_t* device;
    cairo_surface_t* surface;
};
using ServerCopies = std::vector<ServerCopy>;
const cairo_user_data_key_t kServerCopyKey = {};

void dropServerCopies(void* data) {
    ServerCopies* copies = static_cast<ServerCopies*>(data);
    for (const ServerCopy& copy : *copies)
        cairo_surface_destroy(copy.surface);
    delete copies;
}

// The picture's copies, made empty at the first look; null without memory.
ServerCopies* serverCopiesOf(cairo_surface_t* picture) {
    ServerCopies* copies = static_cast<ServerCopies*>(cairo_surface_get_user_data(picture, &kServerCopyKey));
    if (copies)
        return copies;
    copies = new (std::nothrow) ServerCopies;
    if (copies &&
        cairo_surface_set_user_data(picture, &kServerCopyKey, copies, dropServerCopies) != CAIRO_STATUS_SUCCESS) {
        delete copies;
        copies = nullptr;
    }
    return copies;
}

cairo_surface_t* serverCopy(cairo_surface_t* picture, cairo_surface_t* target) {
    if (cairo_surface_get_type(target) != CAIRO_SURFACE_TYPE_XLIB)
        return picture;
    cairo_device_t* device = cairo_surface_get_device(target);
    ServerCopies* copies = serverCopiesOf(picture);
    if (!copies)
        return picture;
    for (auto copy = copies->begin(); copy != copies->end();) {
        if (copy->device == device)
            return copy->surface;
        if (cairo_device_status(copy->device) == CAIRO_STATUS_DEVICE_FINISHED) {
            cairo_surface_destroy(copy->surface);
            copy = copies->erase(copy);
        } else {
            ++copy;
        }
    }
    const int width = cairo_image_surface_get_width(picture);
    const int height = cairo_image_surface_get_height(picture);
    const cairo_content_t content = cairo_image_surface_get_format(picture) == CAIRO_FORMAT_ARGB32
                                        ? CAIRO_CONTENT_COLOR_ALPHA
                                        : CAIRO_CONTENT_COLOR;
    cairo_surface_t* copy = cairo_surface_create_similar(target, content, width, height);
    cairo_t* painter = cairo_create(copy);
    cairo_set_operator(painter, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(painter, picture, 0, 0);
    cairo_paint(painter);
    const bool made =
        cairo_status(painter) == CAIRO_STATUS_SUCCESS && cairo_surface_status(copy) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(painter);
    bool kept = false;
    if (made) {
        try {
            copies->push_back(ServerCopy{device, copy});
            kept = true;
        } catch (const std::bad_alloc&) {
            // Drawn from a window procedure: no exception may leave.
        }
    }
    if (!kept) {
        cairo_surface_destroy(copy);
        return picture;
    }
    return copy;
}

// Editors on different threads may draw the same shared picture: its copies
// are made and looked up by one of them at a time.
std::mutex& pictureCopiesLock() {
    static std::mutex lock;
    return lock;
}

// Paints the picture onto the device rectangle, its source point at the top-left.
void paintPicture(CDrawContext* context, const CBitmap::DevicePlacement& placement, cairo_surface_t* picture,
                  double opacity) {
    cairo_t* cairo = x11::cairoOf(context->deviceContext);
    const CRect& dest = placement.dest;
    picture = serverCopy(picture, cairo_get_target(cairo));
    cairo_save(cairo);
    cairo_set_source_surface(cairo, picture, dest.left - placement.source.x, dest.top - placement.source.y);
    cairo_pattern_set_filter(cairo_get_source(cairo), CAIRO_FILTER_NEAREST);
    cairo_rectangle(cairo, dest.left, dest.top, dest.width(), dest.height());
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
    PixelImage pixels;
    if (!embedded || !decodePng(embedded->bytes, embedded->size, pixels))
        return nullptr;
    return createBitmapFromPixels(pixels);
}

bool measureBitmapResource(int32_t resourceId, int32_t& width, int32_t& height) {
    const EmbeddedBitmap* embedded = findEmbeddedBitmap(resourceId);
    return embedded && measurePng(embedded->bytes, embedded->size, width, height);
}

bool measureBitmap(GraphicsHandle bitmap, int32_t& width, int32_t& height) {
    if (cairo_surface_get_type(surfaceOf(bitmap)) != CAIRO_SURFACE_TYPE_IMAGE)
        return false;
    width = cairo_image_surface_get_width(surfaceOf(bitmap));
    height = cairo_image_surface_get_height(surfaceOf(bitmap));
    return true;
}

void destroyBitmap(GraphicsHandle bitmap) { cairo_surface_destroy(surfaceOf(bitmap)); }

bool readBitmapPixels(GraphicsHandle bitmap, PixelImage& image) {
    cairo_surface_t* surface = surfaceOf(bitmap);
    if (!measureBitmap(bitmap, image.width, image.height))
        return false;
    cairo_surface_flush(surface);
    const uint8_t* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    if (!data)
        return false;
    image.pixels.resize(size_t(image.width) * size_t(image.height));
    for (int32_t y = 0; y < image.height; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride));
        for (int32_t x = 0; x < image.width; ++x)
            image.pixels[size_t(y) * size_t(image.width) + size_t(x)] = row[x] & 0xFFFFFF;
    }
    return true;
}

GraphicsHandle createBitmapFromPixels(const PixelImage& image) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, image.width, image.height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    cairo_surface_flush(surface);
    uint8_t* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int32_t y = 0; y < image.height; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(data + size_t(y) * size_t(stride));
        for (int32_t x = 0; x < image.width; ++x)
            row[x] = image.pixels[size_t(y) * size_t(image.width) + size_t(x)];
    }
    cairo_surface_mark_dirty(surface);
    return surface;
}

void CBitmap::draw(CDrawContext* context, const CRect& rect, const CPoint& source) {
    DevicePlacement placement;
    if (!context || !context->deviceContext || !placeOnDevice(context, rect, source, placement))
        return;
    std::lock_guard<std::mutex> guard(pictureCopiesLock());
    paintPicture(context, placement, surfaceOf(placement.picture), 1.0);
}

void CBitmap::drawTransparent(CDrawContext* context, const CRect& rect, const CPoint& source) {
    DevicePlacement placement;
    if (!context || !context->deviceContext || !placeOnDevice(context, rect, source, placement))
        return;
    // Cairo's pixels are 0xRRGGBB, the device colour's are 0xBBGGRR.
    const uint32_t key =
        uint32_t(transparentColor.red) << 16 | uint32_t(transparentColor.green) << 8 | transparentColor.blue;
    std::lock_guard<std::mutex> guard(pictureCopiesLock());
    if (cairo_surface_t* copy = keyedCopy(surfaceOf(placement.picture), key))
        paintPicture(context, placement, copy, 1.0);
}

void CBitmap::drawAlphaBlend(CDrawContext* context, const CRect& rect, const CPoint& source, uint8_t opacity) {
    DevicePlacement placement;
    if (!context || !context->deviceContext || !placeOnDevice(context, rect, source, placement))
        return;
    std::lock_guard<std::mutex> guard(pictureCopiesLock());
    paintPicture(context, placement, surfaceOf(placement.picture), opacity / 255.0);
}

}  // namespace VSTGUI
