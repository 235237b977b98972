// The drawing state every window system's context keeps the same way; each
// backend realises it (makePen, makeBrush, makeFont...) and draws with it in
// its own file.
#include "toolkit/drawing/CDrawContext.h"

#include <cstdlib>

#include "toolkit/drawing/FontTable.h"
#include "toolkit/drawing/PenLine.h"
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
    if (frame) {
        frame->getViewSize(clipRect);
        scaleFactor = frame->getScaleFactor();
    }
    acquireDevice();
    if (window) {
        const CRect bounds = windowScreenRect(window);
        windowOrigin = CPoint(bounds.left, bounds.top);
        screenOrigin = windowOrigin;
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

void CDrawContext::moveTo(const CPoint& point) { penPosition = CPoint(point.x + offset.x, point.y + offset.y); }

void CDrawContext::lineTo(const CPoint& point) {
    const CPoint from = penPosition;
    const CPoint to(point.x + offset.x, point.y + offset.y);
    penPosition = to;
    if (scaleFactor == 1.0 || lineWidth > 1) {
        drawDeviceLine(unitsToDevice(from), unitsToDevice(to));
        return;
    }
    // A one-unit pen sets the pixels it sets at 1, each as the block of
    // device pixels its unit covers: lines stay as crisp as the bitmaps.
    if (from.y == to.y && from.x != to.x) {
        const int32_t left = to.x > from.x ? from.x : to.x + 1;
        fillDevicePixels(unitsToDevice(CRect(left, from.y, left + std::abs(to.x - from.x), from.y + 1)));
    } else if (from.x == to.x && from.y != to.y) {
        const int32_t top = to.y > from.y ? from.y : to.y + 1;
        fillDevicePixels(unitsToDevice(CRect(from.x, top, from.x + 1, top + std::abs(to.y - from.y))));
    } else {
        walkPenLine(from, to, [this](int32_t x, int32_t y) {
            fillDevicePixels(scaleRect(CRect(x, y, x + 1, y + 1), scaleFactor));
        });
    }
}

CRect CDrawContext::toDevice(const CRect& rect) const {
    CRect shifted = rect;
    shifted.moveBy(offset.x, offset.y);
    return unitsToDevice(shifted);
}

CPoint CDrawContext::toDevice(const CPoint& point) const {
    return unitsToDevice(CPoint(point.x + offset.x, point.y + offset.y));
}

CRect CDrawContext::unitsToDevice(const CRect& units) const {
    CRect device = units;
    device.moveBy(unitOrigin.x, unitOrigin.y);
    device = scaleRect(device, scaleFactor);
    const CPoint base = scalePoint(unitOrigin, scaleFactor);
    device.moveBy(-base.x, -base.y);
    return device;
}

CPoint CDrawContext::unitsToDevice(const CPoint& units) const {
    const CPoint device = scalePoint(CPoint(units.x + unitOrigin.x, units.y + unitOrigin.y), scaleFactor);
    const CPoint base = scalePoint(unitOrigin, scaleFactor);
    return CPoint(device.x - base.x, device.y - base.y);
}

int32_t CDrawContext::toDeviceLength(int32_t length) const {
    const int32_t device = scaleCoordinate(length, scaleFactor);
    return length > 0 && device < 1 ? 1 : device;
}

CPoint CDrawContext::screenToLocal(const CPoint& screenPoint) const {
    const CPoint inWindow =
        unscalePoint(CPoint(screenPoint.x - windowOrigin.x, screenPoint.y - windowOrigin.y), scaleFactor);
    return CPoint(inWindow.x - (screenOrigin.x - windowOrigin.x), inWindow.y - (screenOrigin.y - windowOrigin.y));
}

int32_t CDrawContext::getMouseButtons() const {
    return mouseStateFromInput(readPhysicalInputState(), areMouseButtonsSwapped());
}

}  // namespace VSTGUI
