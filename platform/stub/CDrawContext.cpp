// A context draws into a stub canvas by the same pixel rules the other
// window systems follow: fills leave out the left column and top row, pen
// lines leave out their end point, text is recorded.
#include "toolkit/drawing/CDrawContext.h"

#include "toolkit/drawing/PenLine.h"
#include "platform/stub/StubWindows.h"

namespace VSTGUI {

namespace {

stub::Canvas* canvasOf(DeviceHandle device) { return static_cast<stub::Canvas*>(device); }

// A wide pen is a square of its width centred on each pixel of the line.
void penDot(stub::Canvas* canvas, int32_t x, int32_t y, int32_t width, uint32_t color) {
    if (width <= 1) {
        canvas->setPixel(x, y, color);
        return;
    }
    const int32_t before = (width - 1) / 2;
    canvas->fillPixels(x - before, y - before, x - before + width, y - before + width, color);
}

// Each pixel of the pen's walk, without the end point, as a dot of its width.
void penLine(stub::Canvas* canvas, CPoint from, CPoint to, int32_t width, uint32_t color) {
    walkPenLine(from, to, [&](int32_t x, int32_t y) { penDot(canvas, x, y, width, color); });
}

}  // namespace

// A context made on a window draws into the window's canvas.
void CDrawContext::acquireDevice() {
    if (!deviceContext && window)
        deviceContext = &stub::windowOf(window)->canvas;
}

CDrawContext::~CDrawContext() {}

// Colours and the font are taken from the cached state when used.
void CDrawContext::makePen() {}

void CDrawContext::makeBrush() {}

void CDrawContext::makeFont() {}

void CDrawContext::applyFontColor() {}

void CDrawContext::applyClip() {
    if (deviceContext)
        canvasOf(deviceContext)->setClip(unitsToDevice(clipRect));
}

void CDrawContext::drawDeviceLine(const CPoint& from, const CPoint& to) {
    if (deviceContext)
        penLine(canvasOf(deviceContext), from, to, toDeviceLength(lineWidth), stub::rgbOf(frameColor));
}

void CDrawContext::fillDevicePixels(const CRect& device) {
    if (deviceContext)
        canvasOf(deviceContext)
            ->fillPixels(device.left, device.top, device.right, device.bottom, stub::rgbOf(frameColor));
}

void CDrawContext::fillRect(const CRect& rect) {
    if (!deviceContext)
        return;
    const CRect area = toDevice(CRect(rect.left + 1, rect.top + 1, rect.right, rect.bottom));
    canvasOf(deviceContext)->fillPixels(area.left, area.top, area.right, area.bottom, stub::rgbOf(fillColor));
}

void CDrawContext::drawString(const char* text, const CRect& rect, bool opaque, int32_t align) {
    if (!text || !deviceContext)
        return;
    canvasOf(deviceContext)
        ->texts.push_back(
            {text, toDevice(rect), opaque, align, fontId, fontStyle, toDeviceLength(fontSize), fontColor, fillColor});
}

void CDrawContext::copyTo(CDrawContext* dest, const CRect& rect, const CPoint& destPoint) const {
    if (!dest || !dest->deviceContext || !deviceContext)
        return;
    const stub::Canvas* source = canvasOf(deviceContext);
    stub::Canvas* target = canvasOf(dest->deviceContext);
    const CRect from = toDevice(rect);
    const CPoint to = dest->unitsToDevice(destPoint);
    for (int32_t y = 0; y < from.height(); ++y)
        for (int32_t x = 0; x < from.width(); ++x) {
            const uint32_t pixel = source->at(from.left + x, from.top + y);
            if (pixel != 0xFFFFFFFFu)
                target->setPixel(to.x + x, to.y + y, pixel);
        }
}

}  // namespace VSTGUI
