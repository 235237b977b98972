// Drawing at a scale factor: units and device pixels, the resampling filter,
// what a scaled context puts on the device, which picture a bitmap draws at
// each factor, and where the editor's factor comes from.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <limits>
#include <vector>

#include "framework/ExtendedEffectBase.h"
#include "tests/native/GeometryPrinters.h"
#include "tests/toolkit/support/StubCanvas.h"
#include "toolkit/drawing/CBitmap.h"
#include "toolkit/drawing/COffscreenContext.h"
#include "toolkit/drawing/Resampling.h"
#include "toolkit/editor/ViewTreeEditor.h"
#include "toolkit/geometry/Scaling.h"
#include "toolkit/views/CFrame.h"

using namespace VSTGUI;
using namespace quavixtest;

namespace {

const double kFactors[] = {1.0, 1.25, 1.5, 1.75, 2.0, 2.5, 3.0};

// ---------------------------------------------------------------------------
// Units and device pixels.

TEST(ScaleGeometry, EveryDevicePixelMapsBackToTheUnitThatCoversIt) {
    for (double factor : kFactors) {
        SCOPED_TRACE(factor);
        for (int32_t unit = -20; unit < 400; ++unit) {
            const int32_t first = scaleCoordinate(unit, factor), end = scaleCoordinate(unit + 1, factor);
            ASSERT_GE(end - first, 1) << "unit " << unit << " has no pixel";
            for (int32_t pixel = first; pixel < end; ++pixel)
                ASSERT_EQ(unscaleCoordinate(pixel, factor), unit) << "pixel " << pixel;
        }
        const CRect device(3, 4, 50, 61);
        const CRect units = unscaleRectOutward(device, factor);
        const CRect back = scaleRect(units, factor);
        EXPECT_TRUE(back.left <= device.left && back.top <= device.top && back.right >= device.right &&
                    back.bottom >= device.bottom);
    }
}

TEST(ScaleGeometry, FactorsAreClampedAndReadTheSameInEveryLocale) {
    const struct {
        double given, clamped;
    } clamps[] = {{0.5, 1.0},
                  {1.0, 1.0},
                  {1.75, 1.75},
                  {3.0, 3.0},
                  {4.0, 3.0},
                  {std::numeric_limits<double>::quiet_NaN(), 1.0},
                  {std::numeric_limits<double>::infinity(), 1.0}};
    for (const auto& row : clamps)
        EXPECT_EQ(clampScaleFactor(row.given), row.clamped) << row.given;

    const struct {
        const char* text;
        double value;
    } texts[] = {{"2", 2.0},  {"1.5", 1.5}, {".5", 0.5}, {"2.", 2.0},  {"1,5", 0.0},  {"", 0.0},
                 {"-1", 0.0}, {"0", 0.0},   {"2x", 0.0}, {"abc", 0.0}, {nullptr, 0.0}};
    for (const auto& row : texts)
        EXPECT_DOUBLE_EQ(parseScaleFactor(row.text), row.value) << (row.text ? row.text : "(null)");
}

// ---------------------------------------------------------------------------
// The area-averaging filter.

PixelImage image(int32_t width, int32_t height, std::vector<uint32_t> pixels) { return {width, height, pixels}; }

TEST(Resampling, EachNewPixelIsTheWeightedMeanOfTheOldOnesUnderIt) {
    // Halving: each new pixel the mean of a 2 x 2 block.
    const PixelImage halved = resamplePixels(image(2, 2, {0x000000, 0x0A0A0A, 0x141414, 0x1E1E1E}), 1, 1, kWhite);
    EXPECT_EQ(halved.pixels, std::vector<uint32_t>{0x0F0F0F});
    // Three to two: the middle pixel counts half for each new one.
    const PixelImage thirds = resamplePixels(image(3, 1, {0x000000, 0x5A0000, 0xB40000}), 2, 1, kWhite);
    EXPECT_EQ(thirds.pixels, (std::vector<uint32_t>{0x1E0000, 0x960000}));
    // The same size gives the same pixels.
    const PixelImage same = resamplePixels(image(2, 1, {0x123456, 0x654321}), 2, 1, kWhite);
    EXPECT_EQ(same.pixels, (std::vector<uint32_t>{0x123456, 0x654321}));
}

TEST(Resampling, TheSeeThroughColourNeitherBleedsNorAppearsWhereItWasNot) {
    // Mostly see-through stays see-through; mostly not is the mean of the rest.
    const PixelImage mostlyKey = resamplePixels(image(2, 2, {kWhite, kWhite, kWhite, 0x102030}), 1, 1, kWhite);
    EXPECT_EQ(mostlyKey.pixels, std::vector<uint32_t>{kWhite});
    const PixelImage mostlyInk = resamplePixels(image(2, 2, {kWhite, 0x102030, 0x102030, 0x304050}), 1, 1, kWhite);
    EXPECT_EQ(mostlyInk.pixels, std::vector<uint32_t>{0x1B2B3B});
    // A mean that lands on the key is moved off it.
    const PixelImage nearWhite = resamplePixels(image(2, 1, {0xFFFFFE, 0xFEFFFF}), 1, 1, kWhite);
    ASSERT_EQ(nearWhite.pixels.size(), 1u);
    EXPECT_NE(nearWhite.pixels[0], kWhite);
    EXPECT_EQ(nearWhite.pixels[0] & 0xFEFEFE, 0xFEFEFEu);
}

TEST(Resampling, ImpossibleRequestsGiveAnEmptyPicture) {
    EXPECT_TRUE(resamplePixels(image(2, 1, {1, 2}), 0, 1, kWhite).pixels.empty());
    EXPECT_TRUE(resamplePixels(image(2, 1, {1}), 1, 1, kWhite).pixels.empty());
    EXPECT_TRUE(resamplePixels(image(0, 0, {}), 1, 1, kWhite).pixels.empty());
}

// ---------------------------------------------------------------------------
// A context on a scaled frame.

TEST(ScaledContext, FillsLinesClipAndTextLandOnTheUnitsDevicePixels) {
    ScaledCanvas target(2.0, 40, 40);
    CDrawContext& context = *target.context;
    context.setFillColor(kColorBlack);
    context.fillRect(CRect(1, 1, 5, 4));  // the units (2..4, 2..3)
    EXPECT_TRUE(
        pixelsAre(target.canvas, [](int x, int y) { return inside(x, 4, 9) && inside(y, 4, 7) ? kBlack : kWhite; }));

    target.canvas.fill(kWhite);
    context.setFrameColor(kColorRed);
    context.moveTo(CPoint(1, 10));
    context.lineTo(CPoint(5, 10));  // units 1..4 of row 10
    context.lineTo(CPoint(5, 12));  // units 10..11 of column 5
    context.moveTo(CPoint(10, 1));
    context.lineTo(CPoint(12, 3));  // the units (10, 1) and (11, 2)
    EXPECT_TRUE(pixelsAre(target.canvas, [](int x, int y) {
        const bool row = inside(x, 2, 9) && inside(y, 20, 21);
        const bool column = inside(x, 10, 11) && inside(y, 20, 23);
        const bool diagonal = (inside(x, 20, 21) && inside(y, 2, 3)) || (inside(x, 22, 23) && inside(y, 4, 5));
        return row || column || diagonal ? kRed : kWhite;
    }));

    context.setClipRect(CRect(1, 2, 3, 4));
    EXPECT_EQ(target.canvas.getClip(), CRect(2, 4, 6, 8));
    context.setFont(kFontSmall);
    context.drawString("x", CRect(2, 3, 12, 9));
    ASSERT_EQ(target.canvas.texts.size(), 1u);
    EXPECT_EQ(target.canvas.texts[0].rect, CRect(4, 6, 24, 18));
    EXPECT_EQ(target.canvas.texts[0].fontSize, 22);
    EXPECT_EQ(context.getFontSize(), 11);  // the state stays in units
}

TEST(ScaledContext, NeighbouringFillsTileWithoutGapOrOverlapAtEveryFactor) {
    for (double factor : kFactors) {
        SCOPED_TRACE(factor);
        ScaledCanvas target(factor, 60, 10);
        const CColor colors[] = {kColorRed, kColorGreen, kColorBlue};
        // Fills leave out their first unit: rectangles from -1 cover from 0.
        for (int i = 0; i < 15; ++i) {
            target.context->setFillColor(colors[i % 3]);
            target.context->fillRect(CRect(i - 1, -1, i + 1, 2));
        }
        for (int unit = 0; unit < 15; ++unit)
            for (int x = scaleCoordinate(unit, factor); x < scaleCoordinate(unit + 1, factor); ++x)
                ASSERT_EQ(target.canvas.at(x, 0), rgb(colors[unit % 3])) << "unit " << unit << " pixel " << x;
    }
}

TEST(ScaledContext, AnOffscreenHasTheFramesFactorAndCopiesToScaledPositions) {
    ScaledCanvas target(1.5, 40, 40);
    COffscreenContext* offscreen = new COffscreenContext(target.frame, 4, 4, kColorBlue);
    EXPECT_EQ(static_cast<stub::Canvas*>(offscreen->getBitmap())->width(), 6);
    EXPECT_TRUE(offscreen->suits(CPoint()));
    offscreen->transferTo(target.context, CRect(2, 2, 6, 6));
    EXPECT_TRUE(
        pixelsAre(target.canvas, [](int x, int y) { return inside(x, 3, 8) && inside(y, 3, 8) ? kBlue : kWhite; }));
    target.frame->setScaleFactor(2.0);
    EXPECT_FALSE(offscreen->suits(CPoint()));
    offscreen->dropReference();
}

TEST(ScaledContext, AnOffscreenCopiedToAnOddPlacePutsEachUnitOnTheWindowsPixels) {
    // At 1.5 the units 1, 2 and 3 cover the pixels 2, 3..4 and 5: a picture
    // made for unit 1 must not draw them as its own units 0, 1 and 2 would
    // lie from pixel 0 (0..1, 2, 3..4).
    ScaledCanvas target(1.5, 20, 4);
    const CPoint place(1, 0);
    COffscreenContext* offscreen = new COffscreenContext(target.frame, 3, 1, kColorBlue, place);
    EXPECT_EQ(static_cast<stub::Canvas*>(offscreen->getBitmap())->width(), 4);
    EXPECT_TRUE(offscreen->suits(place));
    EXPECT_FALSE(offscreen->suits(CPoint(2, 0)));
    offscreen->setFillColor(kColorRed);
    offscreen->fillRect(CRect(0, -1, 2, 1));  // the unit 1 of the picture
    offscreen->transferTo(target.context, CRect(1, 0, 4, 1));
    EXPECT_TRUE(pixelsAre(target.canvas, [](int x, int y) {
        if (y > 1 || x < 2 || x > 5)
            return kWhite;
        return x == 3 || x == 4 ? kRed : kBlue;
    }));
    offscreen->dropReference();
}

// ---------------------------------------------------------------------------
// Which picture a bitmap draws.

constexpr int32_t kPictureId = 7;

class ScaledBitmap : public ::testing::Test {
protected:
    void SetUp() override {
        // 1x: 4 x 2, grey with a see-through top row; 2x: 8 x 4 in other colours.
        stub::addPicture(kPictureId, makePicture(4, 2, [](int, int y) { return y == 0 ? kWhite : 0x808080u; }));
        stub::addPicture(kPictureId + 2 * kScaledSetIdStep,
                         makePicture(8, 4, [](int x, int y) { return y < 2 ? kWhite : rgb(uint32_t(x * 30), 0, 9); }));
    }
    void TearDown() override { stub::removePictures(); }

