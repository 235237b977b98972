// The drawing context on real GDI devices: what lands in the pixels, which
// objects the device holds, what is put back and released, and the live
// mouse state.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "toolkit/views/CFrame.h"
#include "toolkit/drawing/CDrawContext.h"
#include "toolkit/platform/MouseButtons.h"
#include "tests/native/GeometryPrinters.h"
#include "tests/win32/support/CanvasContext.h"
#include "tests/win32/support/GuiObjectCounts.h"
#include "tests/win32/support/HostWindow.h"
#include "tests/win32/support/MessagePump.h"
#include "tests/win32/support/PixelCanvas.h"
#include "tests/win32/support/WindowPixels.h"

using namespace VSTGUI;
using quavixtest::CanvasContext;
using quavixtest::expectFont;
using quavixtest::expectFreshDeviceState;
using quavixtest::HostWindow;
using quavixtest::inside;
using quavixtest::kBlue;
using quavixtest::kRed;
using quavixtest::kWhite;
using quavixtest::PixelCanvas;
using quavixtest::pixelsAre;
using quavixtest::rgb;
using quavixtest::selectedFont;
using quavixtest::selectedPen;

namespace {

constexpr CColor kTranslucentRed = {255, 0, 0, 0};

HGDIOBJ selected(HDC device, UINT type) { return GetCurrentObject(device, type); }

void expectFreshCachedState(const CDrawContext& context) {
    EXPECT_EQ(context.getFrameColor(), kColorWhite);
    EXPECT_EQ(context.getFillColor(), kColorBlack);
    EXPECT_EQ(context.getFontColor(), kColorWhite);
    EXPECT_EQ(context.getLineWidth(), 1);
    EXPECT_EQ(context.getFontId(), kFontDefault);
    EXPECT_EQ(context.getFontStyle(), 0);
    EXPECT_EQ(context.getFontSize(), 12);
    EXPECT_EQ(context.offset, CPoint(0, 0));
}

}  // namespace

// ---------------------------------------------------------------------------
// Outlines and fills land on exactly the columns and rows they promise.

TEST(RectangleDrawing, OutlineCoversTheFirstAndLastColumnAndRowOnly) {
    CanvasContext target(20, 20, kWhite);
    target.context->setFrameColor(kColorRed);
    target.context->drawRect(CRect(0, 0, 10, 10));
    EXPECT_TRUE(pixelsAre(target.canvas, [](int x, int y) {
        const bool onOutline = (inside(x, 0, 9) && (y == 0 || y == 9)) || (inside(y, 0, 9) && (x == 0 || x == 9));
        return onOutline ? kRed : kWhite;
    }));
}

TEST(RectangleDrawing, FillCoversTheInteriorAndTheRightColumnAndBottomRow) {
    CanvasContext target(20, 20, kWhite);
    target.context->setFillColor(kColorBlue);
    target.context->fillRect(CRect(0, 0, 10, 10));
    EXPECT_TRUE(
        pixelsAre(target.canvas, [](int x, int y) { return inside(x, 1, 9) && inside(y, 1, 9) ? kBlue : kWhite; }));
}

TEST(RectangleDrawing, FillThenOutlineMakesABorderedBoxAtTheOffset) {
    CanvasContext target(30, 30, kWhite);
    target.context->offset = CPoint(5, 7);
    target.context->setFillColor(kColorBlue);
    target.context->setFrameColor(kColorRed);
    target.context->fillRect(CRect(0, 0, 10, 10));
    target.context->drawRect(CRect(0, 0, 10, 10));
    EXPECT_TRUE(pixelsAre(target.canvas, [](int x, int y) {
        if (!inside(x, 5, 14) || !inside(y, 7, 16))
            return kWhite;
        return x == 5 || x == 14 || y == 7 || y == 16 ? kRed : kBlue;
    }));
}

