// What the editor must do whatever window system shows it: where its controls
// sit, and which parameter values the user's gestures give. The Win32 and the
// X11 editor tests both check against these, so that the two faces of the
// plug-in cannot drift apart.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "toolkit/geometry/CRect.h"
#include "framework/VstInterface.h"

namespace quavixtest {
namespace expected {

constexpr int kEditorWidth = 330;
constexpr int kEditorHeight = 354;

// The layout the editor must show (frame coordinates).
const VSTGUI::CRect kSliderRects[3] = {VSTGUI::CRect(50, 85, 66, 245), VSTGUI::CRect(121, 85, 137, 245),
                                       VSTGUI::CRect(192, 85, 208, 245)};
const VSTGUI::CRect kReadoutRects[3] = {VSTGUI::CRect(45, 260, 75, 274), VSTGUI::CRect(116, 260, 146, 274),
                                        VSTGUI::CRect(187, 260, 217, 274)};
const VSTGUI::CRect kRockerRect(241, 164, 293, 182);
const VSTGUI::CRect kControllerReadoutRect(241, 204, 293, 222);
constexpr int kSliderTopY = 90;      // a free click here gives 1.0
constexpr int kSliderBottomY = 237;  // and here 0.0
constexpr int kRockerY = 173;
constexpr int kRockerRightX = 280;
constexpr int kRockerLeftX = 250;

inline int sliderCentreX(int index) { return (kSliderRects[index].left + kSliderRects[index].right) / 2; }

// Where a slider draws its handle for a value (rows from the slider's top).
inline int handleTopFor(float value) { return static_cast<int>(147.0f * (1.0f - value)); }

// A free click at y gives the value; beyond 90 and 237 it is clamped.
const std::vector<std::pair<int, float>> kFreeClicks = {{kSliderTopY, 1.0f}, {kSliderBottomY, 0.0f},
                                                        {87, 1.0f},          {163, 1.0f - 73.0f / 147.0f},
                                                        {243, 0.0f},         {kSliderTopY, 1.0f}};

// Each slider's read-out once it has been dragged to the bottom.
const char* const kBottomTexts[3] = {"800", "-oo", "Lo"};

// Shift held: the gain slider at 0.5 is pressed at kFinePressY and dragged
// 147 pixels down. Measured from 0.5, the value the slider had when Shift
// went down: the press point is 1 − 73/147, and 147 pixels further is a
// tenth less.
constexpr float kFineStartValue = 0.5f;
constexpr int kFinePressY = 163;
constexpr int kFineReleaseY = 310;
constexpr float kFineValueAtPress = kFineStartValue + ((1.0f - 73.0f / 147.0f) - kFineStartValue) / 10.0f;
constexpr float kFineValueAtRelease = kFineValueAtPress - 0.1f;

// Control-click on the peak slider at 0.9 resets it to the middle.
constexpr float kResetStartValue = 0.9f;
constexpr int kResetClickY = 120;
constexpr float kResetValue = 0.5f;

// The wheel over the gain slider at 0.5: a step up gives 0.6, then a step
// down with Shift 0.59.
constexpr float kWheelStartValue = 0.5f;
constexpr int kWheelY = 150;
constexpr float kWheelAfterUp = 0.6f;
constexpr float kWheelAfterShiftDown = 0.59f;

// A slider dragged from its top to its bottom: one edit bracket for its
// parameter around automated values that fall from 1 to 0.
template <typename Request>
void expectTopToBottomDrag(const std::vector<Request>& edits, const std::vector<float>& values, VstInt32 index) {
    ASSERT_GE(edits.size(), 4u) << "slider " << index;
    EXPECT_EQ(audioMasterBeginEdit, edits.front().opcode);
    EXPECT_EQ(index, edits.front().index);
    EXPECT_EQ(audioMasterEndEdit, edits.back().opcode);
    EXPECT_EQ(index, edits.back().index);
    ASSERT_GE(values.size(), 3u);
    EXPECT_EQ(1.0f, values.front());
    EXPECT_EQ(0.0f, values.back());
    EXPECT_TRUE(std::is_sorted(values.rbegin(), values.rend())) << "values must fall";
}

// Rocker gestures: the controller number before, the numbers the host is
// told one edit each, and so the number after.
struct RockerGesture {
    const char* what;
    int start;
    std::vector<int> steps;
};
const RockerGesture kRockerRightClick = {"a click on the right half", 1, {2}};
const RockerGesture kRockerRightClickWraps = {"a click on the right half at 127", 127, {0}};
const RockerGesture kRockerLeftClickWraps = {"a click on the left half at 0", 0, {127}};
const RockerGesture kRockerRightDraggedLeft = {"a press on the right half released on the left", 64, {65, 64}};
const RockerGesture kRockerRightHeld = {"the right half held", 1, {2}};
// A wheel notch is a click on one half: away from the user, the left.
const RockerGesture kRockerWheelAway = {"a wheel notch away", 5, {4}};
const RockerGesture kRockerWheelToward = {"a wheel notch toward", 5, {6}};

// Each step of the rocker reaches the host as an edit of its own: begin,
// the new number as n / 127, end. The rocker's own -1, +1 and 0 never do.
template <typename Request>
void expectControllerSteps(const std::vector<Request>& edits, const RockerGesture& gesture) {
    std::vector<Request> controller;
    for (const Request& request : edits)
        if (request.index == 3)
            controller.push_back(request);
    ASSERT_EQ(3 * gesture.steps.size(), controller.size()) << gesture.what;
    for (size_t step = 0; step < gesture.steps.size(); ++step) {
        const Request* edit = &controller[3 * step];
        EXPECT_EQ(audioMasterBeginEdit, edit[0].opcode) << gesture.what;
        EXPECT_EQ(audioMasterAutomate, edit[1].opcode) << gesture.what;
        EXPECT_EQ(static_cast<float>(gesture.steps[step] / 127.0), static_cast<float>(edit[1].value))
            << gesture.what << ", step " << step;
        EXPECT_EQ(audioMasterEndEdit, edit[2].opcode) << gesture.what;
    }
}

}  // namespace expected
}  // namespace quavixtest
