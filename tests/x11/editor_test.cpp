// The Linux editor's pictures: at open it shows what the Windows editor
// shows (docs/quavix-editor.png), to the pixel outside the read-outs' text,
// and a parameter changed from another thread is drawn at the next idle.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
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

constexpr uint32_t kReadoutFill = 0xCCCCCC;
// Fonts differ between the systems; the text must still be there, about as
// heavy (half to twice the ink) and centred where Windows centres it.
constexpr int kTextCentreSlack = 3;

// Inside the read-outs' one-pixel outline.
std::vector<CRect> textAreas() {
    std::vector<CRect> areas;
    for (const CRect& readout : kReadoutRects)
        areas.push_back(CRect(readout.left + 1, readout.top + 1, readout.right - 1, readout.bottom - 1));
    const CRect& controller = kControllerReadoutRect;
    areas.push_back(CRect(controller.left + 1, controller.top + 1, controller.right - 1, controller.bottom - 1));
    return areas;
}

int centreX(const CRect& box) { return (box.left + box.right) / 2; }
int centreY(const CRect& box) { return (box.top + box.bottom) / 2; }

TEST_F(EditorTest, FirstPictureIsTheWindowsEditorsOutsideTheText) {
    const Pixels windows = loadPicture("docs/quavix-editor.png");
    ASSERT_EQ(kEditorWidth, windows.width) << "docs/quavix-editor.png is missing or of another size";
    ASSERT_EQ(kEditorWidth, editorWidth);
    ASSERT_EQ(kEditorHeight, editorHeight);
    ASSERT_TRUE(openEditor());
    const Pixels shown = seen();
    EXPECT_TRUE(matchesOutside(shown, windows, textAreas()));
    for (const CRect& area : textAreas()) {
        const TextComparison text = compareText(shown, windows, area, kReadoutFill);
        std::printf("[ figures  ] text at (%d, %d) %d x %d: %d of %d pixels differ; ink %d here, %d on Windows\n",
                    area.left, area.top, area.width(), area.height(), text.differing, area.width() * area.height(),
                    text.seenInk, text.expectedInk);
        ASSERT_GT(text.expectedInk, 0);
        EXPECT_GE(2 * text.seenInk, text.expectedInk) << "too little text at " << area.left << ", " << area.top;
        EXPECT_LE(text.seenInk, 2 * text.expectedInk) << "too much text at " << area.left << ", " << area.top;
        EXPECT_NEAR(centreX(text.expectedBounds), centreX(text.seenBounds), kTextCentreSlack) << area.left;
        EXPECT_NEAR(centreY(text.expectedBounds), centreY(text.seenBounds), kTextCentreSlack) << area.left;
    }
}

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

}  // namespace
