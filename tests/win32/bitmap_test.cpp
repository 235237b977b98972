// Bitmaps from the module's resources and made at run time, drawn opaque,
// with a see-through colour (with and without msimg32's TransparentBlt) and
// blended; offscreen contexts and the copies between contexts.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "quavix/QuavixConfig.h"
#include "toolkit/views/CFrame.h"
#include "toolkit/drawing/CBitmap.h"
#include "toolkit/drawing/CDrawContext.h"
#include "toolkit/drawing/COffscreenContext.h"
#include "platform/win32/ImageFunctions.h"
#include "tests/native/GeometryPrinters.h"
#include "tests/win32/support/CanvasContext.h"
#include "tests/win32/support/GuiObjectCounts.h"
#include "tests/win32/support/HostWindow.h"
#include "tests/win32/support/PixelCanvas.h"
#include "tests/win32/support/TestPictures.h"
#include "tests/win32/support/WindowPixels.h"

using namespace VSTGUI;
using quavix::kBackgroundBitmap;
using quavix::kDigitsBitmap;
using quavix::kRockerBitmap;
using quavix::kSliderHandleBitmap;
using quavix::kSliderTrackBitmap;
using quavixtest::CanvasContext;
using quavixtest::inside;
using quavixtest::kBlack;
using quavixtest::kBlue;
using quavixtest::kGreen;
using quavixtest::kRed;
using quavixtest::kWhite;
using quavixtest::PixelCanvas;
using quavixtest::pixelsAre;
using quavixtest::rgb;
using quavixtest::selectedPen;

namespace {

constexpr uint32_t kAlmostWhite = rgb(255, 255, 254);
constexpr uint32_t kGrey = rgb(128, 128, 128);
constexpr uint32_t kYellow = rgb(255, 255, 0);
constexpr int32_t kMissingResource = 999;

// A colour different at every pixel of a 42 by 256 area.
uint32_t pattern(int x, int y) { return rgb((x * 6) & 0xFF, y & 0xFF, 77); }

// Six colours across, two rows: white, near-white and pure colours.
const uint32_t kPictureRows[2][6] = {
    {kWhite, kAlmostWhite, kRed, kWhite, kBlue, rgb(254, 255, 255)},
    {kGreen, kWhite, kWhite, kBlack, kAlmostWhite, kWhite},
};

CBitmap* makeTestBitmap() {
    return new CBitmap(
        static_cast<GraphicsHandle>(quavixtest::makePicture(6, 2, [](int x, int y) { return kPictureRows[y][x]; })));
}

// The pixels of an offscreen context's bitmap, copied out with GDI alone
// onto a canvas of another colour (which shows where nothing was copied).
std::unique_ptr<PixelCanvas> pixelsOf(const COffscreenContext& offscreen, uint32_t canvasColor) {
    auto seen = std::make_unique<PixelCanvas>(offscreen.getWidth(), offscreen.getHeight(), canvasColor);
    BitBlt(seen->device(), 0, 0, seen->width(), seen->height(), static_cast<HDC>(offscreen.deviceContext), 0, 0,
           SRCCOPY);
    return seen;
}

// Runs one test body with msimg32's TransparentBlt and once without it.
class ImageFunctionsLoaded : public testing::Test {
protected:
    static void SetUpTestSuite() { library = loadImageFunctions(); }
    static void TearDownTestSuite() { freeImageFunctions(library); }
    void SetUp() override {
        ASSERT_NE(getTransparentBlt(), nullptr);
        ASSERT_NE(getAlphaBlend(), nullptr);
    }
    void TearDown() override {
        setTransparentBlt(transparentBlt);
        setAlphaBlend(alphaBlend);
    }

    static ModuleHandle library;
    TransparentBltFunction transparentBlt = getTransparentBlt();
    AlphaBlendFunction alphaBlend = getAlphaBlend();
};

ModuleHandle ImageFunctionsLoaded::library = nullptr;

class TransparentDrawing : public ImageFunctionsLoaded, public testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        ImageFunctionsLoaded::SetUp();
        if (!GetParam())
            setTransparentBlt(nullptr);
    }
};

