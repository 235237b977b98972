#include "platform/x11/BmpDecoder.h"

#include <cstring>
#include <vector>

namespace VSTGUI {
namespace x11 {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderMinSize = 40;
constexpr uint32_t kUncompressed = 0;       // BI_RGB
constexpr uint32_t kBitFields = 3;          // BI_BITFIELDS, read as plain 32-bit BGRX
constexpr int32_t kMaxDimension = 1 << 14;  // far beyond any panel picture

uint32_t read16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t read32(const uint8_t* p) { return read16(p) | read16(p + 2) << 16; }

}  // namespace

cairo_surface_t* decodeBmp(const uint8_t* bytes, size_t size) {
    if (!bytes || size < kFileHeaderSize + kInfoHeaderMinSize || bytes[0] != 'B' || bytes[1] != 'M')
        return nullptr;
    const uint32_t pixelOffset = read32(bytes + 10);
    const uint8_t* info = bytes + kFileHeaderSize;
    const uint32_t infoSize = read32(info);
    if (infoSize < kInfoHeaderMinSize || kFileHeaderSize + infoSize > size)
        return nullptr;
    const int32_t width = int32_t(read32(info + 4));
    const int32_t rawHeight = int32_t(read32(info + 8));
    const uint32_t bitsPerPixel = read16(info + 14);
    const uint32_t compression = read32(info + 16);
    uint32_t paletteSize = read32(info + 32);
    const bool topDown = rawHeight < 0;
    const int32_t height = topDown ? -rawHeight : rawHeight;
    if (width <= 0 || height <= 0 || width > kMaxDimension || height > kMaxDimension)
        return nullptr;
    if (!(compression == kUncompressed || (compression == kBitFields && bitsPerPixel == 32)))
        return nullptr;
    if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8 && bitsPerPixel != 24 && bitsPerPixel != 32)
        return nullptr;

    // The palette follows the info header: blue, green, red, unused.
    std::vector<uint32_t> palette;
    if (bitsPerPixel <= 8) {
        if (paletteSize == 0 || paletteSize > (1u << bitsPerPixel))
            paletteSize = 1u << bitsPerPixel;
        const size_t paletteStart = kFileHeaderSize + infoSize;
        if (paletteStart + size_t(paletteSize) * 4 > size)
            return nullptr;
        palette.resize(1u << bitsPerPixel, 0);
        for (uint32_t i = 0; i < paletteSize; ++i) {
            const uint8_t* entry = bytes + paletteStart + size_t(i) * 4;
            palette[i] = uint32_t(entry[2]) << 16 | uint32_t(entry[1]) << 8 | entry[0];
        }
    }
    const size_t stride = ((size_t(width) * bitsPerPixel + 31) / 32) * 4;
    if (pixelOffset > size || stride * size_t(height) > size - pixelOffset)
        return nullptr;

    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    cairo_surface_flush(surface);
    uint8_t* pixels = cairo_image_surface_get_data(surface);
    const int outStride = cairo_image_surface_get_stride(surface);
    for (int32_t row = 0; row < height; ++row) {
        const uint8_t* in = bytes + pixelOffset + stride * size_t(topDown ? row : height - 1 - row);
        uint32_t* out = reinterpret_cast<uint32_t*>(pixels + size_t(row) * size_t(outStride));
        for (int32_t x = 0; x < width; ++x) {
            switch (bitsPerPixel) {
            case 1:
                out[x] = palette[(in[x / 8] >> (7 - x % 8)) & 1];
                break;
            case 4:
                out[x] = palette[(in[x / 2] >> (x % 2 ? 0 : 4)) & 0xF];
                break;
            case 8:
                out[x] = palette[in[x]];
                break;
            case 24:
                out[x] = uint32_t(in[x * 3 + 2]) << 16 | uint32_t(in[x * 3 + 1]) << 8 | in[x * 3];
                break;
            default:
                out[x] = uint32_t(in[x * 4 + 2]) << 16 | uint32_t(in[x * 4 + 1]) << 8 | in[x * 4];
                break;
            }
        }
    }
    cairo_surface_mark_dirty(surface);
    return surface;
}

}  // namespace x11
}  // namespace VSTGUI
