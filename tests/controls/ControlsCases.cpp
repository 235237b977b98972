// The controls' drawing that must look the same on every window system,
// written once and compiled once into a library that the stub's and the
// Win32 test programs both link: the slider drawn detached and through its
// own offscreen in a frame, and the rocker's state images.
#include <utility>
#include <vector>

#include "quavix/QuavixConfig.h"
#include "tests/controls/ControlsFixture.h"
#include "tests/support/RegionMatches.h"
#include "toolkit/drawing/COffscreenContext.h"

using namespace VSTGUI;
using quavixtest::regionMatches;

namespace controlstest {

TEST_F(ControlsTest, DetachedSliderDrawsHandleWhereItsValueSays) {
    CVerticalSlider* slider = makeEditorSlider(nullptr, 0);
    const CRect& size = panel.slider;
    // value → the handle's top row inside the slider; above 1 stops at the top.
    const std::vector<std::pair<float, int>> cases = {
        {1.0f, 0}, {0.0f, panel.handleRange()}, {0.5f, panel.handleRange() / 2}, {2.0f, 0}};
    for (const auto& [value, top] : cases) {
        const uint32_t canvasColor = 0x123456;
        slider->setValue(value);
        const Picture target = drawnOnCanvas(*slider, size.right + 10, size.bottom + 10, canvasColor);
        EXPECT_TRUE(regionMatches(target, size.left, size.top, sliderPicture(top), size.width(), size.height()))
            << "value " << value;
        EXPECT_FALSE(slider->isDirty());
        EXPECT_EQ(canvasColor, target.at(size.left - 1, size.top));
        EXPECT_EQ(canvasColor, target.at(size.left, size.bottom));
    }
    slider->dropReference();
}

TEST_F(ControlsTest, AttachedSliderDrawsThroughItsOwnOffscreen) {
    CVerticalSlider* slider = addEditorSlider();
    const CRect& size = panel.slider;
    ASSERT_NE(nullptr, slider->getOffscreen());
    EXPECT_EQ(size.width(), slider->getOffscreen()->getWidth());
    EXPECT_EQ(size.height(), slider->getOffscreen()->getHeight());
    slider->setValue(1.0f);
    idle();
    EXPECT_TRUE(regionMatches(seen(), size.left, size.top, sliderPicture(0), size.width(), size.height()));
    slider->setValue(0.0f);
    idle();
    EXPECT_TRUE(
        regionMatches(seen(), size.left, size.top, sliderPicture(panel.handleRange()), size.width(), size.height()));
    // Removed without release, the creator's reference is the only one left.
    frame->removeView(slider, false);
    EXPECT_EQ(nullptr, slider->getOffscreen());
    slider->dropReference();
}

TEST_F(ControlsTest, RockerShowsTheStateImageOfItsValue) {
    CRockerSwitch* rocker = makeEditorRocker(nullptr);
    const CRect& size = panel.rocker;
    const int stateHeight = panel.rockerStateHeight;
    const Picture picture = bitmapPixels(quavix::kRockerBitmap);
    ASSERT_EQ(size.width(), picture.width);
    ASSERT_EQ(quavix::panel::kRockerStates * stateHeight, picture.height);
    // value → the state shown (left pressed, rest, right pressed); anything
    // else shows the first.
    const std::vector<std::pair<float, int>> cases = {{-1.0f, 0}, {0.0f, 1}, {1.0f, 2}, {0.5f, 0}};
    for (const auto& [value, state] : cases) {
        rocker->setValue(value);
        const Picture target = drawnOnCanvas(*rocker, size.right + 10, size.bottom + 10, 0x00FF00);
        const auto first = picture.rgb.begin() + state * stateHeight * picture.width;
        const std::vector<uint32_t> shown(first, first + stateHeight * picture.width);
        EXPECT_TRUE(regionMatches(target, size.left, size.top, shown, size.width(), stateHeight)) << "value " << value;
        EXPECT_FALSE(rocker->isDirty());
    }
    rocker->dropReference();
}

}  // namespace controlstest