std::string pathName(const testing::TestParamInfo<bool>& info) {
    return info.param ? "WithTransparentBlt" : "WithMonochromeMask";
}

}  // namespace

// ---------------------------------------------------------------------------
// msimg32 is found at run time and its two functions fill the slots.

TEST(ImageFunctions, LoadingFillsBothSlotsAndTheVersionRecord) {
    ModuleHandle library = loadImageFunctions();
    ASSERT_NE(library, nullptr);
    HMODULE loaded = GetModuleHandleA("msimg32.dll");
    ASSERT_EQ(static_cast<HMODULE>(library), loaded);
    EXPECT_EQ(reinterpret_cast<void*>(getAlphaBlend()), reinterpret_cast<void*>(GetProcAddress(loaded, "AlphaBlend")));
    EXPECT_EQ(reinterpret_cast<void*>(getTransparentBlt()),
              reinterpret_cast<void*>(GetProcAddress(loaded, "TransparentBlt")));
    const SystemVersion version = getSystemVersion();
    EXPECT_EQ(version.recordSize, 156u);
    EXPECT_EQ(version.platformId, static_cast<uint32_t>(VER_PLATFORM_WIN32_NT));
    EXPECT_GE(version.majorVersion, 5u);
    EXPECT_FALSE(isWindows98());
    freeImageFunctions(library);
}

TEST(ImageFunctions, SlotsStayWhileAnyLoadHoldsTheLibraryAndClearWhenItUnloads) {
    ModuleHandle first = loadImageFunctions();
    ModuleHandle second = loadImageFunctions();
    ASSERT_NE(second, nullptr);
    freeImageFunctions(first);
    EXPECT_NE(getAlphaBlend(), nullptr);
    EXPECT_NE(getTransparentBlt(), nullptr);
    freeImageFunctions(second);
    const bool unloaded = GetModuleHandleA("msimg32.dll") == nullptr;
    EXPECT_EQ(getAlphaBlend() == nullptr, unloaded);
    EXPECT_EQ(getTransparentBlt() == nullptr, unloaded);
    freeImageFunctions(nullptr);  // nothing loaded, nothing to give back
}

// ---------------------------------------------------------------------------
// White is see-through, everything else lands, whichever way is available.

TEST_P(TransparentDrawing, WhiteShowsTheDestinationAndNearWhiteIsDrawn) {
    CanvasContext target(20, 10, kGrey);
    target.context->offset = CPoint(2, 3);
    CBitmap* bitmap = makeTestBitmap();
    ASSERT_EQ(bitmap->getWidth(), 6);
    ASSERT_EQ(bitmap->getHeight(), 2);
    bitmap->drawTransparent(target.context, CRect(1, 1, 7, 3));
    EXPECT_TRUE(pixelsAre(target.canvas, [](int x, int y) {
        if (!inside(x, 3, 8) || !inside(y, 4, 5))
            return kGrey;
        const uint32_t source = kPictureRows[y - 4][x - 3];
        return source == kWhite ? kGrey : source;
    }));
    bitmap->dropReference();
}

TEST_P(TransparentDrawing, SourcePointPicksTheAreaDrawn) {
    CanvasContext target(10, 10, kGrey);
    CBitmap* bitmap = makeTestBitmap();
    bitmap->drawTransparent(target.context, CRect(0, 0, 3, 1), CPoint(2, 1));
    EXPECT_TRUE(pixelsAre(target.canvas, [](int x, int y) {
        // Row 1 from column 2: white, black, near-white.
        if (y == 0 && x == 1)
            return kBlack;
        if (y == 0 && x == 2)
            return kAlmostWhite;
        return kGrey;
    }));
    bitmap->dropReference();
}

TEST_P(TransparentDrawing, AnotherTransparentColourLeavesThatOneOut) {
    CanvasContext target(10, 10, kGrey);
    CBitmap* bitmap = makeTestBitmap();
    bitmap->setTransparentColor(kColorRed);
    bitmap->drawTransparent(target.context, CRect(0, 0, 6, 2));
    EXPECT_TRUE(pixelsAre(target.canvas, [](int x, int y) {
        if (x >= 6 || y >= 2)
            return kGrey;
        return kPictureRows[y][x] == kRed ? kGrey : kPictureRows[y][x];
    }));
    bitmap->dropReference();
}