    // The canvas after one transparent draw of the bitmap at the factor.
    static std::vector<uint32_t> drawnAt(double factor, const CPoint& source = CPoint()) {
        ScaledCanvas target(factor, 16, 8);
        target.context->setFillColor(kColorBlack);
        CBitmap* bitmap = new CBitmap(kPictureId);
        bitmap->drawTransparent(target.context, CRect(0, 0, 4, 2), source);
        bitmap->dropReference();
        std::vector<uint32_t> pixels;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 16; ++x)
                pixels.push_back(target.canvas.at(x, y));
        return pixels;
    }
};

TEST_F(ScaledBitmap, AWholeFactorDrawsItsOwnSetAsItIs) {
    const std::vector<uint32_t> pixels = drawnAt(2.0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) {
            const uint32_t expected = x < 8 && y >= 2 && y < 4 ? rgb(uint32_t(x * 30), 0, 9) : kWhite;
            ASSERT_EQ(pixels[size_t(y * 16 + x)], expected) << x << ", " << y;
        }
}

TEST_F(ScaledBitmap, AFactorBetweenSetsDrawsTheLargerSetBroughtDown) {
    const stub::Picture* larger = stub::findPicture(kPictureId + 2 * kScaledSetIdStep);
    const PixelImage expected = resamplePixels({larger->width, larger->height, larger->pixels}, 6, 3, kWhite);
    const std::vector<uint32_t> pixels = drawnAt(1.5);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x)
            ASSERT_EQ(pixels[size_t(y * 16 + x)], expected.pixels[size_t(y * 6 + x)]) << x << ", " << y;
    EXPECT_EQ(pixels[6], kWhite);  // nothing beyond the scaled size
}

