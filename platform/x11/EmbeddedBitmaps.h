// The module's bitmaps, compiled into it from the files the resource script
// names (cmake/EmbedBitmaps.cmake writes the table), looked up by the same
// resource ids as on Windows.
#pragma once

#include <cstddef>
#include <cstdint>

namespace VSTGUI {

struct EmbeddedBitmap {
    int32_t resourceId;
    const uint8_t* bytes;  // the whole .png file
    size_t size;
};

// Null for an id the module carries no bitmap for.
const EmbeddedBitmap* findEmbeddedBitmap(int32_t resourceId);

}  // namespace VSTGUI