TEST(RectangleDrawing, WiderLinesMakeAWiderSolidPen) {
    CanvasContext target(40, 40, kWhite);
    target.context->setLineWidth(3);
    const LOGPEN pen = selectedPen(target.device());
    EXPECT_EQ(pen.lopnWidth.x, 3);
    EXPECT_EQ(pen.lopnStyle, static_cast<UINT>(PS_SOLID));
    target.context->setFrameColor(kColorRed);
    target.context->drawRect(CRect(10, 10, 30, 30));
    // A three-pixel pen centred on column 10 also covers columns 9 and 11.
    EXPECT_EQ(target.canvas.at(9, 20), kRed);
    EXPECT_EQ(target.canvas.at(11, 20), kRed);
    EXPECT_EQ(target.canvas.at(20, 20), kWhite);
}

// ---------------------------------------------------------------------------
// Clipping is kept in device coordinates and answered in the caller's.

TEST(Clipping, ClipRectFollowsTheOffsetAndAnswersInCallerCoordinates) {
    CanvasContext target(30, 30, kWhite);
    target.context->offset = CPoint(5, 7);
    target.context->setClipRect(CRect(0, 0, 10, 10));
    CRect answered;
    EXPECT_EQ(target.context->getClipRect(answered), CRect(0, 0, 10, 10));
    RECT deviceClip;
    ASSERT_EQ(GetClipBox(target.device(), &deviceClip), SIMPLEREGION);
    EXPECT_EQ(deviceClip.left, 5);
    EXPECT_EQ(deviceClip.top, 7);
    EXPECT_EQ(deviceClip.right, 15);
    EXPECT_EQ(deviceClip.bottom, 17);

    target.context->setFillColor(kColorRed);
    target.context->fillRect(CRect(-20, -20, 40, 40));
    EXPECT_TRUE(
        pixelsAre(target.canvas, [](int x, int y) { return inside(x, 5, 14) && inside(y, 7, 16) ? kRed : kWhite; }));
}

TEST(Clipping, AnUnchangedClipRectMakesNoDeviceCall) {
    CanvasContext target(30, 30, kWhite);
    target.context->setClipRect(CRect(0, 0, 10, 10));
    SelectClipRgn(target.device(), nullptr);  // taken away behind the context's back
    target.context->setClipRect(CRect(0, 0, 10, 10));
    HRGN probe = CreateRectRgn(0, 0, 1, 1);
    EXPECT_EQ(GetClipRgn(target.device(), probe), 0) << "the device has no clip region again";
    target.context->setClipRect(CRect(0, 0, 11, 10));
    EXPECT_EQ(GetClipRgn(target.device(), probe), 1);
    DeleteObject(probe);
}

// ---------------------------------------------------------------------------
// Text: one line, aligned in the rectangle, opaque or see-through.

namespace {

// The same text drawn straight through GDI with the font, colours and mode
// that the context selected, as the reference picture.
void drawReference(PixelCanvas& reference, HDC contextDevice, const char* text, RECT area, UINT format, bool opaque) {
    HGDIOBJ previousFont = SelectObject(reference.device(), selected(contextDevice, OBJ_FONT));
    SetTextColor(reference.device(), GetTextColor(contextDevice));
    SetBkColor(reference.device(), GetBkColor(contextDevice));
    SetBkMode(reference.device(), opaque ? OPAQUE : TRANSPARENT);
    DrawTextA(reference.device(), text, static_cast<int>(std::strlen(text)), &area, format);
    SelectObject(reference.device(), previousFont);
}

struct TextCase {
    int32_t align;
    UINT format;
    int referenceShift;  // how far the reference rectangle moves right
};

constexpr UINT kSingleLineFormat = DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER;

}  // namespace

TEST(Text, AlignmentMatchesTheReferenceDrawing) {
    const TextCase cases[] = {
        {kAlignLeft, kSingleLineFormat, 1},
        {kAlignCenter, kSingleLineFormat | DT_CENTER, 0},
        {kAlignRight, kSingleLineFormat | DT_RIGHT, 0},
        {7, kSingleLineFormat, 1},  // unknown alignments are left-aligned
    };
    for (const TextCase& textCase : cases) {
        SCOPED_TRACE(testing::Message() << "alignment " << textCase.align);
        CanvasContext target(200, 60, kWhite);
        target.context->offset = CPoint(7, 3);
        target.context->setFontColor(kColorBlue);
        target.context->drawString("Hz 440", CRect(10, 10, 150, 40), false, textCase.align);

        PixelCanvas reference(200, 60, kWhite);
        const RECT area = {17 + textCase.referenceShift, 13, 157, 43};
        drawReference(reference, target.device(), "Hz 440", area, textCase.format, false);
        EXPECT_TRUE(pixelsAre(target.canvas, [&](int x, int y) { return reference.at(x, y); }));
    }
}

