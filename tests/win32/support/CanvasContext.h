// A drawing context on a fresh pixel canvas, and what a device holds
// selected, for tests that draw through the toolkit and look at the device.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "toolkit/drawing/CDrawContext.h"
#include "tests/win32/support/PixelCanvas.h"

namespace quavixtest {

// The context is released before the canvas it draws into.
struct CanvasContext {
    CanvasContext(int width, int height, uint32_t background)
        : canvas(width, height, background), context(new VSTGUI::CDrawContext(nullptr, nullptr, canvas.device())) {}
    ~CanvasContext() { context->dropReference(); }
    CanvasContext(const CanvasContext&) = delete;
    CanvasContext& operator=(const CanvasContext&) = delete;

    HDC device() const { return canvas.device(); }
    uint32_t at(int x, int y) const { return canvas.at(x, y); }

    PixelCanvas canvas;
    VSTGUI::CDrawContext* context;
};

inline LOGPEN selectedPen(HDC device) {
    LOGPEN pen = {};
    GetObjectA(GetCurrentObject(device, OBJ_PEN), sizeof(pen), &pen);
    return pen;
}

inline LOGBRUSH selectedBrush(HDC device) {
    LOGBRUSH brush = {};
    GetObjectA(GetCurrentObject(device, OBJ_BRUSH), sizeof(brush), &brush);
    return brush;
}

inline LOGFONTA selectedFont(HDC device) {
    LOGFONTA font;
    std::memset(&font, 0, sizeof(font));
    GetObjectA(GetCurrentObject(device, OBJ_FONT), sizeof(font), &font);
    return font;
}

// The font the device holds selected, down to the precision fields every
// context font is made with.
inline void expectFont(HDC device, const char* face, LONG height, LONG weight, BYTE italic, BYTE underline,
                       BYTE pitchAndFamily) {
    const LOGFONTA font = selectedFont(device);
    EXPECT_STREQ(font.lfFaceName, face);
    EXPECT_EQ(font.lfHeight, height);
    EXPECT_EQ(font.lfWeight, weight);
    EXPECT_EQ(font.lfItalic, italic);
    EXPECT_EQ(font.lfUnderline, underline);
    EXPECT_EQ(font.lfPitchAndFamily, pitchAndFamily);
    EXPECT_EQ(font.lfCharSet, ANSI_CHARSET);
    EXPECT_EQ(font.lfOutPrecision, OUT_STRING_PRECIS);
    EXPECT_EQ(font.lfClipPrecision, CLIP_STROKE_PRECIS);
    EXPECT_EQ(font.lfQuality, DEFAULT_QUALITY);
}

// The state every fresh context puts into its device: see-through white
// text on black, a solid one-pixel pen of the frame colour (white unless
// the context has drawn), a solid black brush and the bold default font.
inline void expectFreshDeviceState(HDC device, COLORREF penColor) {
    EXPECT_EQ(GetBkMode(device), TRANSPARENT);
    EXPECT_EQ(GetROP2(device), R2_COPYPEN);
    EXPECT_EQ(GetTextColor(device), RGB(255, 255, 255));
    EXPECT_EQ(GetBkColor(device), RGB(0, 0, 0));
    const LOGPEN pen = selectedPen(device);
    EXPECT_EQ(pen.lopnStyle, static_cast<UINT>(PS_SOLID));
    EXPECT_EQ(pen.lopnWidth.x, 1);
    EXPECT_EQ(pen.lopnColor, penColor);
    const LOGBRUSH brush = selectedBrush(device);
    EXPECT_EQ(brush.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(brush.lbColor, RGB(0, 0, 0));
    expectFont(device, "Arial", -12, FW_BOLD, 0, 0, FF_SWISS | VARIABLE_PITCH);
}

}  // namespace quavixtest