TEST_P(TransparentDrawing, LeavesTheContextsColoursInTheDevice) {
    CanvasContext target(10, 10, kGrey);
    target.context->setFillColor(kColorCyan);
    target.context->setFontColor(kColorMagenta);
    CBitmap* bitmap = makeTestBitmap();
    bitmap->drawTransparent(target.context, CRect(0, 0, 6, 2));
    EXPECT_EQ(GetBkColor(target.canvas.device()), RGB(0, 255, 255));
    EXPECT_EQ(GetTextColor(target.canvas.device()), RGB(255, 0, 255));
    bitmap->dropReference();
}

TEST_P(TransparentDrawing, SliderHandleTopRowIsSeeThrough) {
    CBitmap handle(kSliderHandleBitmap);
    ASSERT_EQ(handle.getWidth(), 14);
    ASSERT_EQ(handle.getHeight(), 12);
    const std::vector<uint32_t> own = quavixtest::readPicture(static_cast<HBITMAP>(handle.getHandle()), 14, 12);
    ASSERT_EQ(own.size(), 14u * 12u);
    for (int x = 0; x < 14; ++x)
        ASSERT_EQ(own[x], kWhite) << "the handle's top row is pure white, column " << x;

    CanvasContext target(20, 20, kGreen);
    handle.drawTransparent(target.context, CRect(3, 4, 17, 16));
    EXPECT_TRUE(pixelsAre(target.canvas, [&](int x, int y) {
        if (!inside(x, 3, 16) || !inside(y, 4, 15))
            return kGreen;
        const uint32_t source = own[(y - 4) * 14 + (x - 3)];
        return source == kWhite ? kGreen : source;
    }));
    EXPECT_LT(target.canvas.count(kGreen), 20 * 20 - 14) << "the grip is drawn";
}

INSTANTIATE_TEST_SUITE_P(BothWays, TransparentDrawing, testing::Bool(), pathName);

// ---------------------------------------------------------------------------
// Opaque drawing copies unscaled, from the source point.

using OpaqueDrawing = ImageFunctionsLoaded;

TEST_F(OpaqueDrawing, CopiesEveryPixelIncludingWhite) {
    CanvasContext target(12, 6, kGrey);
    target.context->offset = CPoint(1, 2);
    CBitmap* bitmap = makeTestBitmap();
    bitmap->draw(target.context, CRect(2, 1, 8, 3));
    EXPECT_TRUE(pixelsAre(target.canvas, [](int x, int y) {
        return inside(x, 3, 8) && inside(y, 3, 4) ? kPictureRows[y - 3][x - 3] : kGrey;
    }));
    bitmap->dropReference();
}

TEST_F(OpaqueDrawing, RockerRowsEighteenToThirtyFiveFromSourcePoint) {
    CBitmap rocker(kRockerBitmap);
    ASSERT_EQ(rocker.getWidth(), 52);
    ASSERT_EQ(rocker.getHeight(), 54);
    const std::vector<uint32_t> own = quavixtest::readPicture(static_cast<HBITMAP>(rocker.getHandle()), 52, 54);
    ASSERT_EQ(own.size(), 52u * 54u);
    ASSERT_NE(std::memcmp(own.data(), own.data() + 18 * 52, 18 * 52 * sizeof(uint32_t)), 0)
        << "the rest state differs from the pressed state above it";

    CanvasContext target(60, 30, kYellow);
    rocker.draw(target.context, CRect(0, 0, 52, 18), CPoint(0, 18));
    EXPECT_TRUE(
        pixelsAre(target.canvas, [&](int x, int y) { return x < 52 && y < 18 ? own[(y + 18) * 52 + x] : kYellow; }));
}

// ---------------------------------------------------------------------------
// Blending with a constant opacity, through msimg32 or without it.

class AlphaDrawing : public ImageFunctionsLoaded, public testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        ImageFunctionsLoaded::SetUp();
        if (!GetParam())
            setAlphaBlend(nullptr);
    }
};

