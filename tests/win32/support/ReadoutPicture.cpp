#include "tests/win32/support/ReadoutPicture.h"

#include "quavix/QuavixConfig.h"
#include "toolkit/platform/Bitmaps.h"
#include "tests/win32/support/PixelCanvas.h"
#include "tests/win32/support/TestPictures.h"
#include "tests/win32/support/WindowPixels.h"

namespace quavixtest {

namespace {

void fillSolid(HDC device, const RECT& area, uint32_t color) {
    HBRUSH brush = CreateSolidBrush(toColorRef(color));
    FillRect(device, &area, brush);
    DeleteObject(brush);
}

void outline(HDC device, int width, int height, int thickness, uint32_t color) {
    const RECT edges[] = {{0, 0, width, thickness},
                          {0, height - thickness, width, height},
                          {0, 0, thickness, height},
                          {width - thickness, 0, width, height}};
    for (const RECT& edge : edges)
        fillSolid(device, edge, color);
}

void centredText(HDC device, int width, int height, const ReadoutLook& look, const char* text) {
    LOGFONTA description = {};
    description.lfHeight = -look.fontHeight;
    description.lfWeight = look.weight;
    description.lfCharSet = ANSI_CHARSET;
    description.lfOutPrecision = OUT_STRING_PRECIS;
    description.lfClipPrecision = CLIP_STROKE_PRECIS;
    description.lfQuality = DEFAULT_QUALITY;
    description.lfPitchAndFamily = FF_SWISS | VARIABLE_PITCH;
    lstrcpyA(description.lfFaceName, "Arial");
    HFONT font = CreateFontIndirectA(&description);
    HGDIOBJ previousFont = SelectObject(device, font);
    SetBkMode(device, TRANSPARENT);
    SetTextColor(device, toColorRef(look.text));
    RECT box = {0, 0, width, height};
    DrawTextA(device, text, -1, &box, DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    SelectObject(device, previousFont);
    DeleteObject(font);
}

}  // namespace

std::vector<uint32_t> renderReadout(HWND compatibleWith, int width, int height, const ReadoutLook& look,
                                    const char* text) {
    HDC windowDevice = GetDC(compatibleWith);
    HDC device = CreateCompatibleDC(windowDevice);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDevice, width, height);
    ReleaseDC(compatibleWith, windowDevice);
    HGDIOBJ previous = SelectObject(device, bitmap);
    const RECT all = {0, 0, width, height};
    fillSolid(device, all, look.back);
    outline(device, width, height, look.frameWidth, look.frame);
    centredText(device, width, height, look, text);
    SelectObject(device, previous);
    DeleteDC(device);
    std::vector<uint32_t> pixels = readPicture(bitmap, width, height);
    DeleteObject(bitmap);
    return pixels;
}

std::vector<uint32_t> resourcePixels(int resourceId, int& width, int& height) {
    width = height = 0;
    // The module's pictures are compressed resources: the toolkit decodes them.
    HBITMAP bitmap = static_cast<HBITMAP>(VSTGUI::loadBitmapResource(resourceId));
    if (!bitmap)
        return {};
    BITMAP info = {};
    GetObjectA(bitmap, sizeof(info), &info);
    width = info.bmWidth;
    height = info.bmHeight;
    std::vector<uint32_t> pixels = readPicture(bitmap, width, height);
    VSTGUI::destroyBitmap(bitmap);
    return pixels;
}

std::vector<uint32_t> sliderPicture(int handleTop, int factor) {
    const int trackIds[] = {quavix::kSliderTrackBitmap, quavix::kSliderTrackBitmap2x, quavix::kSliderTrackBitmap3x};
    const int handleIds[] = {quavix::kSliderHandleBitmap, quavix::kSliderHandleBitmap2x, quavix::kSliderHandleBitmap3x};
    const ResourcePicture track(trackIds[factor - 1]);
    const ResourcePicture handle(handleIds[factor - 1]);
    std::vector<uint32_t> picture = track.pixels;
    for (int y = 0; y < handle.height; ++y)
        for (int x = 0; x < handle.width; ++x) {
            const int row = handleTop * factor + y;
            if (row >= 0 && row < track.height && handle.at(x, y) != kWhite)
                picture[static_cast<size_t>(row) * track.width + quavix::panel::kHandleInsetX * factor + x] =
                    handle.at(x, y);
        }
    return picture;
}

}  // namespace quavixtest
