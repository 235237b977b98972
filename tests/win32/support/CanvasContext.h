// A drawing context on a fresh pixel canvas, and what a device holds
// selected, for tests that draw through the toolkit and look at the device.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>

#include "platform/CDrawContext.h"
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

}  // namespace quavixtest