TEST_F(ScaledBitmap, WithoutItsSetOrWithAWrongSizedOneTheOneTimesPictureIsBroughtUp) {
    // No 3x set: the 1x picture, 12 x 6, its see-through row three pixels high.
    std::vector<uint32_t> pixels = drawnAt(3.0);
    EXPECT_EQ(pixels[size_t(2 * 16 + 5)], kWhite);
    EXPECT_EQ(pixels[size_t(3 * 16 + 5)], 0x808080u);
    EXPECT_EQ(pixels[size_t(5 * 16 + 11)], 0x808080u);
    // A 2x entry that is not twice the size is not this bitmap's set.
    stub::addPicture(kPictureId + 2 * kScaledSetIdStep, makePicture(5, 5, [](int, int) { return kRed; }));
    pixels = drawnAt(2.0);
    EXPECT_EQ(pixels[size_t(3 * 16 + 7)], 0x808080u);
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), kRed), 0);
}

TEST_F(ScaledBitmap, TheSourcePointIsScaledWithTheRectangle) {
    // From the second unit row: the 2x set's rows 2 and 3 at the top.
    const std::vector<uint32_t> pixels = drawnAt(2.0, CPoint(1, 1));
    EXPECT_EQ(pixels[0], rgb(60, 0, 9));
    EXPECT_EQ(pixels[16 + 5], rgb(210, 0, 9));
}

