#include "toolkit/drawing/COffscreenContext.h"

#include <windows.h>

#include "toolkit/views/CFrame.h"

namespace VSTGUI {

void COffscreenContext::createBitmapDevice() {
    // Without a frame window this is the screen's device.
    HWND frameWindow = static_cast<HWND>(frame ? frame->getSystemWindow() : nullptr);
    HDC frameDevice = GetDC(frameWindow);
    deviceContext = CreateCompatibleDC(frameDevice);
    window = CreateCompatibleBitmap(frameDevice, deviceWidth, deviceHeight);
    if (deviceContext && window)
        SelectObject(static_cast<HDC>(deviceContext), window);
    ReleaseDC(frameWindow, frameDevice);

    // The base made its objects before the device existed; hand them over
    // now so that the cached state describes what the device holds.
    HDC device = static_cast<HDC>(deviceContext);
    if (!device)
        return;
    SetBkMode(device, TRANSPARENT);
    SelectObject(device, pen);
    SelectObject(device, brush);
    SelectObject(device, font);
    SetBkColor(device, fillColor.deviceColor());
    SetTextColor(device, fontColor.deviceColor());
    SetROP2(device, R2_COPYPEN);
}

COffscreenContext::~COffscreenContext() {
    if (deviceContext) {
        DeleteDC(static_cast<HDC>(deviceContext));
        deviceContext = nullptr;
    }
    if (ownsBitmap && window)
        DeleteObject(window);
}

}  // namespace VSTGUI
