#include "toolkit/drawing/COffscreenContext.h"

#include <cairo.h>

#include <algorithm>

#include "toolkit/views/CFrame.h"
#include "platform/x11/CairoContext.h"

namespace VSTGUI {

COffscreenContext::COffscreenContext(CFrame* frame, int32_t width, int32_t height, const CColor& backgroundColor)
    : CDrawContext(frame, nullptr, nullptr), height(height), width(width), backgroundColor(backgroundColor) {
    clipRect = CRect(std::min(0, width), std::min(0, height), std::max(0, width), std::max(0, height));
    // The window's pixels are 24-bit colour; so are ours.
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, std::max(0, width), std::max(0, height));
    window = surface;
    deviceContext = x11::createCairo(surface);

    setFillColor(backgroundColor);
    setFrameColor(backgroundColor);
    const CRect whole(0, 0, width, height);
    fillRect(whole);
    drawRect(whole);
}

COffscreenContext::~COffscreenContext() {
    if (deviceContext) {
        cairo_destroy(x11::cairoOf(deviceContext));
        deviceContext = nullptr;
    }
    if (ownsBitmap && window)
        cairo_surface_destroy(static_cast<cairo_surface_t*>(window));
}

void COffscreenContext::transferTo(CDrawContext* dest, const CRect& rect, const CPoint& source) {
    if (!dest || !dest->deviceContext || !window)
        return;
    cairo_t* target = x11::cairoOf(dest->deviceContext);
    cairo_surface_t* picture = static_cast<cairo_surface_t*>(window);
    cairo_surface_flush(picture);
    const int32_t x = rect.left + dest->offset.x;
    const int32_t y = rect.top + dest->offset.y;
    cairo_set_source_surface(target, picture, x - source.x, y - source.y);
    x11::fillPixels(target, x, y, x + rect.width(), y + rect.height());
}

}  // namespace VSTGUI