// ---------------------------------------------------------------------------
// The frame's window and the editor's factor.

TEST(ScaledFrame, TheWindowIsTheDeviceSizeAndPointsMapBackToUnits) {
    stub::Window* host = stub::createHostWindow(CRect(100, 50, 900, 850));
    CFrame* frame = new CFrame(CRect(0, 0, 330, 354), host, nullptr, 1.5);
    WindowHandle window = frame->getSystemWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(stub::windowOf(window)->screenRect, CRect(100, 50, 595, 581));
    EXPECT_EQ(frame->deviceToLocal(CPoint(494, 530)), CPoint(329, 353));
    stub::placePointer(CPoint(100 + 300, 50 + 150));
    CPoint where;
    frame->getCursorLocation(where);
    EXPECT_EQ(where, CPoint(200, 100));

    frame->setScaleFactor(7.0);  // brought into range
    EXPECT_EQ(frame->getScaleFactor(), 3.0);
    EXPECT_EQ(stub::windowOf(window)->screenRect, CRect(100, 50, 1090, 1112));
    EXPECT_TRUE(frame->isDirty());
    delete frame;
    stub::destroyHostWindow(host);
    stub::resetPointer();
}

// A host that can size windows, remembering the last size asked for.
struct SizingHost {
    static VstIntPtr VSTCALLBACK callback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                          float) {
        if (opcode == audioMasterCanDo)
            return ptr && std::string(static_cast<const char*>(ptr)) == "sizeWindow";
        if (opcode == audioMasterSizeWindow) {
            lastSize = CPoint(index, static_cast<int32_t>(value));
            return 1;
        }
        return opcode == audioMasterVersion ? 2400 : 0;
    }
    static CPoint lastSize;
};
CPoint SizingHost::lastSize;

class SilentEffect : public AudioEffectX {
public:
    SilentEffect() : AudioEffectX(SizingHost::callback, 1, 1) {}
    void processReplacing(float**, float**, VstInt32) override {}
};

