// Colours, the font table ids, text alignments and mouse state bits.
#pragma once

#include <cstdint>

namespace VSTGUI {

struct CColor {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
    uint8_t alpha;  // carried and compared, never passed to the device

    bool operator==(const CColor& other) const {
        return red == other.red && green == other.green && blue == other.blue && alpha == other.alpha;
    }
    bool operator!=(const CColor& other) const { return !(*this == other); }
    // The device colour: red + 256 green + 65536 blue; alpha dropped.
    uint32_t deviceColor() const { return red | (green << 8) | (uint32_t(blue) << 16); }
};
static_assert(sizeof(CColor) == 4, "CColor is four bytes without gaps");
// Byte-aligned, so a colour may directly follow a one-byte field.
static_assert(alignof(CColor) == 1, "CColor needs no alignment of its own");

constexpr CColor kColorTransparent = {255, 255, 255, 0};
constexpr CColor kColorBlack = {0, 0, 0, 255};
constexpr CColor kColorWhite = {255, 255, 255, 255};
constexpr CColor kColorGrey = {127, 127, 127, 255};
constexpr CColor kColorRed = {255, 0, 0, 255};
constexpr CColor kColorGreen = {0, 255, 0, 255};
constexpr CColor kColorBlue = {0, 0, 255, 255};
constexpr CColor kColorYellow = {255, 255, 0, 255};
constexpr CColor kColorMagenta = {255, 0, 255, 255};
constexpr CColor kColorCyan = {0, 255, 255, 255};

enum CFont : int32_t {
    kFontDefault = 0,
    kFontVeryBig,
    kFontBig,
    kFontNormal,
    kFontSmall,
    kFontSmaller,
    kFontVerySmall,
    kFontSymbol,
    kNumFonts,
};

enum CFontStyle : int32_t {
    kFontStyleBold = 1,
    kFontStyleItalic = 2,
    kFontStyleUnderline = 4,
};

enum CHoriTxtAlign : int32_t {
    kAlignLeft = 0,
    kAlignCenter = 1,
    kAlignRight = 2,
};

enum CMouseState : int32_t {
    kButtonLeft = 1,
    kButtonMiddle = 2,
    kButtonRight = 4,
    kModifierShift = 8,
    kModifierControl = 16,
    kModifierAlt = 32,
};

}  // namespace VSTGUI
