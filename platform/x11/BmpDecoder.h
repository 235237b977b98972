// Uncompressed Windows bitmaps (1, 4, 8, 24 and 32 bits a pixel, palettes
// included, either row order) into 24-bit cairo pictures.
#pragma once

#include <cairo.h>

#include <cstddef>
#include <cstdint>

namespace VSTGUI {
namespace x11 {

// A new RGB24 image surface, or null for anything but a well-formed
// uncompressed bitmap file.
cairo_surface_t* decodeBmp(const uint8_t* bytes, size_t size);

}  // namespace x11
}  // namespace VSTGUI