namespace {

::testing::AssertionResult closeTo(uint32_t got, uint32_t want) {
    for (int shift = 0; shift <= 16; shift += 8) {
        const int difference = int((got >> shift) & 0xFF) - int((want >> shift) & 0xFF);
        if (std::abs(difference) > 1)
            return ::testing::AssertionFailure() << std::hex << "0x" << got << " is not near 0x" << want;
    }
    return ::testing::AssertionSuccess();
}

std::string blendPathName(const testing::TestParamInfo<bool>& info) {
    return info.param ? "WithAlphaBlend" : "Computed";
}

}  // namespace

TEST_P(AlphaDrawing, HalfOpacityMixesSourceAndDestination) {
    CanvasContext target(10, 10, kBlue);
    target.context->offset = CPoint(1, 1);
    CBitmap red(static_cast<GraphicsHandle>(quavixtest::makePicture(4, 4, [](int, int) { return kRed; })));
    red.drawAlphaBlend(target.context, CRect(1, 1, 5, 5), CPoint(), 128);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool blended = inside(x, 2, 5) && inside(y, 2, 5);
            EXPECT_TRUE(closeTo(target.canvas.at(x, y), blended ? rgb(128, 0, 127) : kBlue)) << x << ", " << y;
        }
}

TEST_P(AlphaDrawing, FullOpacityCoversAndNoneLeavesTheDestination) {
    CanvasContext target(10, 10, kBlue);
    CBitmap* bitmap = makeTestBitmap();
    bitmap->drawAlphaBlend(target.context, CRect(0, 0, 6, 2), CPoint(), 255);
    bitmap->drawAlphaBlend(target.context, CRect(0, 4, 6, 6), CPoint(), 0);
    EXPECT_TRUE(pixelsAre(target.canvas, [](int x, int y) { return x < 6 && y < 2 ? kPictureRows[y][x] : kBlue; }));
    bitmap->dropReference();
}

TEST_P(AlphaDrawing, SourcePointPicksTheArea) {
    CanvasContext target(4, 4, kBlack);
    CBitmap* bitmap = makeTestBitmap();
    bitmap->drawAlphaBlend(target.context, CRect(0, 0, 1, 1), CPoint(2, 0), 255);
    EXPECT_EQ(target.canvas.at(0, 0), kRed);
    EXPECT_EQ(target.canvas.at(1, 0), kBlack);
    bitmap->dropReference();
}

INSTANTIATE_TEST_SUITE_P(BothWays, AlphaDrawing, testing::Bool(), blendPathName);

// ---------------------------------------------------------------------------
// Loading, measuring and emptying.

TEST(BitmapResources, EveryBitmapOfTheModuleLoadsWithItsSize) {
    const struct {
        int32_t id, width, height;
    } expected[] = {{kSliderHandleBitmap, 14, 12},
                    {kBackgroundBitmap, 330, 354},
                    {kSliderTrackBitmap, 16, 160},
                    {kDigitsBitmap, 22, 213},
                    {kRockerBitmap, 52, 54}};
    for (const auto& resource : expected) {
        CBitmap bitmap(resource.id);
        EXPECT_EQ(bitmap.getWidth(), resource.width) << "bitmap " << resource.id;
        EXPECT_EQ(bitmap.getHeight(), resource.height) << "bitmap " << resource.id;
        EXPECT_EQ(bitmap.getResourceId(), resource.id);
        EXPECT_NE(bitmap.getHandle(), nullptr);
        EXPECT_EQ(bitmap.getTransparentColor(), kColorTransparent);
    }
}

