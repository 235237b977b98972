// The controls on a real frame in a real window, where they need one: drags
// by real input, and the parameter display's text as GDI draws it. Pixels
// are read back and compared with pictures made from plain GDI. The drawing
// every system shares (tests/controls/) is answered here for Win32, with the
// module's bitmap resources; the rest of the controls' behaviour is tested
// over the stub, in tests/toolkit.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "toolkit/controls/CParamDisplay.h"
#include "toolkit/drawing/CDrawContext.h"
#include "tests/controls/ControlsFixture.h"
#include "tests/win32/support/CanvasContext.h"
#include "tests/win32/support/HostWindow.h"
#include "tests/win32/support/MessagePump.h"
#include "tests/win32/support/ReadoutPicture.h"
#include "tests/win32/support/RealInput.h"
#include "tests/win32/support/WindowPixels.h"

using namespace VSTGUI;
using quavixtest::InputScript;
using quavixtest::regionMatches;
using quavixtest::WindowPixels;

namespace controlstest {

// ---------------------------------------------------------------- Win32's answers

namespace {
// A borderless host window, so that its client area starts at its screen
// position; one case at a time.
std::unique_ptr<quavixtest::HostWindow> hostWindow;
}  // namespace

void* openHostWindow(const CRect& onScreen) {
    hostWindow =
        std::make_unique<quavixtest::HostWindow>(onScreen.left, onScreen.top, onScreen.width(), onScreen.height());
    return hostWindow->handle();
}
void closeHostWindow(void* /*window*/) { hostWindow.reset(); }

// The bitmaps are the module's own resources.
void setUpSystem() {}
void tearDownSystem() {}

void paintFirst(CFrame* frame) {
    UpdateWindow(static_cast<HWND>(frame->getSystemWindow()));
    quavixtest::pumpUntil([] { return false; }, 100);
}

void deliverMessages() { quavixtest::pumpPendingMessages(); }

Picture windowPixels(CFrame* frame) {
    const WindowPixels seen(static_cast<HWND>(frame->getSystemWindow()));
    return pictureOf(seen, seen.width(), seen.height());
}

Picture bitmapPixels(int32_t resourceId) {
    Picture picture;
    picture.rgb = quavixtest::resourcePixels(resourceId, picture.width, picture.height);
    return picture;
}

Picture drawnOnCanvas(CView& view, int width, int height, uint32_t background) {
    quavixtest::CanvasContext target(width, height, background);
    view.draw(target.context);
    return pictureOf(target, width, height);
}

namespace {

// Real input reaches a frame point through the host window's place.
POINT screen(const CPoint& where) { return hostWindow->toScreen(where.x, where.y); }

// ---------------------------------------------------------------- slider

TEST_F(ControlsTest, SliderWithoutFreeClickDragsOnlyByItsHandleKeepingTheGrip) {
    CVerticalSlider* slider = addEditorSlider(0);
    slider->setFreeClick(false);
    slider->setValue(0.5f);
    const int handleTop = panel.handleTopFor(0.5f);
    idle();
    // A press above the handle does nothing.
    ASSERT_TRUE(InputScript().clickAt(screen(panel.inSlider(handleTop - 38))).playWhilePumping());
    EXPECT_TRUE(timeline.events.empty()) << describe(timeline.events);
    EXPECT_EQ(0.5f, slider->getValue());

    // Grab the handle four rows below its top and pull it 21 rows down.
    const POINT grip = screen(panel.inSlider(handleTop + 4));
    const POINT pulled = screen(panel.inSlider(handleTop + 4 + 21));
    InputScript drag;
    drag.moveTo(grip).press().dragTo(grip, pulled, 3, 30).pause(100).release();
    ASSERT_TRUE(drag.playWhilePumping());
    ASSERT_GE(timeline.events.size(), 3u) << describe(timeline.events);
    EXPECT_EQ(begins(0), timeline.events.front());
    EXPECT_EQ(ends(0), timeline.events.back());
    // The grip stays under the pointer: the first value is the handle's own
    // row (within a row of 0.5), the last 21 rows further down.
    const float range = static_cast<float>(panel.handleRange());
    const std::vector<float> values = timeline.changedValues();
    ASSERT_FALSE(values.empty());
    EXPECT_FLOAT_EQ(1.0f - handleTop / range, values.front());
    EXPECT_FLOAT_EQ(1.0f - (handleTop + 21) / range, slider->getValue());
    for (size_t i = 1; i < values.size(); ++i)
        EXPECT_LE(values[i], values[i - 1]);
}

// ---------------------------------------------------------------- rocker switch

TEST_F(ControlsTest, RockerPressedRightThenDraggedOffSendsTheValueAtPressThenRelease) {
    addEditorRocker();
    idle();
    const CPoint right = panel.rockerRightHalf();
    InputScript gesture;
    gesture.moveTo(screen(right)).press().pause(250).moveTo(screen(CPoint(right.x, panel.rocker.bottom + 48)));
    gesture.pause(250).release();
    ASSERT_TRUE(gesture.playWhilePumping());
    // Off the switch the value at press (0) is sent on every pass until the
    // switch has been redrawn with it; the release sends 0 once more.
    ASSERT_GE(timeline.events.size(), 5u) << describe(timeline.events);
    EXPECT_EQ(begins(3), timeline.events.front());
    EXPECT_EQ(changes(3, 1.0f), timeline.events[1]);
    for (size_t i = 2; i + 1 < timeline.events.size(); ++i)
        EXPECT_EQ(changes(3, 0.0f), timeline.events[i]) << describe(timeline.events);
    EXPECT_EQ(ends(3), timeline.events.back());
}

TEST_F(ControlsTest, DisplayDefaultsToWhiteTextInABlackFramedBox) {
    CParamDisplay display(CRect(2, 2, 62, 20));
    EXPECT_EQ(kFontNormal, display.getFont());
    EXPECT_EQ(kAlignCenter, display.getTextAlign());
    EXPECT_EQ(kStyleHorizontal, display.getStyle());
    EXPECT_TRUE(display.getTextTransparency());
    EXPECT_EQ(kColorRed, display.getShadowColor());
    display.setValue(0.5f);
    const Picture canvas = drawDisplay(display, 0x808080);
    // The box covers exactly the rectangle: outline and fill are black.
    EXPECT_EQ(0x808080u, canvas.at(1, 1));
    EXPECT_EQ(0x000000u, canvas.at(2, 2));
    EXPECT_EQ(0x000000u, canvas.at(61, 19));
    EXPECT_EQ(0x808080u, canvas.at(62, 20));
    // Inside, only the text differs from black: grey levels of white text,
    // centred across the box.
    int textPixels = 0;
    int left = 1000, right = -1;
    for (int y = 3; y < 19; ++y)
        for (int x = 3; x < 61; ++x) {
            const uint32_t pixel = canvas.at(x, y);
            if (pixel == 0)
                continue;
            ++textPixels;
            left = std::min(left, x);
            right = std::max(right, x);
            EXPECT_TRUE((pixel & 0xFF) == ((pixel >> 8) & 0xFF) && (pixel & 0xFF) == (pixel >> 16))
                << std::hex << pixel;
        }
    EXPECT_GT(textPixels, 20);
    EXPECT_LE(std::abs((left - 2) - (61 - right)), 2) << left << " " << right;
}

TEST_F(ControlsTest, TransparentDisplayDrawsOnlyItsText) {
    CParamDisplay display(CRect(2, 2, 62, 20));
    display.setTransparent(true);
    display.setFontColor(CColor{255, 0, 0, 255});
    display.setValue(0.5f);
    const Picture canvas = drawDisplay(display, 0x00FF00);
    // Nothing changes on the box's edge or outside it.
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x)
            EXPECT_TRUE(canvas.at(x, y) == 0x00FF00 || (x > 2 && x < 61 && y > 2 && y < 19)) << x << ", " << y;
    EXPECT_GT(countOf(canvas, 0xFF0000), 0);
}

TEST_F(ControlsTest, DisplayInTheFrameShowsItsTextAsGdiDrawsIt) {
    const CRect& size = panel.readout;
    CParamDisplay* display = adopt(new CParamDisplay(size));
    display->setFont(kFontSmall);
    display->setFontColor(CColor{51, 51, 51, 0});
    display->setBackColor(CColor{204, 204, 204, 0});
    display->setFrameColor(CColor{238, 238, 238, 0});
    display->setValue(0.25f);
    idle();
    const HWND window = static_cast<HWND>(frame->getSystemWindow());
    const quavixtest::ReadoutLook look = {0xCCCCCC, 0xEEEEEE, 0x333333, 11, 400};
    const int width = size.width(), height = size.height();
    const auto readout = [&](const char* text) { return quavixtest::renderReadout(window, width, height, look, text); };
    EXPECT_TRUE(regionMatches(seen(), size.left, size.top, readout("0.25"), width, height));
    EXPECT_FALSE(regionMatches(seen(), size.left, size.top, readout("0.26"), width, height));
    EXPECT_FALSE(regionMatches(seen(), size.left, size.top, readout(""), width, height));
}

}  // namespace
}  // namespace controlstest