TEST(Text, LeftStartsOnePixelInCentreSitsInTheMiddleRightEndsAtTheEdge) {
    // Device rectangle (17, 13)-(157, 43) for every alignment.
    RECT ink[3];
    for (int32_t align = kAlignLeft; align <= kAlignRight; ++align) {
        CanvasContext target(200, 60, kWhite);
        target.context->offset = CPoint(7, 3);
        target.context->setFontColor(kColorBlack);
        target.context->drawString("H", CRect(10, 10, 150, 40), false, align);
        ink[align] = target.canvas.boundsNotOf(kWhite);
        ASSERT_LT(ink[align].left, ink[align].right) << "alignment " << align << " drew nothing";
    }
    EXPECT_TRUE(inside(ink[kAlignLeft].left, 18, 20)) << ink[kAlignLeft].left;
    const int centre = (ink[kAlignCenter].left + ink[kAlignCenter].right) / 2;
    EXPECT_TRUE(inside(centre, 85, 89)) << centre;
    EXPECT_TRUE(inside(ink[kAlignRight].right, 155, 157)) << ink[kAlignRight].right;
    const int middle = (ink[kAlignLeft].top + ink[kAlignLeft].bottom) / 2;
    EXPECT_TRUE(inside(middle, 26, 30)) << "vertically centred: " << middle;
}

TEST(Text, OpaqueTextFillsItsBackgroundWithTheFillColour) {
    CanvasContext target(200, 60, kWhite);
    target.context->setFillColor(kColorRed);
    target.context->setFontColor(kColorBlack);
    target.context->drawString("Gain", CRect(10, 10, 190, 40), true, kAlignLeft);
    EXPECT_EQ(GetBkMode(target.device()), TRANSPARENT) << "the mode returns to transparent";

    PixelCanvas reference(200, 60, kWhite);
    drawReference(reference, target.device(), "Gain", RECT{11, 10, 190, 40}, kSingleLineFormat, true);
    EXPECT_TRUE(pixelsAre(target.canvas, [&](int x, int y) { return reference.at(x, y); }));
    EXPECT_GT(target.canvas.count(kRed), 100);
    const RECT painted = target.canvas.boundsNotOf(kWhite);
    EXPECT_GE(painted.left, 11);
    EXPECT_GE(painted.top, 10);
    EXPECT_LE(painted.bottom, 40);
    EXPECT_LT(painted.right, 100) << "only the text's own extent is filled";
}

TEST(Text, SeeThroughTextLeavesTheBackgroundAndUsesTheFontColour) {
    CanvasContext target(200, 60, kWhite);
    target.context->setFillColor(kColorRed);
    target.context->setFontColor(kColorBlue);
    target.context->drawString("Gain", CRect(10, 10, 190, 40), false, kAlignLeft);
    EXPECT_EQ(target.canvas.count(kRed), 0);
    EXPECT_GT(target.canvas.count(kBlue), 0) << "the stems are drawn in the font colour";
}

TEST(Text, NullTextDrawsNothingAndChangesNothing) {
    CanvasContext target(100, 40, kWhite);
    target.context->setFillColor(kColorRed);
    SetBkMode(target.device(), OPAQUE);
    target.context->drawString(nullptr, CRect(0, 0, 100, 40), true, kAlignLeft);
    EXPECT_EQ(target.canvas.count(kWhite), 100 * 40);
    EXPECT_EQ(GetBkMode(target.device()), OPAQUE);
}

