// Writes pictures of the editor as PNG files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class PngFile {
public:
    // rgb: width x height pixels, 3 bytes each, rows top to bottom.
    static bool write(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb,
                      std::string& error);
};
