// The drawing state every window system's context keeps the same way; each
// backend realises it (makePen, makeBrush, makeFont...) and draws with it in
// its own file.
#include "toolkit/drawing/CDrawContext.h"

#include "toolkit/drawing/FontTable.h"
#include "toolkit/platform/MouseButtons.h"
#include "toolkit/platform/WindowGeometry.h"
#include "toolkit/views/CFrame.h"

namespace VSTGUI {

namespace {

constexpr FontFace kFontTable[kNumFonts] = {
    {"Arial", 12},  // kFontDefault, always bold
    {"Arial", 18},  // kFontVeryBig
    {"Arial", 14},  // kFontBig
    {"Arial", 12},  // kFontNormal
    {"Arial", 11},  // kFontSmall
    {"Arial", 10},  // kFontSmaller
    {"Arial", 9},   // kFontVerySmall
    {"Symbol", 13},
};

// The default rectangle clipped to when no frame gives its own.
const CRect kUnframedClip(0, 0, 1000, 1000);

}  // namespace

const FontFace& fontFace(int32_t fontId) { return kFontTable[fontId]; }

CDrawContext::CDrawContext(CFrame* frame, WindowHandle window, DeviceHandle device)
    : deviceContext(device), window(window), frame(frame), clipRect(kUnframedClip) {
    if (frame)
        frame->getViewSize(clipRect);
    acquireDevice();
    if (window) {
        const CRect bounds = windowScreenRect(window);
        screenOrigin = CPoint(bounds.left, bounds.top);
    }
    // Pens are always solid, so the line style needs no step of its own.
    setFrameColor(kColorWhite);
    setLineWidth(1);
    setFillColor(kColorBlack);
    setFontColor(kColorWhite);
    setFont(kFontDefault, 0);
}

void CDrawContext::setFrameColor(const CColor& color) {
    if (color == frameColor)
        return;
    frameColor = color;
    makePen();
}

void CDrawContext::setLineWidth(int32_t width) {
    if (width == lineWidth)
        return;
    lineWidth = width;
    makePen();
}

void CDrawContext::setFillColor(const CColor& color) {
    if (color == fillColor)
        return;
    fillColor = color;
    makeBrush();
}

void CDrawContext::setFontColor(const CColor& color) {
    fontColor = color;
    applyFontColor();
}

void CDrawContext::setFont(int32_t id, int32_t style) {
    if (id < 0 || id >= kNumFonts)
        id = kFontDefault;
    if (id == fontId && kFontTable[id].size == fontSize && style == fontStyle)
        return;
    fontStyle = style;
    fontId = id;
    fontSize = kFontTable[id].size;
    makeFont();
}

void CDrawContext::setClipRect(const CRect& clip) {
    CRect device = clip;
    device.moveBy(offset.x, offset.y);
    if (device == clipRect)
        return;
    clipRect = device;
    applyClip();
}

CRect& CDrawContext::getClipRect(CRect& clip) const {
    clip = clipRect;
    clip.moveBy(-offset.x, -offset.y);
    return clip;
}

void CDrawContext::drawRect(const CRect& rect) {
    const CPoint topLeft(rect.left, rect.top);
    const CPoint bottomRight(rect.right - 1, rect.bottom - 1);
    moveTo(topLeft);
    lineTo(CPoint(bottomRight.x, topLeft.y));
    lineTo(bottomRight);
    lineTo(CPoint(topLeft.x, bottomRight.y));
    lineTo(topLeft);
}

int32_t CDrawContext::getMouseButtons() const {
    return mouseStateFromInput(readPhysicalInputState(), areMouseButtonsSwapped());
}

}  // namespace VSTGUI
