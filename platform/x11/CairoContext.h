// How the X11 backend draws: every context is a cairo context, on an image
// surface (offscreen pictures, bitmaps) or on the frame window's own surface.
// What a GDI device context keeps of its own (the window's surface and
// connection) rides along with the cairo context.
#pragma once

#include "platform/x11/WindowLibraries.h"

#include "toolkit/geometry/CRect.h"
#include "toolkit/platform/PlatformTypes.h"

namespace VSTGUI {
namespace x11 {

inline cairo_t* cairoOf(DeviceHandle device) { return static_cast<cairo_t*>(device); }

// Pixel-exact state for GDI's rules: no antialiasing for shapes, and text on
// hinted outlines in whole pixels, as the Windows build shows it.
cairo_t* createCairo(cairo_surface_t* surface);

// Fills whole device pixels [left, right) x [top, bottom) in the source.
void fillPixels(cairo_t* cairo, int32_t left, int32_t top, int32_t right, int32_t bottom);

}  // namespace x11
}  // namespace VSTGUI