class SmallEditor : public AEffGUIEditor {
public:
    explicit SmallEditor(AudioEffect* effect) : AEffGUIEditor(effect) {
        rect.right = 100;
        rect.bottom = 50;
    }
    bool open(void* parent) override {
        hostWindow = parent;
        frame = new CFrame(CRect(0, 0, rect.right, rect.bottom), hostWindow, this, currentScaleFactor());
        return true;
    }
    void close() override {
        delete frame;
        frame = nullptr;
        AEffGUIEditor::close();
    }
    using AEffGUIEditor::setScaleOverride;
};

class EditorScale : public ::testing::Test {
protected:
    void SetUp() override { editor = new SmallEditor(&effect); }
    void TearDown() override {
        stub::setSystemScale(0.0);
        effect.setEditor(nullptr);
        delete editor;
    }

    CPoint reportedSize() {
        ERect* rect = nullptr;
        effect.dispatcher(effEditGetRect, 0, 0, &rect, 0.0f);
        return rect ? CPoint(rect->right - rect->left, rect->bottom - rect->top) : CPoint(-1, -1);
    }
    VstIntPtr sendHostScale(float factor) {
        return effect.dispatcher(effVendorSpecific, kVstContentScaleIndex, kVstContentScaleValue, nullptr, factor);
    }

    SilentEffect effect;
    SmallEditor* editor = nullptr;
};

TEST_F(EditorScale, TheUsersFactorBeatsTheHostsWhichBeatsTheSystems) {
    EXPECT_EQ(reportedSize(), CPoint(100, 50));  // the system says nothing
    stub::setSystemScale(1.5);
    EXPECT_EQ(reportedSize(), CPoint(150, 75));
    EXPECT_EQ(sendHostScale(2.0f), 1);
    EXPECT_EQ(reportedSize(), CPoint(200, 100));
    editor->setScaleOverride(1.25);
    EXPECT_EQ(reportedSize(), CPoint(125, 63));
    editor->setScaleOverride(0.0);
    EXPECT_EQ(sendHostScale(9.0f), 1);  // taken, within range
    EXPECT_EQ(reportedSize(), CPoint(300, 150));
}

TEST_F(EditorScale, NonsenseFromTheHostIsRefusedAndChangesNothing) {
    ASSERT_EQ(sendHostScale(2.0f), 1);
    for (float factor : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()})
        EXPECT_EQ(sendHostScale(factor), 0) << factor;
    EXPECT_EQ(reportedSize(), CPoint(200, 100));
    // Another vendor request is the effect's own business.
    EXPECT_EQ(effect.dispatcher(effVendorSpecific, kVstContentScaleIndex, 0, nullptr, 1.0f), 0);
    EXPECT_EQ(reportedSize(), CPoint(200, 100));
}

TEST_F(EditorScale, AnOpenEditorFollowsANewFactorAndAsksTheHostForTheSize) {
    stub::Window* host = stub::createHostWindow(CRect(0, 0, 800, 600));
    effect.dispatcher(effEditOpen, 0, 0, host, 0.0f);
    CFrame* frame = editor->getFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(stub::windowOf(frame->getSystemWindow())->screenRect, CRect(0, 0, 100, 50));
    SizingHost::lastSize = CPoint();
    ASSERT_EQ(sendHostScale(2.5f), 1);
    EXPECT_EQ(stub::windowOf(frame->getSystemWindow())->screenRect, CRect(0, 0, 250, 125));
    EXPECT_EQ(SizingHost::lastSize, CPoint(250, 125));
    EXPECT_EQ(reportedSize(), CPoint(250, 125));
    // The system's change does not override the host's factor.
    stub::setSystemScale(1.0);
    frame->systemScaleChanged();
    EXPECT_EQ(frame->getScaleFactor(), 2.5);
    effect.dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
    stub::destroyHostWindow(host);
}

TEST_F(EditorScale, ThePanelSizeAtAScaleRoundsAndClampsAsTheFrameDoes) {
    const std::pair<double, CPoint> rows[] = {{1.25, CPoint(125, 63)}, {9.0, CPoint(300, 150)}, {NAN, CPoint(100, 50)}};
    for (const auto& row : rows) {
        const PanelSize size = editor->panelSizeAt(row.first);
        EXPECT_EQ(CPoint(size.width, size.height), row.second) << row.first;
    }
}

}  // namespace
