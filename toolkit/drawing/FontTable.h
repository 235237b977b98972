// The faces and sizes behind the toolkit's font ids, for the window systems
// that realise them. The faces are those Windows names; elsewhere fontconfig
// maps Arial to Liberation Sans, its metric twin, so text takes the same room.
#pragma once

#include <cstdint>

#include "toolkit/drawing/CColor.h"

namespace VSTGUI {

struct FontFace {
    const char* face;
    int32_t size;  // a character height in pixels, without internal leading
};

// For an id below kNumFonts.
const FontFace& fontFace(int32_t fontId);

// The default font is always bold.
inline bool isBoldFont(int32_t fontId, int32_t style) { return (style & kFontStyleBold) || fontId == kFontDefault; }

}  // namespace VSTGUI