TEST(Text, AmpersandsAreDrawnAsTheyAre) {
    int inkWidth[2];
    const char* texts[2] = {"&", "&&"};
    for (int i = 0; i < 2; ++i) {
        CanvasContext target(100, 40, kWhite);
        target.context->setFontColor(kColorBlack);
        target.context->drawString(texts[i], CRect(0, 0, 100, 40), false, kAlignLeft);
        const RECT ink = target.canvas.boundsNotOf(kWhite);
        inkWidth[i] = ink.right - ink.left;
    }
    EXPECT_GT(inkWidth[0], 0);
    EXPECT_GT(inkWidth[1] * 2, inkWidth[0] * 3) << "two ampersands, not one mnemonic";
}

TEST(Text, TextIsClippedToItsRectangle) {
    CanvasContext target(200, 40, kWhite);
    target.context->setFontColor(kColorBlack);
    target.context->drawString("Center Frequency", CRect(0, 0, 30, 40), false, kAlignLeft);
    const RECT ink = target.canvas.boundsNotOf(kWhite);
    EXPECT_GT(ink.right, 0);
    EXPECT_LE(ink.right, 30);
}

// ---------------------------------------------------------------------------
// Fonts come from the table; the size is always the table's.

TEST(Fonts, TableEntriesAreSelectedWithTheirFaceSizeWeightAndFamily) {
    CanvasContext target(10, 10, kWhite);
    HDC device = target.device();

    target.context->setFont(9, 0);
    EXPECT_EQ(target.context->getFontId(), kFontDefault);
    expectFont(device, "Arial", -12, FW_BOLD, 0, 0, 0x22);

    target.context->setFont(kFontNormal, kFontStyleBold | kFontStyleItalic);
    expectFont(device, "Arial", -12, FW_BOLD, 1, 0, 0x22);

    target.context->setFont(kFontSymbol, 0);
    expectFont(device, "Symbol", -13, FW_NORMAL, 0, 0, 0x50);

    target.context->setFont(kFontSmall, kFontStyleUnderline | 64);
    expectFont(device, "Arial", -11, FW_NORMAL, 0, 1, 0x22);

    target.context->setFont(-1, kFontStyleItalic);
    EXPECT_EQ(target.context->getFontId(), kFontDefault);
    expectFont(device, "Arial", -12, FW_BOLD, 1, 0, 0x22);
}

TEST(Fonts, EverySizeOfTheTable) {
    const int32_t sizes[kNumFonts] = {12, 18, 14, 12, 11, 10, 9, 13};
    CanvasContext target(10, 10, kWhite);
    for (int32_t id = 0; id < kNumFonts; ++id) {
        target.context->setFont(id, 0);
        EXPECT_EQ(target.context->getFontSize(), sizes[id]) << "font " << id;
        EXPECT_EQ(selectedFont(target.device()).lfHeight, -sizes[id]) << "font " << id;
    }
}

// ---------------------------------------------------------------------------
// Objects are made only when the value they realise changes.

TEST(ObjectReuse, SameFrameColourKeepsThePenAlphaAloneMakesANewOne) {
    CanvasContext target(10, 10, kWhite);
    target.context->setFrameColor(kColorRed);
    HGDIOBJ red = selected(target.device(), OBJ_PEN);
    target.context->setFrameColor(kColorRed);
    EXPECT_EQ(selected(target.device(), OBJ_PEN), red);
    target.context->setFrameColor(kTranslucentRed);
    HGDIOBJ translucent = selected(target.device(), OBJ_PEN);
    EXPECT_NE(translucent, red);
    EXPECT_EQ(selectedPen(target.device()).lopnColor, RGB(255, 0, 0)) << "alpha never reaches the device";
    EXPECT_EQ(GetObjectType(red), 0u) << "the replaced pen is deleted";
}

TEST(ObjectReuse, SameLineWidthKeepsThePen) {
    CanvasContext target(10, 10, kWhite);
    HGDIOBJ first = selected(target.device(), OBJ_PEN);
    target.context->setLineWidth(1);
    EXPECT_EQ(selected(target.device(), OBJ_PEN), first);
    target.context->setLineWidth(2);
    EXPECT_NE(selected(target.device(), OBJ_PEN), first);
}