// Each picture again at twice and three times its size, for scaled editors,
// at its id + 2000 and + 3000, where the toolkit looks for them.
TEST(BitmapResources, EveryBitmapHasItsSetsAtTwiceAndThreeTimesTheSize) {
    const struct {
        int32_t id, id2x, id3x;
    } sets[] = {{kSliderHandleBitmap, quavix::kSliderHandleBitmap2x, quavix::kSliderHandleBitmap3x},
                {kBackgroundBitmap, quavix::kBackgroundBitmap2x, quavix::kBackgroundBitmap3x},
                {kSliderTrackBitmap, quavix::kSliderTrackBitmap2x, quavix::kSliderTrackBitmap3x},
                {kDigitsBitmap, quavix::kDigitsBitmap2x, quavix::kDigitsBitmap3x},
                {kRockerBitmap, quavix::kRockerBitmap2x, quavix::kRockerBitmap3x}};
    for (const auto& set : sets) {
        EXPECT_EQ(set.id2x, set.id + 2000);
        EXPECT_EQ(set.id3x, set.id + 3000);
        CBitmap base(set.id);
        ASSERT_NE(base.getHandle(), nullptr) << "bitmap " << set.id;
        for (int32_t scale = 2; scale <= 3; ++scale) {
            CBitmap larger(scale == 2 ? set.id2x : set.id3x);
            EXPECT_NE(larger.getHandle(), nullptr) << "bitmap " << larger.getResourceId();
            EXPECT_EQ(larger.getWidth(), base.getWidth() * scale) << "bitmap " << larger.getResourceId();
            EXPECT_EQ(larger.getHeight(), base.getHeight() * scale) << "bitmap " << larger.getResourceId();
        }
    }
}

TEST(BitmapResources, OnlyTheLowSixteenBitsOfTheIdCount) {
    CBitmap bitmap(0x10000 + kRockerBitmap);
    EXPECT_EQ(bitmap.getWidth(), 52);
    EXPECT_EQ(bitmap.getResourceId(), 0x10000 + kRockerBitmap);
}

TEST(BitmapResources, AMissingResourceIsEmptyAndDrawsNothing) {
    ModuleHandle library = loadImageFunctions();
    CBitmap missing(kMissingResource);
    EXPECT_EQ(missing.getWidth(), 0);
    EXPECT_EQ(missing.getHeight(), 0);
    EXPECT_EQ(missing.getHandle(), nullptr);
    CanvasContext target(20, 20, kGrey);
    missing.draw(target.context, CRect(0, 0, 20, 20));
    missing.drawTransparent(target.context, CRect(0, 0, 20, 20));
    missing.drawAlphaBlend(target.context, CRect(0, 0, 20, 20), CPoint(), 255);
    EXPECT_EQ(target.canvas.count(kGrey), 20 * 20);
    freeImageFunctions(library);
}

TEST(BitmapResources, LoadingFromAPathFailsAndEmptiesTheBitmap) {
    CBitmap bitmap(kSliderHandleBitmap);
    ASSERT_NE(bitmap.getHandle(), nullptr);
    HGDIOBJ loaded = bitmap.getHandle();
    EXPECT_FALSE(bitmap.loadFromPath("C:\\slider_handle.bmp"));
    EXPECT_EQ(bitmap.getWidth(), 0);
    EXPECT_EQ(bitmap.getHeight(), 0);
    EXPECT_EQ(bitmap.getHandle(), nullptr);
    EXPECT_EQ(GetObjectType(loaded), 0u) << "the bitmap it held is deleted";
    EXPECT_FALSE(bitmap.loadFromPath(nullptr));
}

TEST(BitmapResources, ReloadingReplacesThePictureButNotTheId) {
    CBitmap bitmap(kSliderHandleBitmap);
    HGDIOBJ first = bitmap.getHandle();
    EXPECT_TRUE(bitmap.loadFromResource(kRockerBitmap));
    EXPECT_EQ(bitmap.getWidth(), 52);
    EXPECT_EQ(bitmap.getHeight(), 54);
    EXPECT_EQ(bitmap.getResourceId(), kSliderHandleBitmap);
    EXPECT_EQ(GetObjectType(first), 0u);
    EXPECT_FALSE(bitmap.loadFromResource(kMissingResource));
    EXPECT_EQ(bitmap.getWidth(), 0);
    EXPECT_EQ(bitmap.getHandle(), nullptr);
}

