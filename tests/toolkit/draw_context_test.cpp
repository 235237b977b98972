// The drawing state every window system's context keeps alike: its fresh
// values, the clip answered in the caller's coordinates, and the mouse state
// made from the physical buttons through the system's swap. What lands on a
// real device is tested per window system.
#include <gtest/gtest.h>

#include "toolkit/views/CFrame.h"
#include "toolkit/drawing/CDrawContext.h"
#include "toolkit/platform/MouseButtons.h"
#include "tests/native/GeometryPrinters.h"
#include "tests/toolkit/support/StubCanvas.h"

using namespace VSTGUI;
using quavixtest::CanvasContext;
using quavixtest::kWhite;

TEST(Lifecycle, FreshContextHoldsTheInitialState) {
    CanvasContext target(10, 10, kWhite);
    const CDrawContext& context = *target.context;
    EXPECT_EQ(context.getFrameColor(), kColorWhite);
    EXPECT_EQ(context.getFillColor(), kColorBlack);
    EXPECT_EQ(context.getFontColor(), kColorWhite);
    EXPECT_EQ(context.getLineWidth(), 1);
    EXPECT_EQ(context.getFontId(), kFontDefault);
    EXPECT_EQ(context.getFontStyle(), 0);
    EXPECT_EQ(context.getFontSize(), 12);
    EXPECT_EQ(context.offset, CPoint(0, 0));
    EXPECT_EQ(context.deviceContext, &target.canvas);
    EXPECT_EQ(context.getWindow(), nullptr);
    EXPECT_EQ(context.screenOrigin, CPoint(0, 0));
    EXPECT_EQ(context.getNbReference(), 1);
}

// ---------------------------------------------------------------------------
// Clipping is kept in device coordinates and answered in the caller's.

TEST(Clipping, ClipAnswerMovesWithTheOffsetOfTheMoment) {
    CanvasContext target(30, 30, kWhite);
    CRect answered;
    EXPECT_EQ(target.context->getClipRect(answered), CRect(0, 0, 1000, 1000));
    target.context->setClipRect(CRect(2, 3, 12, 13));
    target.context->offset = CPoint(2, 3);
    EXPECT_EQ(target.context->getClipRect(answered), CRect(0, 0, 10, 10));
}

TEST(Clipping, AFramesContextStartsClippedToTheFramesRectangle) {
    CFrame* frame = new CFrame(CRect(10, 20, 340, 374), nullptr, nullptr);
    CanvasContext target(10, 10, kWhite);
    CDrawContext* context = new CDrawContext(frame, nullptr, &target.canvas);
    CRect answered;
    EXPECT_EQ(context->getClipRect(answered), CRect(10, 20, 340, 374));
    EXPECT_EQ(context->getFrame(), frame);
    context->dropReference();
    delete frame;
}

// ---------------------------------------------------------------------------
// Mouse state: the physical buttons through the system's swap.

namespace {

// The physical state with the given mouse-state bits held.
PhysicalInputState input(int32_t held) {
    PhysicalInputState state;
    state.leftButton = (held & kButtonLeft) != 0;
    state.middleButton = (held & kButtonMiddle) != 0;
    state.rightButton = (held & kButtonRight) != 0;
    state.shift = (held & kModifierShift) != 0;
    state.control = (held & kModifierControl) != 0;
    state.alt = (held & kModifierAlt) != 0;
    return state;
}

}  // namespace

TEST(MouseState, EachButtonAndKeyHasItsBitAndShiftWithLeftIsNine) {
    const int32_t all = kButtonLeft | kButtonMiddle | kButtonRight | kModifierShift | kModifierControl | kModifierAlt;
    EXPECT_EQ(all, 63);
    EXPECT_EQ(kButtonLeft | kModifierShift, 9);
    for (int32_t held :
         {0, int32_t(kButtonLeft), int32_t(kButtonMiddle), int32_t(kButtonRight), int32_t(kModifierShift),
          int32_t(kModifierControl), int32_t(kModifierAlt), int32_t(kButtonLeft | kModifierShift), all})
        EXPECT_EQ(mouseStateFromInput(input(held), false), held);
}

TEST(MouseState, SwappedButtonsExchangeLeftAndRightOnly) {
    const int32_t cases[][2] = {{kButtonLeft, kButtonRight},
                                {kButtonRight, kButtonLeft},
                                {kButtonMiddle, kButtonMiddle},
                                {kButtonLeft | kModifierControl, kButtonRight | kModifierControl}};
    for (const auto& c : cases)
        EXPECT_EQ(mouseStateFromInput(input(c[0]), true), c[1]) << "held " << c[0];
}