TEST(ObjectReuse, SameFillColourKeepsTheBrushAndTheTextBackground) {
    CanvasContext target(10, 10, kWhite);
    target.context->setFillColor(kColorRed);
    HGDIOBJ red = selected(target.device(), OBJ_BRUSH);
    EXPECT_EQ(GetBkColor(target.device()), RGB(255, 0, 0));
    SetBkColor(target.device(), RGB(1, 2, 3));  // changed behind the context's back
    target.context->setFillColor(kColorRed);
    EXPECT_EQ(selected(target.device(), OBJ_BRUSH), red);
    EXPECT_EQ(GetBkColor(target.device()), RGB(1, 2, 3)) << "no device call for an unchanged colour";
    target.context->setFillColor(kTranslucentRed);
    EXPECT_NE(selected(target.device(), OBJ_BRUSH), red);
    EXPECT_EQ(GetBkColor(target.device()), RGB(255, 0, 0));
    EXPECT_EQ(GetObjectType(red), 0u);
}

TEST(ObjectReuse, SameFontTwiceKeepsTheFont) {
    CanvasContext target(10, 10, kWhite);
    target.context->setFont(kFontSmall, kFontStyleItalic);
    HGDIOBJ small = selected(target.device(), OBJ_FONT);
    target.context->setFont(kFontSmall, kFontStyleItalic);
    EXPECT_EQ(selected(target.device(), OBJ_FONT), small);
    target.context->setFont(kFontSmall, 0);
    EXPECT_NE(selected(target.device(), OBJ_FONT), small);
    EXPECT_EQ(GetObjectType(small), 0u);
}

TEST(ObjectReuse, DefaultFontAndNormalFontShareASizeButAreDifferentFonts) {
    CanvasContext target(10, 10, kWhite);
    HGDIOBJ defaultFont = selected(target.device(), OBJ_FONT);
    target.context->setFont(kFontNormal, 0);
    EXPECT_NE(selected(target.device(), OBJ_FONT), defaultFont);
    EXPECT_EQ(selectedFont(target.device()).lfWeight, FW_NORMAL);
}

TEST(ObjectReuse, EveryFontColourReachesTheDevice) {
    CanvasContext target(10, 10, kWhite);
    SetTextColor(target.device(), RGB(9, 9, 9));
    target.context->setFontColor(kColorWhite);  // equal to the stored colour
    EXPECT_EQ(GetTextColor(target.device()), RGB(255, 255, 255));
    target.context->setFontColor(kColorCyan);
    EXPECT_EQ(GetTextColor(target.device()), RGB(0, 255, 255));
}

// ---------------------------------------------------------------------------
// A context puts back what it found and frees what it made.

TEST(Lifecycle, FreshContextOnADeviceHoldsTheInitialState) {
    CanvasContext target(10, 10, kWhite);
    expectFreshCachedState(*target.context);
    expectFreshDeviceState(target.device(), RGB(255, 255, 255));
    EXPECT_EQ(target.context->deviceContext, target.device());
    EXPECT_EQ(target.context->getWindow(), nullptr);
    EXPECT_EQ(target.context->screenOrigin, CPoint(0, 0));
    EXPECT_EQ(target.context->getNbReference(), 1);
}

