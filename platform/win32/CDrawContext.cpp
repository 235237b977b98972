#include "toolkit/drawing/CDrawContext.h"

#include <windows.h>

#include <cstring>

#include "toolkit/views/CFrame.h"
#include "toolkit/platform/MouseButtons.h"

namespace VSTGUI {

namespace {

struct FontEntry {
    const char* face;
    int32_t size;
    BYTE pitchAndFamily;
};

constexpr BYTE kSwissVariable = FF_SWISS | VARIABLE_PITCH;
constexpr BYTE kDecorativeDefault = FF_DECORATIVE | DEFAULT_PITCH;

constexpr FontEntry kFontTable[kNumFonts] = {
    {"Arial", 12, kSwissVariable},  // kFontDefault, always bold
    {"Arial", 18, kSwissVariable},  // kFontVeryBig
    {"Arial", 14, kSwissVariable},  // kFontBig
    {"Arial", 12, kSwissVariable},  // kFontNormal
    {"Arial", 11, kSwissVariable},  // kFontSmall
    {"Arial", 10, kSwissVariable},  // kFontSmaller
    {"Arial", 9, kSwissVariable},   // kFontVerySmall
    {"Symbol", 13, kDecorativeDefault},
};

// The default rectangle clipped to when no frame gives its own.
const CRect kUnframedClip(0, 0, 1000, 1000);

constexpr UINT kTextFormat = DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER;

HDC dc(DeviceHandle handle) { return static_cast<HDC>(handle); }

RECT deviceRect(const CRect& rect, const CPoint& offset) {
    return {rect.left + offset.x, rect.top + offset.y, rect.right + offset.x, rect.bottom + offset.y};
}

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

LOGFONTA fontRecord(int32_t fontId, int32_t style) {
    const FontEntry& entry = kFontTable[fontId];
    LOGFONTA record;
    std::memset(&record, 0, sizeof(record));
    record.lfHeight = -entry.size;  // a character height, without internal leading
    record.lfWeight = ((style & kFontStyleBold) || fontId == kFontDefault) ? FW_BOLD : FW_NORMAL;
    record.lfItalic = (style & kFontStyleItalic) ? 1 : 0;
    record.lfUnderline = (style & kFontStyleUnderline) ? 1 : 0;
    record.lfCharSet = ANSI_CHARSET;
    record.lfOutPrecision = OUT_STRING_PRECIS;
    record.lfClipPrecision = CLIP_STROKE_PRECIS;
    record.lfQuality = DEFAULT_QUALITY;
    record.lfPitchAndFamily = entry.pitchAndFamily;
    std::strncpy(record.lfFaceName, entry.face, LF_FACESIZE - 1);
    return record;
}

}  // namespace

CDrawContext::CDrawContext(CFrame* frame, WindowHandle window, DeviceHandle device)
    : deviceContext(device), window(window), frame(frame), clipRect(kUnframedClip) {
    if (frame)
        frame->getViewSize(clipRect);
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
    if (window) {
        RECT bounds;
        if (GetWindowRect(static_cast<HWND>(window), &bounds))
            screenOrigin = CPoint(bounds.left, bounds.top);
    }
    // Pens are always solid, so the line style needs no step of its own.
    setFrameColor(kColorWhite);
    setLineWidth(1);
    setFillColor(kColorBlack);
    fontColor = kColorWhite;
    SetTextColor(dc(deviceContext), fontColor.deviceColor());
    setFont(kFontDefault, 0);
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
    LOGPEN record = {PS_SOLID, {lineWidth, lineWidth}, frameColor.deviceColor()};
    pen = replaceObject(deviceContext, pen, CreatePenIndirect(&record));
}

void CDrawContext::setFillColor(const CColor& color) {
    if (color == fillColor)
        return;
    fillColor = color;
    SetBkColor(dc(deviceContext), color.deviceColor());
    LOGBRUSH record = {BS_SOLID, color.deviceColor(), 0};
    // A failed brush leaves the previous one in use until a later colour succeeds.
    brush = replaceObject(deviceContext, brush, CreateBrushIndirect(&record));
}

void CDrawContext::setFontColor(const CColor& color) {
    fontColor = color;
    SetTextColor(dc(deviceContext), color.deviceColor());
}

void CDrawContext::setClipRect(const CRect& clip) {
    CRect device = clip;
    device.moveBy(offset.x, offset.y);
    if (device == clipRect)
        return;
    clipRect = device;
    HRGN region = CreateRectRgn(device.left, device.top, device.right, device.bottom);
    SelectClipRgn(dc(deviceContext), region);
    DeleteObject(region);  // the device keeps its own copy
}

void CDrawContext::drawRect(const CRect& rect) {
    const int32_t x0 = rect.left + offset.x;
    const int32_t y0 = rect.top + offset.y;
    const int32_t x1 = rect.right + offset.x - 1;
    const int32_t y1 = rect.bottom + offset.y - 1;
    HDC device = dc(deviceContext);
    MoveToEx(device, x0, y0, nullptr);
    LineTo(device, x1, y0);
    LineTo(device, x1, y1);
    LineTo(device, x0, y1);
    LineTo(device, x0, y0);
}

void CDrawContext::moveTo(const CPoint& point) {
    MoveToEx(dc(deviceContext), point.x + offset.x, point.y + offset.y, nullptr);
}

void CDrawContext::lineTo(const CPoint& point) { LineTo(dc(deviceContext), point.x + offset.x, point.y + offset.y); }

void CDrawContext::fillRect(const CRect& rect) {
    RECT area = deviceRect(rect, offset);
    ++area.left;
    ++area.top;
    HDC device = dc(deviceContext);
    HGDIOBJ previousPen = SelectObject(device, GetStockObject(NULL_PEN));
    FillRect(device, &area, static_cast<HBRUSH>(brush));
    SelectObject(device, previousPen);
}

void CDrawContext::setFont(int32_t id, int32_t style) {
    if (id < 0 || id >= kNumFonts)
        id = kFontDefault;
    if (id == fontId && kFontTable[id].size == fontSize && style == fontStyle)
        return;
    fontStyle = style;
    fontId = id;
    fontSize = kFontTable[id].size;
    LOGFONTA record = fontRecord(id, style);
    font = replaceObject(deviceContext, font, CreateFontIndirectA(&record));
}

void CDrawContext::drawString(const char* text, const CRect& rect, bool opaque, int32_t align) {
    if (!text)
        return;
    HDC device = dc(deviceContext);
    RECT area = deviceRect(rect, offset);
    SetBkMode(device, opaque ? OPAQUE : TRANSPARENT);
    UINT format = kTextFormat;
    if (align == kAlignCenter)
        format |= DT_CENTER;
    else if (align == kAlignRight)
        format |= DT_RIGHT;
    else
        ++area.left;
    DrawTextA(device, text, static_cast<int>(std::strlen(text)), &area, format);
    SetBkMode(device, TRANSPARENT);
}

int32_t CDrawContext::getMouseButtons() const {
    return mouseStateFromInput(readPhysicalInputState(), areMouseButtonsSwapped());
}

void CDrawContext::copyTo(CDrawContext* dest, const CRect& rect, const CPoint& destPoint) const {
    if (!dest)
        return;
    BitBlt(dc(dest->deviceContext), destPoint.x, destPoint.y, rect.width(), rect.height(), dc(deviceContext),
           rect.left + offset.x, rect.top + offset.y, SRCCOPY);
}

void CDrawContext::selectInitialState() {
    HDC device = dc(deviceContext);
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

}  // namespace VSTGUI
