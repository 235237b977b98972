// The Linux editor's pictures: at open, at each scale a host or the user
// asks for, it shows the panel put together from the bitmaps of that scale
// (at 1, what the Windows editor shows, docs/quavix-editor.png) to the pixel
// outside the read-outs' text, and the text centred in each read-out; a
// parameter changed from another thread is drawn at the next idle.
#include <X11/Xatom.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "quavix/QuavixConfig.h"
#include "tests/editor/EditorExpectations.h"
#include "tests/x11/support/EditorHost.h"
#include "tests/x11/support/Pictures.h"

using namespace quavixtest;
using namespace quavixtest::expected;
using VSTGUI::CRect;

namespace {

// Fonts differ between the systems; the text must still be there, about as
// heavy (half to twice the ink, scaled by the area) and centred where
// Windows centres it, within this many units.
constexpr int kTextCentreSlack = 3;

// Inside the read-outs' one-pixel outline, in units.
std::vector<CRect> textAreas() {
    std::vector<CRect> areas;
    for (const CRect& readout : kReadoutRects)
        areas.push_back(CRect(readout.left + 1, readout.top + 1, readout.right - 1, readout.bottom - 1));
    const CRect& controller = kControllerReadoutRect;
    areas.push_back(CRect(controller.left + 1, controller.top + 1, controller.right - 1, controller.bottom - 1));
    return areas;
}

double middle(int first, int end) { return (first + end) / 2.0; }

class ScaledEditorTest : public EditorTest, public ::testing::WithParamInterface<ScaleRow> {
protected:
    void SetUp() override {
        const ScaleRow& row = GetParam();
        // The editor reads QUAVIX_SCALE once, when the effect makes it.
        if (row.userScale)
            setenv("QUAVIX_SCALE", row.userScale, 1);
        else
            unsetenv("QUAVIX_SCALE");
        EditorTest::SetUp();
        unsetenv("QUAVIX_SCALE");
        if (IsSkipped() || HasFatalFailure() || row.userScale)
            return;
        ASSERT_EQ(1, tellScale(row.factor));
    }
};

TEST_P(ScaledEditorTest, FirstPictureIsThePanelAtItsScaleOutsideTheText) {
    const ScaleRow& row = GetParam();
    const Pixels windows = loadPicture("docs/quavix-editor.png");
    ASSERT_EQ(kEditorWidth, windows.width) << "docs/quavix-editor.png is missing or of another size";
    EXPECT_EQ(row.width, editorWidth) << "effEditGetRect before open";
    EXPECT_EQ(row.height, editorHeight) << "effEditGetRect before open";
    ASSERT_TRUE(openEditor());
    ASSERT_TRUE(readEditorRect());
    EXPECT_EQ(row.width, editorWidth) << "effEditGetRect once open";
    EXPECT_EQ(row.height, editorHeight) << "effEditGetRect once open";
    int windowWidth = 0, windowHeight = 0;
    editorWindowSize(windowWidth, windowHeight);
    EXPECT_EQ(row.width, windowWidth) << "the editor's window";
    EXPECT_EQ(row.height, windowHeight) << "the editor's window";
    const Pixels shown = seen();
    const float values[3] = {getParameter(quavix::kFrequencyParam), getParameter(quavix::kGainParam),
                             getParameter(quavix::kPeakParam)};
    const PanelReference panel = expectedPanel(QUAVIX_SOURCE_DIR "/resources", row.factor, values);
    ASSERT_EQ(row.width, panel.picture.width) << "the bitmaps in resources/ are missing or of another size";
    ASSERT_EQ(row.height, panel.picture.height);
    if (row.factor == 1.0f) {
        // At 1 the panel put together is the Windows editor's picture, and so is what is shown.
        const PictureDifference reference =
            comparePictures(panel.picture, windows, wholeOf(windows), panel.textAreas, 0);
        EXPECT_EQ(0, reference.differing) << "the assembled panel against Windows: " << reference.describe();
        EXPECT_TRUE(matchesOutside(shown, windows, textAreas()));
    }
    for (const PanelReference::Region& region : panel.regions) {
        const PictureDifference difference =
            comparePictures(shown, panel.picture, region.area, panel.textAreas, row.tolerance);
        std::printf("[ figures  ] %s at %g: %s\n", region.name.c_str(), row.factor, difference.describe().c_str());
        EXPECT_EQ(0, difference.differing) << region.name << ": " << difference.describe();
    }
    const std::vector<CRect> units = textAreas();
    for (size_t i = 0; i < units.size(); ++i) {
        const Ink expected = inkIn(windows, units[i], kReadoutFill);
        const Ink here = inkIn(shown, panel.textAreas[i], kReadoutFill);
        const double area = static_cast<double>(row.factor) * row.factor;
        std::printf("[ figures  ] text at (%d, %d) at %g: ink %d here, %d on Windows at 1\n", units[i].left,
                    units[i].top, row.factor, here.pixels, expected.pixels);
        ASSERT_GT(expected.pixels, 0);
        EXPECT_GE(2.0 * here.pixels, expected.pixels * area) << "too little text at " << units[i].left;
        EXPECT_LE(here.pixels, 2.0 * expected.pixels * area) << "too much text at " << units[i].left;
        // Windows' ink box brought to the factor, against the ink box here.
        const CRect scaled = deviceRect(expected.bounds, row.factor);
        const double slack = kTextCentreSlack * row.factor;
        EXPECT_NEAR(middle(scaled.left, scaled.right), middle(here.bounds.left, here.bounds.right), slack)
            << units[i].left;
        EXPECT_NEAR(middle(scaled.top, scaled.bottom), middle(here.bounds.top, here.bounds.bottom), slack)
            << units[i].left;
    }
}

INSTANTIATE_TEST_SUITE_P(Factors, ScaledEditorTest, ::testing::ValuesIn(kScaleRows),
                         [](const ::testing::TestParamInfo<ScaleRow>& info) { return std::string(info.param.name); });

TEST_F(EditorTest, AutomationFromAnotherThreadIsDrawnAtTheNextIdle) {
    ASSERT_TRUE(openEditor());
    const Pixels before = seen();
    std::thread automation([&] { setParameter(quavix::kFrequencyParam, 0.25f); });
    automation.join();
    // Nothing is drawn until the editor's idle.
    const CRect column(kReadoutRects[0].left, kSliderRects[0].top, kReadoutRects[0].right, kReadoutRects[0].bottom);
    EXPECT_TRUE(areaMatches(seen(), column, before, column.left, column.top));
    idle();
    const Pixels after = seen();
    EXPECT_TRUE(areaMatches(after, kSliderRects[0], sliderPicture(handleTopFor(0.25f)), 0, 0));
    const TextComparison readout = compareText(after, before, textAreas()[0], kReadoutFill);
    EXPECT_GT(readout.differing, 0) << "the read-out still shows the old frequency";
    EXPECT_TRUE(automatedValues(quavix::kFrequencyParam).empty());
}

// The desktop's Xft.dpi, as a desktop publishes it: the root window's
// resource string. Restored at the end, so other tests see no scale.
class DesktopScaleTest : public EditorTest {
protected:
    void TearDown() override {
        XDeleteProperty(display, DefaultRootWindow(display), XInternAtom(display, "RESOURCE_MANAGER", False));
        XSync(display, False);
        unsetenv("GDK_SCALE");
        EditorTest::TearDown();
    }
    void publishDpi(const char* dpi) {
        const std::string resources = std::string("Xft.antialias:\t1\nXft.dpi:\t") + dpi + "\n";
        XChangeProperty(display, DefaultRootWindow(display), XInternAtom(display, "RESOURCE_MANAGER", False), XA_STRING,
                        8, PropModeReplace, reinterpret_cast<const unsigned char*>(resources.data()),
                        static_cast<int>(resources.size()));
        XSync(display, False);
    }
    void expectSize(int width, int height) {
        ASSERT_TRUE(readEditorRect());
        EXPECT_EQ(width, editorWidth);
        EXPECT_EQ(height, editorHeight);
        int windowWidth = 0, windowHeight = 0;
        editorWindowSize(windowWidth, windowHeight);
        EXPECT_EQ(width, windowWidth);
        EXPECT_EQ(height, windowHeight);
    }
};

TEST_F(DesktopScaleTest, TheEditorOpensAtXftDpiAndFollowsItsChanges) {
    publishDpi("192");
    ASSERT_TRUE(openEditor());
    expectSize(660, 708);
    publishDpi("144");
    idleFor(100);
    expectSize(495, 531);
    // The host's factor rules over the desktop's from then on.
    ASSERT_EQ(1, tellScale(1.0f));
    publishDpi("288");
    idleFor(100);
    expectSize(330, 354);
}

TEST_F(DesktopScaleTest, WithoutXftDpiGdkScaleGivesTheFactor) {
    setenv("GDK_SCALE", "2", 1);
    ASSERT_TRUE(readEditorRect());
    EXPECT_EQ(660, editorWidth);
    EXPECT_EQ(708, editorHeight);
}

}  // namespace