TEST(BitmapResources, DisposeEmptiesAndTheLastReferenceDeletes) {
    CBitmap* bitmap = new CBitmap(kRockerBitmap);
    HGDIOBJ picture = bitmap->getHandle();
    bitmap->dispose();
    EXPECT_EQ(bitmap->getWidth(), 0);
    EXPECT_EQ(bitmap->getHeight(), 0);
    EXPECT_EQ(GetObjectType(picture), 0u);
    bitmap->loadFromResource(kRockerBitmap);
    picture = bitmap->getHandle();
    bitmap->addReference();
    bitmap->dropReference();
    EXPECT_EQ(GetObjectType(picture), static_cast<DWORD>(OBJ_BITMAP)) << "one reference is left";
    bitmap->dropReference();
    EXPECT_EQ(GetObjectType(picture), 0u);
}

// ---------------------------------------------------------------------------
// Offscreen contexts: cleared at birth, their own state in their device.

TEST(Offscreen, StartsEntirelyInItsBackgroundColour) {
    COffscreenContext* black = new COffscreenContext(nullptr, 16, 160, kColorBlack);
    const auto seen = pixelsOf(*black, kWhite);
    EXPECT_EQ(seen->count(kBlack), 16 * 160);
    CRect clip;
    EXPECT_EQ(black->getClipRect(clip), CRect(0, 0, 16, 160));
    EXPECT_EQ(black->getWidth(), 16);
    EXPECT_EQ(black->getHeight(), 160);
    black->dropReference();

    COffscreenContext yellow(nullptr, 7, 5, kColorYellow);
    const auto seenYellow = pixelsOf(yellow, kWhite);
    EXPECT_EQ(seenYellow->count(kYellow), 7 * 5) << "fill and outline together cover every edge";
}

TEST(Offscreen, MatchesTheFrameWindowsPixelFormat) {
    quavixtest::HostWindow host(0, 0, 120, 100);
    CFrame* frame = new CFrame(CRect(0, 0, 100, 80), host.handle(), nullptr);
    HWND window = static_cast<HWND>(frame->getSystemWindow());
    ASSERT_NE(window, nullptr);
    COffscreenContext* offscreen = new COffscreenContext(frame, 16, 160, kColorBlack);
    EXPECT_EQ(offscreen->getFrame(), frame);
    CRect clip;
    EXPECT_EQ(offscreen->getClipRect(clip), CRect(0, 0, 16, 160)) << "the bitmap's area, not the frame's";

    BITMAP format = {};
    ASSERT_NE(GetObjectA(offscreen->getBitmap(), sizeof(format), &format), 0);
    HDC windowDevice = GetDC(window);
    EXPECT_EQ(format.bmBitsPixel, GetDeviceCaps(windowDevice, BITSPIXEL));
    ReleaseDC(window, windowDevice);
    EXPECT_EQ(format.bmWidth, 16);
    EXPECT_EQ(format.bmHeight, 160);
    const auto seen = pixelsOf(*offscreen, kWhite);
    EXPECT_EQ(seen->count(kBlack), 16 * 160);
    offscreen->dropReference();
    delete frame;
}

TEST(Offscreen, NegativeSizesGiveAnOrderedClipRect) {
    COffscreenContext* narrow = new COffscreenContext(nullptr, -5, 10, kColorBlack);
    CRect clip;
    narrow->getClipRect(clip);
    EXPECT_EQ(clip, CRect(-5, 0, 0, 10));
    EXPECT_EQ(narrow->getWidth(), -5);
    narrow->fillRect(CRect(0, 0, 10, 10));
    narrow->dropReference();

    COffscreenContext flat(nullptr, 12, -3, kColorBlack);
    EXPECT_EQ(flat.getClipRect(clip), CRect(0, -3, 12, 0));
}

TEST(Offscreen, ItsDeviceHoldsTheWholeInitialState) {
    COffscreenContext offscreen(nullptr, 40, 20, kColorBlack);
    HDC device = static_cast<HDC>(offscreen.deviceContext);
    ASSERT_NE(device, nullptr);
    // The default font is already there, so asking for it again changes
    // nothing; the outline took the background colour for its pen.
    offscreen.setFont(kFontDefault, 0);
    quavixtest::expectFreshDeviceState(device, RGB(0, 0, 0));
}

