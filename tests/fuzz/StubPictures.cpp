#include "tests/fuzz/StubPictures.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>

#include "platform/stub/StubWindows.h"
#include "tests/fuzz/Invariant.h"

namespace quavixfuzz {

namespace {

constexpr uint32_t kGrey = 0x808080;
constexpr size_t kBmpWidthOffset = 18;
constexpr size_t kBmpHeightOffset = 22;

std::string sourcePath(const std::string& relative) { return std::string(QUAVIX_SOURCE_DIR) + "/" + relative; }

std::string fileText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    require(file.good(), "cannot read %s", path.c_str());
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

int32_t littleEndian32(const std::string& bytes, size_t offset) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i)
        value |= uint32_t(uint8_t(bytes[offset + i])) << (8 * i);
    return static_cast<int32_t>(value);
}

// The numbers the identity header gives its bitmap macros.
std::map<std::string, int32_t> bitmapIds() {
    const std::string header = fileText(sourcePath("quavix/QuavixConfig.h"));
    const std::regex define("#define (QUAVIX_BITMAP_[A-Z_0-9]+) ([0-9]+)");
    std::map<std::string, int32_t> ids;
    for (std::sregex_iterator it(header.begin(), header.end(), define), end; it != end; ++it)
        ids[(*it)[1]] = std::stoi((*it)[2]);
    return ids;
}

void registerPicture(int32_t id, const std::string& bmpPath) {
    const std::string bmp = fileText(bmpPath);
    require(bmp.size() > kBmpHeightOffset + 4 && bmp.compare(0, 2, "BM") == 0, "%s is no bitmap", bmpPath.c_str());
    VSTGUI::stub::Picture picture;
    picture.width = littleEndian32(bmp, kBmpWidthOffset);
    picture.height = std::abs(littleEndian32(bmp, kBmpHeightOffset));
    picture.pixels.assign(size_t(picture.width) * size_t(picture.height), kGrey);
    VSTGUI::stub::addPicture(id, picture);
}

}  // namespace

void registerEditorPictures() {
    static bool registered = false;
    if (registered)
        return;
    const std::map<std::string, int32_t> ids = bitmapIds();
    const std::string script = fileText(sourcePath("resources/quavix.rc"));
    const std::regex line("(QUAVIX_BITMAP_[A-Z_0-9]+)[ \t]+BITMAP[ \t]+\"([^\"]+)\"");
    int count = 0;
    for (std::sregex_iterator it(script.begin(), script.end(), line), end; it != end; ++it, ++count) {
        const auto id = ids.find((*it)[1]);
        require(id != ids.end(), "quavix.rc names %s, which QuavixConfig.h does not define", (*it)[1].str().c_str());
        registerPicture(id->second, sourcePath("resources/" + (*it)[2].str()));
    }
    require(count > 0, "quavix.rc names no bitmap");
    registered = true;
}

}  // namespace quavixfuzz
