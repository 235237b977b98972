#include "tests/win32/support/WindowPixels.h"

#include "tests/win32/support/TestPictures.h"

namespace quavixtest {

WindowPixels::WindowPixels(HWND window) {
    RECT client;
    if (!GetClientRect(window, &client))
        return;
    columns = client.right;
    rows = client.bottom;
    pixels.assign(static_cast<size_t>(columns) * rows, 0xFFFFFFFFu);

    HDC windowDevice = GetDC(window);
    HDC memoryDevice = CreateCompatibleDC(windowDevice);
    const BITMAPINFO info = topDownInfo(columns, rows);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(windowDevice, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memoryDevice, bitmap);
    BitBlt(memoryDevice, 0, 0, columns, rows, windowDevice, 0, 0, SRCCOPY);
    GdiFlush();
    const uint32_t* source = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = source[i] & 0x00FFFFFFu;
    SelectObject(memoryDevice, previous);
    DeleteObject(bitmap);
    DeleteDC(memoryDevice);
    ReleaseDC(window, windowDevice);
}

uint32_t WindowPixels::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= columns || y >= rows)
        return 0xFFFFFFFFu;
    return pixels[static_cast<size_t>(y) * columns + x];
}

}  // namespace quavixtest
