#include "tests/fuzz/StubPictures.h"

#include <cstdint>
#include <fstream>
#include <map>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "platform/stub/StubWindows.h"
#include "toolkit/drawing/PngPicture.h"
#include "tests/fuzz/Invariant.h"

namespace quavixfuzz {

namespace {

constexpr uint32_t kGrey = 0x808080;

std::string sourcePath(const std::string& relative) { return std::string(QUAVIX_SOURCE_DIR) + "/" + relative; }

std::string fileText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    require(file.good(), "cannot read %s", path.c_str());
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The words of each line of a file, with quotes and commas as spaces.
std::vector<std::vector<std::string>> wordsByLine(const std::string& text) {
    std::vector<std::vector<std::string>> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        for (char& c : line)
            if (c == '"' || c == ',' || c == '\t' || c == '\r')
                c = ' ';
        std::istringstream words(line);
        lines.emplace_back(std::istream_iterator<std::string>(words), std::istream_iterator<std::string>());
    }
    return lines;
}

bool isBitmapMacro(const std::string& word) { return word.compare(0, 14, "QUAVIX_BITMAP_") == 0; }

// The numbers the identity header gives its bitmap macros.
std::map<std::string, int32_t> bitmapIds() {
    std::map<std::string, int32_t> ids;
    for (const auto& words : wordsByLine(fileText(sourcePath("quavix/QuavixConfig.h"))))
        if (words.size() == 3 && words[0] == "#define" && isBitmapMacro(words[1]))
            ids[words[1]] = std::stoi(words[2]);
    return ids;
}

void registerPicture(int32_t id, const std::string& pngPath) {
    const std::string png = fileText(pngPath);
    VSTGUI::stub::Picture picture;
    require(VSTGUI::measurePng(reinterpret_cast<const uint8_t*>(png.data()), png.size(), picture.width,
                               picture.height),
            "%s is no PNG picture", pngPath.c_str());
    picture.pixels.assign(size_t(picture.width) * size_t(picture.height), kGrey);
    VSTGUI::stub::addPicture(id, picture);
}

}  // namespace

void registerEditorPictures() {
    static bool registered = false;
    if (registered)
        return;
    const std::map<std::string, int32_t> ids = bitmapIds();
    int count = 0;
    for (const auto& words : wordsByLine(fileText(sourcePath("resources/quavix.rc")))) {
        if (words.size() < 3 || !isBitmapMacro(words[0]) || words[1] != "RCDATA")
            continue;
        const auto id = ids.find(words[0]);
        require(id != ids.end(), "quavix.rc names %s, which QuavixConfig.h does not define", words[0].c_str());
        registerPicture(id->second, sourcePath("resources/" + words[2]));
        ++count;
    }
    require(count > 0, "quavix.rc names no bitmap");
    registered = true;
}

}  // namespace quavixfuzz