TEST(Offscreen, AWhiteBackgroundStillGetsTheContextsWhitePen) {
    // White is already the frame colour, so clearing to white makes no new
    // pen: the device must have been handed the context's own.
    COffscreenContext offscreen(nullptr, 8, 8, kColorWhite);
    HDC device = static_cast<HDC>(offscreen.deviceContext);
    EXPECT_NE(GetCurrentObject(device, OBJ_PEN), GetStockObject(BLACK_PEN));
    EXPECT_EQ(selectedPen(device).lopnColor, RGB(255, 255, 255));
    EXPECT_EQ(GetBkColor(device), RGB(255, 255, 255)) << "the fill colour became white";
    const auto seen = pixelsOf(offscreen, kBlack);
    EXPECT_EQ(seen->count(kWhite), 8 * 8);
}

TEST(Offscreen, TextDrawnWithTheInitialStateMatchesAWindowContexts) {
    COffscreenContext offscreen(nullptr, 60, 20, kColorBlack);
    offscreen.drawString("Hi", CRect(0, 0, 60, 20), false, kAlignLeft);
    const auto seen = pixelsOf(offscreen, kGrey);

    CanvasContext reference(60, 20, kBlack);
    reference.context->drawString("Hi", CRect(0, 0, 60, 20), false, kAlignLeft);
    EXPECT_GT(reference.canvas.count(kWhite), 0) << "white bold text";
    EXPECT_TRUE(pixelsAre(*seen, [&](int x, int y) { return reference.canvas.at(x, y); }));
}

TEST(Offscreen, DestructionDeletesItsDeviceAndBitmap) {
    COffscreenContext* offscreen = new COffscreenContext(nullptr, 16, 16, kColorBlack);
    HDC device = static_cast<HDC>(offscreen->deviceContext);
    HGDIOBJ bitmap = offscreen->getBitmap();
    HGDIOBJ pen = GetCurrentObject(device, OBJ_PEN);
    ASSERT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
    offscreen->dropReference();
    EXPECT_EQ(GetObjectType(device), 0u);
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    EXPECT_EQ(GetObjectType(pen), 0u);
}

// ---------------------------------------------------------------------------
// transferTo and copyTo move rectangles between contexts.

TEST(Copies, TransferWritesAtTheDestinationsOffsetFromRawSourcePixels) {
    COffscreenContext offscreen(nullptr, 16, 160, kColorBlack);
    PixelCanvas patterned(16, 160, kBlack);
    patterned.fill(pattern);
    BitBlt(static_cast<HDC>(offscreen.deviceContext), 0, 0, 16, 160, patterned.device(), 0, 0, SRCCOPY);
    offscreen.offset = CPoint(4, 4);  // not used by transferTo

    CanvasContext target(40, 200, kWhite);
    target.context->offset = CPoint(10, 20);
    offscreen.transferTo(target.context, CRect(0, 0, 16, 160), CPoint(0, 0));
    EXPECT_TRUE(pixelsAre(target.canvas, [](int x, int y) {
        return inside(x, 10, 25) && inside(y, 20, 179) ? pattern(x - 10, y - 20) : kWhite;
    }));

    CanvasContext second(40, 40, kWhite);
    second.context->offset = CPoint(1, 2);
    offscreen.transferTo(second.context, CRect(5, 6, 13, 14), CPoint(3, 5));
    EXPECT_TRUE(pixelsAre(second.canvas, [](int x, int y) {
        return inside(x, 6, 13) && inside(y, 8, 15) ? pattern(x - 6 + 3, y - 8 + 5) : kWhite;
    }));
}

TEST(Copies, CopyReadsAtTheSourcesOffsetAndWritesToARawPoint) {
    CanvasContext window(40, 200, kWhite);
    window.canvas.fill(pattern);
    window.context->offset = CPoint(10, 20);
    COffscreenContext offscreen(nullptr, 16, 160, kColorBlack);
    offscreen.offset = CPoint(3, 3);  // not used by copyTo
    window.context->copyTo(&offscreen, CRect(0, 0, 16, 160), CPoint(0, 0));
    const auto seen = pixelsOf(offscreen, kWhite);
    EXPECT_TRUE(pixelsAre(*seen, [](int x, int y) { return pattern(x + 10, y + 20); }));

    COffscreenContext small(nullptr, 10, 10, kColorBlack);
    window.context->copyTo(&small, CRect(1, 1, 5, 4), CPoint(2, 3));
    const auto seenSmall = pixelsOf(small, kWhite);
    EXPECT_TRUE(pixelsAre(*seenSmall, [](int x, int y) {
        return inside(x, 2, 5) && inside(y, 3, 5) ? pattern(x - 2 + 11, y - 3 + 21) : kBlack;
    }));
}

