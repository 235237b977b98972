// The stub window system the toolkit tests run on: its pixels for fills,
// lines and bitmap copies, its clipping, its pointer and its windows, so
// that what the other tests read back can be trusted.
#include <gtest/gtest.h>

#include "toolkit/drawing/CBitmap.h"
#include "toolkit/drawing/COffscreenContext.h"
#include "toolkit/platform/Cursor.h"
#include "toolkit/platform/MouseButtons.h"
#include "toolkit/platform/SystemServices.h"
#include "toolkit/platform/WindowGeometry.h"
#include "toolkit/views/CFrame.h"
#include "tests/native/GeometryPrinters.h"
#include "tests/toolkit/support/StubCanvas.h"

using namespace VSTGUI;
using quavixtest::CanvasContext;
using quavixtest::inside;
using quavixtest::kBlue;
using quavixtest::kRed;
using quavixtest::kWhite;
using quavixtest::pixelsAre;
using quavixtest::rgb;

namespace {

constexpr int32_t kPictureId = 9001;

// 6 x 4, every pixel its own colour; white in the top-left corner.
stub::Picture numberedPicture() {
    return quavixtest::makePicture(6, 4, [](int x, int y) { return x == 0 && y == 0 ? kWhite : rgb(x, y, 100); });
}

}  // namespace

TEST(StubCanvas, AFillLeavesOutTheLeftColumnAndTopRowAndStopsAtTheCanvas) {
    CanvasContext target(10, 8, kWhite);
    target.context->setFillColor(kColorBlue);
    target.context->fillRect(CRect(5, 4, 20, 20));
    EXPECT_TRUE(pixelsAre(target.canvas, [](int x, int y) { return x >= 6 && y >= 5 ? kBlue : kWhite; }));
    EXPECT_EQ(target.at(10, 0), 0xFFFFFFFFu);
    EXPECT_EQ(target.at(-1, 0), 0xFFFFFFFFu);
}

TEST(StubCanvas, LinesLeaveOutTheirEndPointInEveryDirection) {
    struct Case {
        CPoint from, to;
        int pixels;
        CPoint first, last;
    };
    const Case cases[] = {
        {{1, 1}, {6, 1}, 5, {1, 1}, {5, 1}},  // right
        {{6, 2}, {1, 2}, 5, {6, 2}, {2, 2}},  // left
        {{1, 1}, {1, 6}, 5, {1, 1}, {1, 5}},  // down
        {{2, 6}, {2, 1}, 5, {2, 6}, {2, 2}},  // up
        {{0, 0}, {4, 4}, 4, {0, 0}, {3, 3}},  // diagonal
        {{3, 3}, {3, 3}, 0, {3, 3}, {3, 3}},  // a point draws nothing
    };
    for (const Case& c : cases) {
        CanvasContext target(8, 8, kWhite);
        target.context->setFrameColor(kColorRed);
        target.context->moveTo(c.from);
        target.context->lineTo(c.to);
        EXPECT_EQ(quavixtest::countOf(target.canvas, kRed), c.pixels) << "case " << &c - cases;
        if (c.pixels) {
            EXPECT_EQ(target.at(c.first.x, c.first.y), kRed) << "case " << &c - cases;
            EXPECT_EQ(target.at(c.last.x, c.last.y), kRed) << "case " << &c - cases;
        }
        EXPECT_EQ(target.at(c.to.x, c.to.y), kWhite) << "case " << &c - cases;
    }
}

