#include "tests/win32/support/PixelCanvas.h"

#include <algorithm>
#include <sstream>

#include "tests/win32/support/TestPictures.h"

namespace quavixtest {

namespace {

// A DIB pixel is blue, green, red, unused from the lowest byte up, which
// reads as 0x00RRGGBB.
constexpr uint32_t kColorMask = 0x00FFFFFFu;
constexpr int kMismatchesReported = 5;

}  // namespace

PixelCanvas::PixelCanvas(int width, int height, uint32_t background)
    : columns(width), rows(height), memoryDevice(CreateCompatibleDC(nullptr)) {
    const BITMAPINFO info = topDownInfo(width, height);
    void* data = nullptr;
    bitmap = CreateDIBSection(memoryDevice, &info, DIB_RGB_COLORS, &data, nullptr, 0);
    bits = static_cast<uint32_t*>(data);
    previousBitmap = SelectObject(memoryDevice, bitmap);
    fill(background);
}

PixelCanvas::~PixelCanvas() {
    SelectObject(memoryDevice, previousBitmap);
    DeleteObject(bitmap);
    DeleteDC(memoryDevice);
}

uint32_t* PixelCanvas::pixelAddress(int x, int y) const {
    if (!bits || x < 0 || y < 0 || x >= columns || y >= rows)
        return nullptr;
    return bits + static_cast<size_t>(y) * columns + x;
}

uint32_t PixelCanvas::at(int x, int y) const {
    GdiFlush();
    const uint32_t* pixel = pixelAddress(x, y);
    return pixel ? (*pixel & kColorMask) : 0xFFFFFFFFu;
}

void PixelCanvas::fill(uint32_t color) {
    fill([color](int, int) { return color; });
}

void PixelCanvas::fill(const std::function<uint32_t(int x, int y)>& colorAt) {
    GdiFlush();
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < columns; ++x)
            *pixelAddress(x, y) = colorAt(x, y) & kColorMask;
}

RECT PixelCanvas::boundsNotOf(uint32_t color) const {
    RECT bounds = {columns, rows, 0, 0};
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < columns; ++x)
            if (at(x, y) != color) {
                bounds.left = std::min<LONG>(bounds.left, x);
                bounds.top = std::min<LONG>(bounds.top, y);
                bounds.right = std::max<LONG>(bounds.right, x + 1);
                bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
            }
    if (bounds.right == 0)
        bounds = {0, 0, 0, 0};
    return bounds;
}

int PixelCanvas::count(uint32_t color) const {
    int matching = 0;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < columns; ++x)
            matching += at(x, y) == color ? 1 : 0;
    return matching;
}

::testing::AssertionResult pixelsAre(const PixelCanvas& canvas,
                                     const std::function<uint32_t(int x, int y)>& expected) {
    std::ostringstream report;
    int mismatches = 0;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            const uint32_t want = expected(x, y) & kColorMask;
            const uint32_t got = canvas.at(x, y);
            if (got == want)
                continue;
            if (mismatches++ < kMismatchesReported)
                report << std::hex << " (" << std::dec << x << ", " << y << ") is 0x" << std::hex << got
                       << " not 0x" << want << ";";
        }
    if (mismatches == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << mismatches << " pixels differ:" << report.str();
}

}  // namespace quavixtest
