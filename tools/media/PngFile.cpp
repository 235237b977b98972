#include "tools/media/PngFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

// The one place that compiles the image writer. It is third-party code, so
// its own warnings are not ours to fix.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace {

void appendBytes(void* context, void* data, int size) {
    std::vector<uint8_t>* bytes = static_cast<std::vector<uint8_t>*>(context);
    bytes->insert(bytes->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

}  // namespace

bool PngFile::write(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb,
                    std::string& error) {
    const int kChannels = 3;
    std::vector<uint8_t> encoded;
    if (width <= 0 || height <= 0 || rgb.size() != static_cast<size_t>(width) * height * kChannels ||
        !stbi_write_png_to_func(appendBytes, &encoded, width, height, kChannels, rgb.data(), width * kChannels)) {
        error = "cannot write '" + path + "': no picture to encode";
        return false;
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = "cannot write '" + path + "': " + std::strerror(errno);
        return false;
    }
    bool written = std::fwrite(encoded.data(), 1, encoded.size(), file) == encoded.size();
    if (std::fclose(file) != 0 || !written) {
        std::remove(path.c_str());
        error = "cannot write '" + path + "': write error";
        return false;
    }
    return true;
}
