#include "toolkit/drawing/COffscreenContext.h"

#include <windows.h>

#include <algorithm>

#include "toolkit/views/CFrame.h"

namespace VSTGUI {

COffscreenContext::COffscreenContext(CFrame* frame, int32_t width, int32_t height, const CColor& backgroundColor)
    : CDrawContext(frame, nullptr, nullptr), height(height), width(width), backgroundColor(backgroundColor) {
    clipRect = CRect(std::min(0, width), std::min(0, height), std::max(0, width), std::max(0, height));

    // Without a frame window this is the screen's device.
    HWND frameWindow = static_cast<HWND>(frame ? frame->getSystemWindow() : nullptr);
    HDC frameDevice = GetDC(frameWindow);
    deviceContext = CreateCompatibleDC(frameDevice);
    window = CreateCompatibleBitmap(frameDevice, width, height);
    if (deviceContext && window)
        SelectObject(static_cast<HDC>(deviceContext), window);
    ReleaseDC(frameWindow, frameDevice);

    // The base made its objects before the device existed; hand them over
    // now so that the cached state describes what the device holds.
    selectInitialState();

    setFillColor(backgroundColor);
    setFrameColor(backgroundColor);
    const CRect whole(0, 0, width, height);
    fillRect(whole);
    drawRect(whole);
}

COffscreenContext::~COffscreenContext() {
    if (deviceContext) {
        DeleteDC(static_cast<HDC>(deviceContext));
        deviceContext = nullptr;
    }
    if (ownsBitmap && window)
        DeleteObject(window);
}

void COffscreenContext::transferTo(CDrawContext* dest, const CRect& rect, const CPoint& source) {
    if (!dest)
        return;
    BitBlt(static_cast<HDC>(dest->deviceContext), rect.left + dest->offset.x, rect.top + dest->offset.y, rect.width(),
           rect.height(), static_cast<HDC>(deviceContext), source.x, source.y, SRCCOPY);
}

}  // namespace VSTGUI
