#include "toolkit/drawing/CDrawContext.h"

#include <windows.h>

#include <cstring>

#include "toolkit/drawing/FontTable.h"

namespace VSTGUI {

namespace {

constexpr UINT kTextFormat = DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER;

HDC dc(DeviceHandle handle) { return static_cast<HDC>(handle); }

RECT winRect(const CRect& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

// Selects the new object, deletes the one it replaces and answers the one
// now owned. A failed creation keeps the previous object in use.
GraphicsHandle replaceObject(DeviceHandle device, GraphicsHandle current, GraphicsHandle replacement) {
    if (!replacement)
        return current;
    if (device)
        SelectObject(dc(device), replacement);
    if (current)
        DeleteObject(current);
    return replacement;
}

LOGFONTA fontRecord(int32_t fontId, int32_t style, int32_t deviceSize) {
    const FontFace& entry = fontFace(fontId);
    LOGFONTA record;
    std::memset(&record, 0, sizeof(record));
    record.lfHeight = -deviceSize;  // a character height, without internal leading
    record.lfWeight = isBoldFont(fontId, style) ? FW_BOLD : FW_NORMAL;
    record.lfItalic = (style & kFontStyleItalic) ? 1 : 0;
    record.lfUnderline = (style & kFontStyleUnderline) ? 1 : 0;
    record.lfCharSet = ANSI_CHARSET;
    record.lfOutPrecision = OUT_STRING_PRECIS;
    record.lfClipPrecision = CLIP_STROKE_PRECIS;
    record.lfQuality = DEFAULT_QUALITY;
    record.lfPitchAndFamily = fontId == kFontSymbol ? (FF_DECORATIVE | DEFAULT_PITCH) : (FF_SWISS | VARIABLE_PITCH);
    std::strncpy(record.lfFaceName, entry.face, LF_FACESIZE - 1);
    return record;
}

}  // namespace

void CDrawContext::acquireDevice() {
    if (!deviceContext && window) {
        ownedDeviceContext = GetDC(static_cast<HWND>(window));
        deviceContext = ownedDeviceContext;
    }
    if (deviceContext) {
        savedBrush = GetCurrentObject(dc(deviceContext), OBJ_BRUSH);
        savedPen = GetCurrentObject(dc(deviceContext), OBJ_PEN);
        savedFont = GetCurrentObject(dc(deviceContext), OBJ_FONT);
        SetBkMode(dc(deviceContext), TRANSPARENT);
    }
    SetROP2(dc(deviceContext), R2_COPYPEN);
}

CDrawContext::~CDrawContext() {
    HDC device = dc(deviceContext);
    if (savedBrush)
        SelectObject(device, savedBrush);
    if (savedPen)
        SelectObject(device, savedPen);
    if (savedFont)
        SelectObject(device, savedFont);
    if (brush)
        DeleteObject(brush);
    if (pen)
        DeleteObject(pen);
    if (font)
        DeleteObject(font);
    if (ownedDeviceContext)
        ReleaseDC(static_cast<HWND>(window), dc(ownedDeviceContext));
}

void CDrawContext::makePen() {
    const int32_t width = toDeviceLength(lineWidth);
    LOGPEN record = {PS_SOLID, {width, width}, frameColor.deviceColor()};
    pen = replaceObject(deviceContext, pen, CreatePenIndirect(&record));
}

void CDrawContext::makeBrush() {
    SetBkColor(dc(deviceContext), fillColor.deviceColor());
    LOGBRUSH record = {BS_SOLID, fillColor.deviceColor(), 0};
    // A failed brush leaves the previous one in use until a later colour succeeds.
    brush = replaceObject(deviceContext, brush, CreateBrushIndirect(&record));
}

void CDrawContext::applyFontColor() { SetTextColor(dc(deviceContext), fontColor.deviceColor()); }

void CDrawContext::applyClip() {
    const CRect device = unitsToDevice(clipRect);
    HRGN region = CreateRectRgn(device.left, device.top, device.right, device.bottom);
    SelectClipRgn(dc(deviceContext), region);
    DeleteObject(region);  // the device keeps its own copy
}

void CDrawContext::drawDeviceLine(const CPoint& from, const CPoint& to) {
    MoveToEx(dc(deviceContext), from.x, from.y, nullptr);
    LineTo(dc(deviceContext), to.x, to.y);
}

void CDrawContext::fillDevicePixels(const CRect& device) {
    // An opaque text call without text fills its rectangle with the
    // background colour, the fill colour's place in between.
    HDC handle = dc(deviceContext);
    const COLORREF previous = SetBkColor(handle, frameColor.deviceColor());
    const RECT area = winRect(device);
    ExtTextOutA(handle, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
    SetBkColor(handle, previous);
}

void CDrawContext::fillRect(const CRect& rect) {
    // The rectangle less its left column and top row.
    RECT area = winRect(toDevice(CRect(rect.left + 1, rect.top + 1, rect.right, rect.bottom)));
    HDC device = dc(deviceContext);
    HGDIOBJ previousPen = SelectObject(device, GetStockObject(NULL_PEN));
    FillRect(device, &area, static_cast<HBRUSH>(brush));
    SelectObject(device, previousPen);
}

void CDrawContext::makeFont() {
    LOGFONTA record = fontRecord(fontId, fontStyle, toDeviceLength(fontSize));
    font = replaceObject(deviceContext, font, CreateFontIndirectA(&record));
}

void CDrawContext::drawString(const char* text, const CRect& rect, bool opaque, int32_t align) {
    if (!text)
        return;
    HDC device = dc(deviceContext);
    RECT area = winRect(toDevice(rect));
    SetBkMode(device, opaque ? OPAQUE : TRANSPARENT);
    UINT format = kTextFormat;
    if (align == kAlignCenter)
        format |= DT_CENTER;
    else if (align == kAlignRight)
        format |= DT_RIGHT;
    else
        area.left = toDevice(CPoint(rect.left + 1, rect.top)).x;
    DrawTextA(device, text, static_cast<int>(std::strlen(text)), &area, format);
    SetBkMode(device, TRANSPARENT);
}

void CDrawContext::copyTo(CDrawContext* dest, const CRect& rect, const CPoint& destPoint) const {
    if (!dest)
        return;
    const CRect from = toDevice(rect);
    const CPoint to = dest->unitsToDevice(destPoint);
    BitBlt(dc(dest->deviceContext), to.x, to.y, from.width(), from.height(), dc(deviceContext), from.left, from.top,
           SRCCOPY);
}

}  // namespace VSTGUI
