#include "toolkit/drawing/PngPicture.h"

#include <climits>
#include <new>

// Only the PNG reader, from memory, and private to this file: the tests and
// the host tool compile their own copy of the decoder.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#include <stb_image.h>

namespace VSTGUI {

namespace {

constexpr int kRgbChannels = 3;
// Far beyond any panel picture; a header that claims more is not ours.
constexpr int kMaxDimension = 1 << 14;

bool fitsDecoder(size_t size) { return size > 0 && size <= size_t(INT_MAX); }

}  // namespace

bool measurePng(const uint8_t* bytes, size_t size, int32_t& width, int32_t& height) {
    if (!bytes || !fitsDecoder(size))
        return false;
    int w = 0, h = 0, channels = 0;
    if (!stbi_info_from_memory(bytes, int(size), &w, &h, &channels) || w <= 0 || h <= 0 || w > kMaxDimension ||
        h > kMaxDimension)
        return false;
    width = w;
    height = h;
    return true;
}

bool decodePng(const uint8_t* bytes, size_t size, PixelImage& image) {
    int32_t width = 0, height = 0;
    if (!measurePng(bytes, size, width, height))
        return false;
    int w = 0, h = 0, channels = 0;
    stbi_uc* rgb = stbi_load_from_memory(bytes, int(size), &w, &h, &channels, kRgbChannels);
    if (!rgb)
        return false;
    bool decoded = false;
    try {
        image.pixels.resize(size_t(w) * size_t(h));
        const stbi_uc* in = rgb;
        for (uint32_t& pixel : image.pixels) {
            pixel = uint32_t(in[0]) << 16 | uint32_t(in[1]) << 8 | uint32_t(in[2]);
            in += kRgbChannels;
        }
        image.width = w;
        image.height = h;
        decoded = true;
    } catch (const std::bad_alloc&) {
        // Drawn from a window procedure: no exception may leave.
    }
    stbi_image_free(rgb);
    return decoded;
}

}  // namespace VSTGUI
