#include "toolkit/drawing/COffscreenContext.h"

#include "platform/stub/StubWindows.h"

namespace VSTGUI {

// The canvas is both the device and the bitmap.
void COffscreenContext::createBitmapDevice() {
    stub::Canvas* canvas = new stub::Canvas(deviceWidth, deviceHeight);
    deviceContext = canvas;
    window = canvas;
}

COffscreenContext::~COffscreenContext() {
    if (ownsBitmap)
        delete static_cast<stub::Canvas*>(window);
    deviceContext = nullptr;
    window = nullptr;
}

}  // namespace VSTGUI