TEST(Lifecycle, RestoresTheDevicesObjectsAndDeletesItsOwn) {
    PixelCanvas canvas(10, 10, kWhite);
    HDC device = canvas.device();
    HPEN pen = CreatePen(PS_DASH, 1, RGB(1, 2, 3));
    HBRUSH brush = CreateSolidBrush(RGB(4, 5, 6));
    HFONT font = CreateFontA(-20, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Courier New");
    SelectObject(device, pen);
    SelectObject(device, brush);
    SelectObject(device, font);

    CDrawContext* context = new CDrawContext(nullptr, nullptr, device);
    context->setFrameColor(kColorRed);
    HGDIOBJ replacedPen = selected(device, OBJ_PEN);
    context->setFrameColor(kColorBlue);
    HGDIOBJ ownPen = selected(device, OBJ_PEN);
    HGDIOBJ ownBrush = selected(device, OBJ_BRUSH);
    HGDIOBJ ownFont = selected(device, OBJ_FONT);
    EXPECT_NE(ownPen, pen);
    EXPECT_NE(ownBrush, brush);
    EXPECT_NE(ownFont, font);
    EXPECT_EQ(GetObjectType(replacedPen), 0u);
    context->dropReference();

    EXPECT_EQ(selected(device, OBJ_PEN), pen);
    EXPECT_EQ(selected(device, OBJ_BRUSH), brush);
    EXPECT_EQ(selected(device, OBJ_FONT), font);
    EXPECT_EQ(GetObjectType(ownPen), 0u);
    EXPECT_EQ(GetObjectType(ownBrush), 0u);
    EXPECT_EQ(GetObjectType(ownFont), 0u);
    EXPECT_EQ(GetObjectType(device), static_cast<DWORD>(OBJ_MEMDC)) << "a given device is never released";

    SelectObject(device, GetStockObject(BLACK_PEN));
    SelectObject(device, GetStockObject(WHITE_BRUSH));
    SelectObject(device, GetStockObject(SYSTEM_FONT));
    DeleteObject(pen);
    DeleteObject(brush);
    DeleteObject(font);
}

TEST(Lifecycle, ReferencesKeepTheContextUntilTheLastIsDropped) {
    PixelCanvas canvas(10, 10, kWhite);
    CDrawContext* context = new CDrawContext(nullptr, nullptr, canvas.device());
    HGDIOBJ ownPen = selected(canvas.device(), OBJ_PEN);
    context->addReference();
    context->dropReference();
    EXPECT_EQ(GetObjectType(ownPen), static_cast<DWORD>(OBJ_PEN)) << "still alive with one reference";
    context->dropReference();
    EXPECT_EQ(GetObjectType(ownPen), 0u);
}

TEST(Lifecycle, AContextWithoutADeviceStillMakesAndFreesItsObjects) {
    const uint32_t before = quavixtest::countGdiObjects();
    CDrawContext* context = new CDrawContext(nullptr, nullptr, nullptr);
    EXPECT_EQ(quavixtest::countGdiObjects(), before + 3) << "pen, brush and font";
    expectFreshCachedState(*context);
    context->setFillColor(kColorRed);
    context->setFont(kFontSymbol, 0);
    context->fillRect(CRect(0, 0, 10, 10));
    context->drawString("quiet", CRect(0, 0, 10, 10), true, kAlignLeft);
    context->dropReference();
    EXPECT_EQ(quavixtest::countGdiObjects(), before);
}

namespace {

// ReleaseDC answers 1 only for a device that is still taken from the window.
bool stillTaken(HWND window, HDC device) { return ReleaseDC(window, device) == 1; }

}  // namespace

TEST(WindowContext, TakesTheWindowsDeviceAndReleasesIt) {
    HostWindow host(30, 40, 200, 100);
    ASSERT_NE(host.handle(), nullptr);
    HDC probe = GetDC(host.handle());
    ASSERT_TRUE(stillTaken(host.handle(), probe)) << "the probe sees a taken device";
    ASSERT_FALSE(stillTaken(host.handle(), probe)) << "and a released one";

    CDrawContext* context = new CDrawContext(nullptr, host.handle(), nullptr);
    HDC taken = static_cast<HDC>(context->deviceContext);
    ASSERT_NE(taken, nullptr);
    expectFreshCachedState(*context);
    expectFreshDeviceState(taken, RGB(255, 255, 255));
    EXPECT_EQ(context->screenOrigin, CPoint(30, 40));
    EXPECT_EQ(context->getWindow(), host.handle());
    CRect clip;
    EXPECT_EQ(context->getClipRect(clip), CRect(0, 0, 1000, 1000));
    context->dropReference();
    EXPECT_FALSE(stillTaken(host.handle(), taken)) << "the context released the device it took";
}

TEST(WindowContext, LeavesAGivenPaintDeviceAlone) {
    HostWindow host(10, 10, 100, 100);
    PAINTSTRUCT paint;
    InvalidateRect(host.handle(), nullptr, FALSE);
    HDC painting = BeginPaint(host.handle(), &paint);
    ASSERT_NE(painting, nullptr);
    CDrawContext* context = new CDrawContext(nullptr, host.handle(), painting);
    EXPECT_EQ(context->deviceContext, painting);
    EXPECT_EQ(context->screenOrigin, CPoint(10, 10));
    context->setFillColor(kColorRed);
    context->fillRect(CRect(0, 0, 100, 100));
    context->dropReference();
    EXPECT_NE(GetObjectType(painting), 0u) << "the paint device is still there";
    EXPECT_EQ(GetBkColor(painting), RGB(255, 0, 0)) << "and still usable";
    EndPaint(host.handle(), &paint);
}

TEST(WindowContext, DrawsIntoTheWindow) {
    HostWindow host(0, 0, 60, 60);
    quavixtest::pumpPendingMessages();
    CDrawContext* context = new CDrawContext(nullptr, host.handle(), nullptr);
    context->setFillColor(kColorGreen);
    context->fillRect(CRect(9, 9, 19, 19));
    context->dropReference();
    quavixtest::WindowPixels pixels(host.handle());
    EXPECT_EQ(pixels.at(10, 10), rgb(0, 255, 0));
    EXPECT_EQ(pixels.at(18, 18), rgb(0, 255, 0));
    EXPECT_NE(pixels.at(9, 9), rgb(0, 255, 0));
    EXPECT_NE(pixels.at(19, 19), rgb(0, 255, 0));
}

// ---------------------------------------------------------------------------
// Mouse state: the physical buttons through the system's swap.

namespace {

void sendLeftButton(bool down) {
    INPUT event = {};
    event.type = INPUT_MOUSE;
    event.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &event, sizeof(event));
}

// Waits until the context reports the expected state (the system's view of
// the keys lags a little behind the input).
bool reportsWithin(const CDrawContext& context, int32_t expected) {
    return quavixtest::pumpUntil([&] { return context.getMouseButtons() == expected; }, 2000);
}

}  // namespace