TEST(StubCanvas, TheClipBoundsEveryKindOfDrawing) {
    stub::addPicture(kPictureId, numberedPicture());
    CBitmap* bitmap = new CBitmap(kPictureId);
    CanvasContext target(12, 12, kWhite);
    target.context->setClipRect(CRect(2, 2, 5, 5));
    EXPECT_TRUE(target.canvas.hasClip());
    EXPECT_EQ(target.canvas.getClip(), CRect(2, 2, 5, 5));
    target.context->setFillColor(kColorBlue);
    target.context->fillRect(CRect(-1, -1, 12, 12));
    target.context->setFrameColor(kColorRed);
    target.context->moveTo(CPoint(0, 3));
    target.context->lineTo(CPoint(12, 3));
    bitmap->draw(target.context, CRect(0, 0, 6, 4));
    EXPECT_TRUE(pixelsAre(target.canvas, [](int x, int y) {
        if (!inside(x, 2, 4) || !inside(y, 2, 4))
            return kWhite;
        if (y < 4)
            return rgb(x, y, 100);  // the bitmap was drawn last
        return kBlue;
    }));
    bitmap->dropReference();
    stub::removePictures();
}

TEST(StubBitmap, CopiesFromTheSourcePointLeavesOutTheTransparentColourAndBlends) {
    stub::addPicture(kPictureId, numberedPicture());
    CBitmap* bitmap = new CBitmap(kPictureId);
    EXPECT_EQ(bitmap->getWidth(), 6);
    EXPECT_EQ(bitmap->getHeight(), 4);

    CanvasContext opaque(10, 10, kRed);
    opaque.context->offset = CPoint(1, 2);
    bitmap->draw(opaque.context, CRect(2, 2, 6, 5), CPoint(1, 1));
    EXPECT_TRUE(pixelsAre(opaque.canvas, [](int x, int y) {
        return inside(x, 3, 6) && inside(y, 4, 6) ? rgb(x - 3 + 1, y - 4 + 1, 100) : kRed;
    }));

    CanvasContext keyed(10, 10, kRed);
    bitmap->setTransparentColor(kColorWhite);
    bitmap->drawTransparent(keyed.context, CRect(0, 0, 6, 4));
    EXPECT_EQ(keyed.at(0, 0), kRed);
    EXPECT_EQ(keyed.at(1, 0), rgb(1, 0, 100));

    CanvasContext blended(10, 10, rgb(0, 0, 200));
    bitmap->drawAlphaBlend(blended.context, CRect(0, 0, 6, 4), CPoint(), 128);
    // (over * 128 + under * 127 + 127) / 255 per channel.
    EXPECT_EQ(blended.at(0, 0), rgb(128, 128, 228));
    EXPECT_EQ(blended.at(5, 3), rgb(3, 2, 150));
    bitmap->dropReference();

    CBitmap* missing = new CBitmap(kPictureId + 1);
    EXPECT_EQ(missing->getWidth(), 0);
    EXPECT_EQ(missing->getHandle(), nullptr);
    missing->dropReference();
    stub::removePictures();
}

TEST(StubCanvas, TextIsRecordedWithItsStateAtTheOffset) {
    CanvasContext target(40, 20, kWhite);
    target.context->offset = CPoint(3, 4);
    target.context->setFont(kFontSmall, kFontStyleBold);
    target.context->setFontColor(kColorRed);
    target.context->drawString("0.50", CRect(0, 0, 30, 14), true, kAlignRight);
    target.context->drawString(nullptr, CRect(0, 0, 30, 14));
    ASSERT_EQ(target.canvas.texts.size(), 1u);
    const stub::TextRecord& text = target.canvas.texts[0];
    EXPECT_EQ(text.text, "0.50");
    EXPECT_EQ(text.rect, CRect(3, 4, 33, 18));
    EXPECT_TRUE(text.opaque);
    EXPECT_EQ(text.align, kAlignRight);
    EXPECT_EQ(text.fontId, kFontSmall);
    EXPECT_EQ(text.fontStyle, kFontStyleBold);
    EXPECT_EQ(text.fontSize, 11);
    EXPECT_EQ(text.fontColor, kColorRed);
    EXPECT_EQ(quavixtest::countOf(target.canvas, kWhite), 40 * 20) << "text is not rasterised";
}

