#include "toolkit/drawing/CBitmap.h"

#include <windows.h>

#include <mutex>

#include "toolkit/drawing/CDrawContext.h"
#include "toolkit/drawing/PngPicture.h"
#include "toolkit/platform/Bitmaps.h"
#include "toolkit/platform/ModuleInstance.h"
#include "platform/win32/ImageFunctions.h"

namespace VSTGUI {

namespace {

HDC dc(DeviceHandle handle) { return static_cast<HDC>(handle); }

// The destination area of a draw call, in device coordinates.
struct Placement {
    int x, y, w, h;
};

Placement placementOf(const CBitmap::DevicePlacement& placement) {
    const CRect& dest = placement.dest;
    return {dest.left, dest.top, dest.width(), dest.height()};
}

// A 32-bit top-down picture description of w by h pixels.
BITMAPINFO pixelFormat(int w, int h) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// A bitmap can be selected into one device at a time, and the module's
// pictures are shared by editors that may paint on different threads.
std::mutex& sourceDeviceLock() {
    static std::mutex lock;
    return lock;
}

// A memory device holding the bitmap for the length of one draw call.
class SourceDevice {
    // Taken before the bitmap is selected, let go after it is put back.
    std::lock_guard<std::mutex> guard;

public:
    SourceDevice(DeviceHandle destination, GraphicsHandle bitmap)
        : guard(sourceDeviceLock()),
          device(CreateCompatibleDC(dc(destination))),
          previous(SelectObject(device, bitmap)) {}
    ~SourceDevice() {
        SelectObject(device, previous);
        DeleteDC(device);
    }
    SourceDevice(const SourceDevice&) = delete;
    SourceDevice& operator=(const SourceDevice&) = delete;

    HDC device;

private:
    HGDIOBJ previous;
};

// Leaves out the transparent colour in four blits through a monochrome mask:
// where the mask is 1 the destination survives, elsewhere the bitmap lands.
void drawThroughMask(HDC dest, const Placement& to, HDC source, const CPoint& from, COLORREF transparent) {
    HDC maskDevice = CreateCompatibleDC(dest);
    COLORREF previousBack = SetBkColor(dest, RGB(255, 255, 255));
    COLORREF previousText = SetTextColor(dest, RGB(0, 0, 0));
    HBITMAP mask = CreateBitmap(to.w, to.h, 1, 1, nullptr);
    HGDIOBJ previousMask = SelectObject(maskDevice, mask);
    SetBkColor(source, transparent);
    BitBlt(maskDevice, 0, 0, to.w, to.h, source, from.x, from.y, SRCCOPY);
    BitBlt(dest, to.x, to.y, to.w, to.h, source, from.x, from.y, SRCINVERT);
    BitBlt(dest, to.x, to.y, to.w, to.h, maskDevice, 0, 0, SRCAND);
    BitBlt(dest, to.x, to.y, to.w, to.h, source, from.x, from.y, SRCINVERT);
    SelectObject(maskDevice, previousMask);
    DeleteObject(mask);
    DeleteDC(maskDevice);
    SetBkColor(dest, previousBack);
    SetTextColor(dest, previousText);
}

// A 32-bit picture of w by h pixels in a memory device of its own.
class PixelBuffer {
public:
    PixelBuffer(int w, int h) : device(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info = pixelFormat(w, h);
        void* bits = nullptr;
        bitmap = CreateDIBSection(device, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        pixels = static_cast<uint8_t*>(bits);
        previous = SelectObject(device, bitmap);
    }
    ~PixelBuffer() {
        SelectObject(device, previous);
        DeleteObject(bitmap);
        DeleteDC(device);
    }
    PixelBuffer(const PixelBuffer&) = delete;
    PixelBuffer& operator=(const PixelBuffer&) = delete;

    bool valid() const { return device && pixels; }

    HDC device;
    HBITMAP bitmap = nullptr;
    uint8_t* pixels = nullptr;

private:
    HGDIOBJ previous = nullptr;
};

// Constant-opacity blend without msimg32: the same source-over rule,
// computed per colour channel on copies of both areas.
void blendInSoftware(HDC dest, const Placement& to, HDC source, const CPoint& from, uint8_t opacity) {
    if (to.w <= 0 || to.h <= 0)
        return;
    PixelBuffer over(to.w, to.h);
    PixelBuffer under(to.w, to.h);
    if (!over.valid() || !under.valid())
        return;
    BitBlt(over.device, 0, 0, to.w, to.h, source, from.x, from.y, SRCCOPY);
    BitBlt(under.device, 0, 0, to.w, to.h, dest, to.x, to.y, SRCCOPY);
    GdiFlush();
    const int keep = 255 - opacity;
    const size_t bytes = size_t(to.w) * size_t(to.h) * 4;
    for (size_t i = 0; i < bytes; ++i)
        under.pixels[i] = uint8_t((over.pixels[i] * opacity + under.pixels[i] * keep + 127) / 255);
    BitBlt(dest, to.x, to.y, to.w, to.h, under.device, 0, 0, SRCCOPY);
}

// Windows 98 blends only from a bitmap that starts at the source's origin,
// so the area is copied into one of its own first.
void blendThroughCopy(AlphaBlendFunction alphaBlend, DeviceHandle dest, const Placement& to, HDC source,
                      const CPoint& from, BlendFunctionRecord blend) {
    HDC copyDevice = CreateCompatibleDC(source);
    HBITMAP copy = CreateCompatibleBitmap(source, to.w, to.h);
    HGDIOBJ previous = SelectObject(copyDevice, copy);
    BitBlt(copyDevice, 0, 0, to.w, to.h, source, from.x, from.y, SRCCOPY);
    alphaBlend(dest, to.x, to.y, to.w, to.h, copyDevice, 0, 0, to.w, to.h, blend);
    SelectObject(copyDevice, previous);
    DeleteDC(copyDevice);
    DeleteObject(copy);
}

// The module's pictures are PNG files among its raw-data resources. Such a
// resource stays mapped with the module: nothing to free.
struct ResourceBytes {
    const uint8_t* bytes = nullptr;
    size_t size = 0;
};

ResourceBytes resourceBytes(int32_t resourceId) {
    HMODULE module = static_cast<HMODULE>(getModuleInstance());
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(resourceId), MAKEINTRESOURCEA(10));  // RT_RCDATA
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    ResourceBytes result;
    if (loaded) {
        result.bytes = static_cast<const uint8_t*>(LockResource(loaded));
        result.size = result.bytes ? SizeofResource(module, found) : 0;
    }
    return result;
}

}  // namespace

GraphicsHandle loadBitmapResource(int32_t resourceId) {
    const ResourceBytes png = resourceBytes(resourceId);
    PixelImage pixels;
    if (!png.bytes || !decodePng(png.bytes, png.size, pixels))
        return nullptr;
    return createBitmapFromPixels(pixels);
}

bool measureBitmapResource(int32_t resourceId, int32_t& width, int32_t& height) {
    const ResourceBytes png = resourceBytes(resourceId);
    return png.bytes && measurePng(png.bytes, png.size, width, height);
}

bool measureBitmap(GraphicsHandle bitmap, int32_t& width, int32_t& height) {
    BITMAP measured;
    if (!GetObjectA(bitmap, sizeof(measured), &measured))
        return false;
    width = measured.bmWidth;
    height = measured.bmHeight;
    return true;
}

void destroyBitmap(GraphicsHandle bitmap) { DeleteObject(bitmap); }

bool readBitmapPixels(GraphicsHandle bitmap, PixelImage& image) {
    if (!measureBitmap(bitmap, image.width, image.height) || image.width <= 0 || image.height <= 0)
        return false;
    image.pixels.resize(size_t(image.width) * size_t(image.height));
    BITMAPINFO info = pixelFormat(image.width, image.height);
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, static_cast<HBITMAP>(bitmap), 0, UINT(image.height), image.pixels.data(), &info,
                               DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    for (uint32_t& pixel : image.pixels)
        pixel &= 0xFFFFFF;  // 32-bit rows are 0x00RRGGBB in memory order B, G, R
    return rows == image.height;
}

GraphicsHandle createBitmapFromPixels(const PixelImage& image) {
    if (image.width <= 0 || image.height <= 0)
        return nullptr;
    BITMAPINFO info = pixelFormat(image.width, image.height);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        if (bitmap)
            DeleteObject(bitmap);
        return nullptr;
    }
    CopyMemory(bits, image.pixels.data(), image.pixels.size() * sizeof(uint32_t));
    return bitmap;
}