// Modifier keys sent as input alone are taken back by the system when it
// resynchronises with the display's keyboard, so only the button is live here.
TEST(MouseState, TheLiveLeftButtonIsReadThroughTheSwapFlag) {
    HostWindow host(0, 0, 50, 50);
    PixelCanvas canvas(4, 4, kWhite);
    CDrawContext context(nullptr, nullptr, canvas.device());
    ASSERT_FALSE(areMouseButtonsSwapped()) << "no window class registered the flag in this program";
    ASSERT_TRUE(reportsWithin(context, 0)) << "nothing is held at the start";

    sendLeftButton(true);
    EXPECT_TRUE(reportsWithin(context, kButtonLeft));
    setMouseButtonsSwapped(true);
    EXPECT_TRUE(reportsWithin(context, kButtonRight));
    setMouseButtonsSwapped(false);
    sendLeftButton(false);
    EXPECT_TRUE(reportsWithin(context, 0));
}

// ---------------------------------------------------------------------------
// Nothing a context makes outlives it.

TEST(GdiObjects, FiveHundredContextsLeaveNoObjectBehind) {
    PixelCanvas canvas(64, 64, kWhite);
    HostWindow host(0, 0, 64, 64);
    auto cycle = [&](int round) {
        CDrawContext* context = new CDrawContext(nullptr, nullptr, canvas.device());
        const CColor varying = {uint8_t(round), uint8_t(round * 7), 0, 255};
        context->setFrameColor(varying);
        context->setFillColor(varying);
        context->setLineWidth(1 + round % 3);
        context->setFont(round % kNumFonts, round % 8);
        context->setClipRect(CRect(0, 0, 32 + round % 16, 40));
        context->fillRect(CRect(0, 0, 30, 30));
        context->drawRect(CRect(0, 0, 30, 30));
        context->drawString("440 Hz", CRect(0, 30, 64, 50), round % 2 == 0, round % 3);
        context->dropReference();

        CDrawContext* onWindow = new CDrawContext(nullptr, host.handle(), nullptr);
        onWindow->setFillColor(varying);
        onWindow->fillRect(CRect(0, 0, 20, 20));
        onWindow->dropReference();
    };
    cycle(0);  // lets the system set up whatever it keeps for the window

    ASSERT_TRUE(quavixtest::gdiCountSeesObjects());
    const uint32_t before = quavixtest::countGdiObjects();
    for (int round = 1; round <= 500; ++round)
        cycle(round);
    EXPECT_EQ(quavixtest::countGdiObjects(), before);
}