TEST(Copies, CopyThenTransferPutsWhatWasBehindBackUnchanged) {
    CanvasContext window(60, 60, kWhite);
    window.canvas.fill(pattern);
    window.context->offset = CPoint(7, 9);
    COffscreenContext offscreen(nullptr, 20, 30, kColorBlack);
    window.context->copyTo(&offscreen, CRect(0, 0, 20, 30), CPoint(0, 0));
    offscreen.setFillColor(kColorRed);
    offscreen.fillRect(CRect(4, 4, 10, 10));
    offscreen.transferTo(window.context, CRect(0, 0, 20, 30), CPoint(0, 0));
    EXPECT_TRUE(pixelsAre(window.canvas,
                          [](int x, int y) { return inside(x, 12, 16) && inside(y, 14, 18) ? kRed : pattern(x, y); }));
}

TEST(Copies, NoDestinationIsIgnored) {
    COffscreenContext offscreen(nullptr, 4, 4, kColorBlack);
    offscreen.transferTo(nullptr, CRect(0, 0, 4, 4));
    offscreen.copyTo(nullptr, CRect(0, 0, 4, 4), CPoint());
    CBitmap* bitmap = makeTestBitmap();
    bitmap->draw(nullptr, CRect(0, 0, 4, 4));
    bitmap->drawTransparent(nullptr, CRect(0, 0, 4, 4));
    bitmap->drawAlphaBlend(nullptr, CRect(0, 0, 4, 4), CPoint(), 9);
    EXPECT_EQ(bitmap->getWidth(), 6);
    bitmap->dropReference();
}

// ---------------------------------------------------------------------------
// Nothing a bitmap or an offscreen context makes outlives it.

TEST(GdiObjects, FiveHundredBitmapAndOffscreenCyclesLeaveNoObjectBehind) {
    ModuleHandle library = loadImageFunctions();
    const TransparentBltFunction transparentBlt = getTransparentBlt();
    const AlphaBlendFunction alphaBlend = getAlphaBlend();
    PixelCanvas canvas(80, 80, kGrey);
    auto cycle = [&](int round) {
        CDrawContext* context = new CDrawContext(nullptr, nullptr, canvas.device());
        COffscreenContext* offscreen = new COffscreenContext(nullptr, 16 + round % 5, 40, kColorBlack);
        CBitmap* handle = new CBitmap(kSliderHandleBitmap);
        CBitmap* picture = makeTestBitmap();
        for (int way = 0; way < 2; ++way) {
            setTransparentBlt(way ? transparentBlt : nullptr);
            setAlphaBlend(way ? alphaBlend : nullptr);
            handle->drawTransparent(offscreen, CRect(1, 1, 15, 13));
            picture->drawTransparent(context, CRect(0, 0, 6, 2));
            picture->drawAlphaBlend(offscreen, CRect(0, 20, 6, 22), CPoint(), uint8_t(round));
        }
        handle->draw(offscreen, CRect(0, 0, 14, 12));
        context->copyTo(offscreen, CRect(0, 0, 10, 10), CPoint(3, 3));
        offscreen->transferTo(context, CRect(0, 0, 16, 40));
        handle->dropReference();
        picture->dropReference();
        offscreen->dropReference();
        context->dropReference();
    };
    cycle(0);

    ASSERT_TRUE(quavixtest::gdiCountSeesObjects());
    const uint32_t before = quavixtest::countGdiObjects();
    for (int round = 1; round <= 500; ++round)
        cycle(round);
    EXPECT_EQ(quavixtest::countGdiObjects(), before);
    setTransparentBlt(transparentBlt);
    setAlphaBlend(alphaBlend);
    freeImageFunctions(library);
}
