// Reference pictures made with plain GDI, independent of the toolkit, to
// compare what a window shows against: a framed text box as a read-out
// draws it, and the pixels of a bitmap resource of the running program.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace quavixtest {

struct ReadoutLook {
    uint32_t back;   // 0xRRGGBB fill
    uint32_t frame;  // 0xRRGGBB one-pixel outline
    uint32_t text;   // 0xRRGGBB text colour
    int fontHeight;  // character height in pixels
    int weight;      // 400 normal, 700 bold
};

// A width × height box filled with look.back, outlined with look.frame and
// the text centred in it, drawn on a bitmap compatible with the window (so
// text is rendered the way it is on that window's offscreen pictures), as
// top-down rows of 0xRRGGBB.
std::vector<uint32_t> renderReadout(HWND compatibleWith, int width, int height, const ReadoutLook& look,
                                    const char* text);

// The pixels of a bitmap resource of the running program, top-down rows of
// 0xRRGGBB; empty when it is missing. width and height receive its size.
std::vector<uint32_t> resourcePixels(int resourceId, int& width, int& height);

}  // namespace quavixtest
