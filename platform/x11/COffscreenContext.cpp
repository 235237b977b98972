#include "toolkit/drawing/COffscreenContext.h"

#include <cairo.h>

#include <algorithm>

#include "platform/x11/CairoContext.h"

namespace VSTGUI {

// The state needs no handing over: cairo takes colours and fonts when it draws.
void COffscreenContext::createBitmapDevice() {
    // The window's pixels are 24-bit colour; so are ours.
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, std::max(0, deviceWidth), std::max(0, deviceHeight));
    window = surface;
    deviceContext = x11::createCairo(surface);
}

COffscreenContext::~COffscreenContext() {
    if (deviceContext) {
        cairo_destroy(x11::cairoOf(deviceContext));
        deviceContext = nullptr;
    }
    if (ownsBitmap && window)
        cairo_surface_destroy(static_cast<cairo_surface_t*>(window));
}

}  // namespace VSTGUI