void CBitmap::draw(CDrawContext* context, const CRect& rect, const CPoint& source) {
    DevicePlacement placement;
    if (!placeOnDevice(context, rect, source, placement))
        return;
    SourceDevice picture(context->deviceContext, placement.picture);
    const Placement to = placementOf(placement);
    BitBlt(dc(context->deviceContext), to.x, to.y, to.w, to.h, picture.device, placement.source.x, placement.source.y,
           SRCCOPY);
}

void CBitmap::drawTransparent(CDrawContext* context, const CRect& rect, const CPoint& source) {
    DevicePlacement placement;
    if (!placeOnDevice(context, rect, source, placement))
        return;
    SourceDevice picture(context->deviceContext, placement.picture);
    const Placement to = placementOf(placement);
    const CPoint& from = placement.source;
    if (TransparentBltFunction transparentBlt = getTransparentBlt())
        transparentBlt(context->deviceContext, to.x, to.y, to.w, to.h, picture.device, from.x, from.y, to.w, to.h,
                       transparentColor.deviceColor());
    else
        drawThroughMask(dc(context->deviceContext), to, picture.device, from, transparentColor.deviceColor());
}

void CBitmap::drawAlphaBlend(CDrawContext* context, const CRect& rect, const CPoint& source, uint8_t opacity) {
    DevicePlacement placement;
    if (!placeOnDevice(context, rect, source, placement))
        return;
    SourceDevice picture(context->deviceContext, placement.picture);
    const Placement to = placementOf(placement);
    const CPoint& from = placement.source;
    AlphaBlendFunction alphaBlend = getAlphaBlend();
    if (!alphaBlend) {
        blendInSoftware(dc(context->deviceContext), to, picture.device, from, opacity);
        return;
    }
    const BlendFunctionRecord blend = {AC_SRC_OVER, 0, opacity, 0};
    if (isWindows98())
        blendThroughCopy(alphaBlend, context->deviceContext, to, picture.device, from, blend);
    else
        alphaBlend(context->deviceContext, to.x, to.y, to.w, to.h, picture.device, from.x, from.y, to.w, to.h, blend);
}

}  // namespace VSTGUI
