#include "toolkit/drawing/COffscreenContext.h"

#include <X11/Xlib.h>
#include <cairo-xlib.h>
#include <cairo.h>

#include <algorithm>
#include <new>

#include "platform/x11/CairoContext.h"
#include "platform/x11/X11Windows.h"
#include "toolkit/views/CFrame.h"
#include "platform/x11/WindowLibraries.h"

namespace VSTGUI {

namespace {

// A pixmap of ours, freed with the surface while its connection is still
// open; once the connection is closed the server has freed it already.
struct OwnedPixmap {
    Display* display;
    Pixmap pixmap;
    Window window;  // whose connection it is
};
const cairo_user_data_key_t kOwnedPixmapKey = {};

// A picture kept in the X server beside the frame's window: copying it to
// the window, and drawing the bitmaps the server already holds into it, stay
// inside the server, where a picture in our memory would travel whole to
// the server at every paint (four times the bytes at twice the scale).
cairo_surface_t* pixmapSurface(const CFrame* frame, int32_t width, int32_t height) {
    x11::FrameWindowState* state = frame ? x11::findFrameWindow(x11::toWindow(frame->getSystemWindow())) : nullptr;
    if (!state || state->destroyed || width <= 0 || height <= 0)
        return nullptr;
    Display* display = state->display;
    x11::ErrorTrap trap(display);
    const Pixmap pixmap = XCreatePixmap(display, state->window, unsigned(width), unsigned(height),
                                        unsigned(DefaultDepth(display, DefaultScreen(display))));
    XSync(display, False);
    if (trap.failed() || !pixmap)
        return nullptr;
    cairo_surface_t* surface = cairo_xlib_surface_create(display, pixmap, state->visual, width, height);
    OwnedPixmap* owned = new (std::nothrow) OwnedPixmap{display, pixmap, state->window};
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS || !owned) {
        cairo_surface_destroy(surface);
        delete owned;
        XFreePixmap(display, pixmap);
        return nullptr;
    }
    cairo_surface_set_user_data(surface, &kOwnedPixmapKey, owned, [](void* data) {
        OwnedPixmap* owned = static_cast<OwnedPixmap*>(data);
        if (x11::findFrameWindow(owned->window))
            XFreePixmap(owned->display, owned->pixmap);
        delete owned;
    });
    return surface;
}

}  // namespace

// The state needs no handing over: cairo takes colours and fonts when it draws.
void COffscreenContext::createBitmapDevice() {
    cairo_surface_t* surface = pixmapSurface(frame, deviceWidth, deviceHeight);
    // Without a window, in our memory; the window's pixels are 24-bit colour, so are ours.
    if (!surface)
        surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, std::max(0, deviceWidth), std::max(0, deviceHeight));
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