TEST(StubOffscreen, StartsInItsBackgroundAndTransfersAtTheDestinationsOffset) {
    const int32_t before = stub::Canvas::liveCount();
    {
        COffscreenContext offscreen(nullptr, 4, 3, kColorBlue);
        EXPECT_EQ(stub::Canvas::liveCount(), before + 1);
        EXPECT_EQ(static_cast<stub::Canvas*>(offscreen.getBitmap()), offscreen.deviceContext);
        CanvasContext target(10, 10, kWhite);
        target.context->offset = CPoint(2, 1);
        offscreen.transferTo(target.context, CRect(1, 1, 4, 3), CPoint(1, 0));
        EXPECT_TRUE(
            pixelsAre(target.canvas, [](int x, int y) { return inside(x, 3, 5) && inside(y, 2, 3) ? kBlue : kWhite; }));
    }
    EXPECT_EQ(stub::Canvas::liveCount(), before);
}

TEST(StubPointer, PlacedScriptedAndReadThroughTheSwap) {
    stub::resetPointer();
    stub::placePointer(CPoint(12, 34));
    EXPECT_EQ(getCursorScreenPosition(), CPoint(12, 34));
    stub::holdButtons(kButtonLeft | kModifierShift);
    CanvasContext target(1, 1, kWhite);
    EXPECT_EQ(target.context->getMouseButtons(), kButtonLeft | kModifierShift);
    setMouseButtonsSwapped(true);
    EXPECT_EQ(target.context->getMouseButtons(), kButtonRight | kModifierShift);
    setMouseButtonsSwapped(false);

    stub::scriptPointer({{CPoint(1, 1), kButtonLeft}, {CPoint(2, 2), 0}});
    EXPECT_EQ(target.context->getMouseButtons(), kButtonLeft);
    EXPECT_EQ(getCursorScreenPosition(), CPoint(1, 1));
    EXPECT_EQ(target.context->getMouseButtons(), 0);
    EXPECT_EQ(target.context->getMouseButtons(), 0) << "the last step stays";
    EXPECT_EQ(getCursorScreenPosition(), CPoint(2, 2));

    EXPECT_TRUE(setSystemCursorForType(2));
    EXPECT_EQ(stub::currentCursorType(), 2);
    EXPECT_FALSE(setSystemCursorForType(7));
    EXPECT_EQ(stub::currentCursorType(), 2);
    stub::resetPointer();
    EXPECT_EQ(stub::currentCursorType(), 0);
    EXPECT_EQ(getCursorScreenPosition(), CPoint(0, 0));
}

TEST(StubWindows, AFrameWindowSitsInItsHostDrawsIntoItsCanvasAndRegistersForDrops) {
    const uint32_t start = tickCount();
    sleepMilliseconds(25);
    EXPECT_EQ(tickCount(), start + 25) << "only sleeping moves the clock";

    stub::Window* host = stub::createHostWindow(CRect(100, 50, 500, 450));
    CFrame* frame = new CFrame(CRect(0, 0, 40, 30), stub::handleOf(host), nullptr);
    stub::Window* window = stub::windowOf(frame->getSystemWindow());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->parent, host);
    EXPECT_EQ(window->frame, frame);
    EXPECT_NE(window->dropTarget, nullptr);
    EXPECT_EQ(windowScreenRect(frame->getSystemWindow()), CRect(100, 50, 140, 80));
    EXPECT_EQ(screenToClient(frame->getSystemWindow(), CPoint(110, 60)), CPoint(10, 10));
    EXPECT_EQ(window->canvas.width(), 40);

    frame->setBackgroundColor(kColorRed);
    stub::paint(frame->getSystemWindow(), CRect(0, 0, 40, 30));
    EXPECT_EQ(window->canvas.at(20, 15), kRed);
    frame->setDropActive(false);
    EXPECT_EQ(window->dropTarget, nullptr);
    delete frame;
    stub::destroyHostWindow(host);
}
