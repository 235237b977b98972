// The editor played with real input through the X server: slider drags,
// free clicks, Shift for fine moves, Control-click to reset, the wheel and
// the controller rocker give the parameter values and the host requests the
// Windows editor gives for the same gestures, at 1 and at 2.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "quavix/QuavixConfig.h"
#include "tests/editor/EditorExpectations.h"
#include "tests/x11/support/EditorHost.h"
#include "tests/x11/support/InputScript.h"

using namespace quavix;
using namespace quavixtest;
using namespace quavixtest::expected;

namespace {

// Each gesture at 1 and at 2, the pointer at the device pixels of the same
// units: the values and the host's edits must not change with the scale.
class InputTest : public EditorTest, public ::testing::WithParamInterface<float> {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        if (IsSkipped() || HasFatalFailure() || GetParam() == 1.0f)
            return;
        ASSERT_EQ(1, tellScale(GetParam()));
        ASSERT_EQ(deviceCoordinate(kEditorWidth, GetParam()), editorWidth);
    }
    int screenX(int x) const { return kHostX + deviceCoordinate(x, GetParam()); }
    int screenY(int y) const { return kHostY + deviceCoordinate(y, GetParam()); }
    // A drag passes the same units at every scale.
    int stride(int units) const { return deviceCoordinate(units, GetParam()); }
    // The slider as it must look, against what is shown.
    PictureDifference sliderShown(int index) const {
        const float values[3] = {getParameter(kFrequencyParam), getParameter(kGainParam), getParameter(kPeakParam)};
        const PanelReference panel = expectedPanel(QUAVIX_SOURCE_DIR "/resources", GetParam(), values);
        return comparePictures(seen(), panel.picture, deviceRect(kSliderRects[index], GetParam()), {}, 0);
    }
    bool clickAt(int x, int y) { return play(InputScript().clickAt(screenX(x), screenY(y))); }
    size_t countOf(VstInt32 opcode) const { return RecordingHost::instance().requests({opcode}).size(); }
    int controllerNumber() const { return static_cast<int>(std::lround(getParameter(kControllerParam) * 127.0)); }
    void startAt(const RockerGesture& gesture) {
        setParameter(kControllerParam, static_cast<float>(gesture.start / 127.0));
        RecordingHost::instance().clear();
    }
    void expectAfter(const RockerGesture& gesture) {
        expectControllerSteps(edits(), gesture);
        EXPECT_EQ(gesture.steps.back(), controllerNumber()) << gesture.what;
    }
};

TEST_P(InputTest, DraggingEachSliderTopToBottomAutomatesFallingValues) {
    ASSERT_TRUE(openEditor());
    for (VstInt32 index = kFrequencyParam; index <= kPeakParam; ++index) {
        setParameter(index, 0.5f);
        idle();
        RecordingHost::instance().clear();
        const int x = screenX(sliderCentreX(index));
        InputScript drag;
        drag.moveTo(x, screenY(kSliderTopY))
            .press()
            .dragTo(x, screenY(kSliderTopY), x, screenY(kSliderBottomY), stride(7), 25)
            .pause(120)
            .release();
        ASSERT_TRUE(play(drag));
        const std::vector<float> values = automatedValues(index);
        expectTopToBottomDrag(edits(), values, index);
        if (HasFatalFailure())
            return;
        EXPECT_NEAR(0.0f, getParameter(index), 1e-6);
    }
}

TEST_P(InputTest, FreeClickPutsTheHandlesMiddleUnderThePointer) {
    ASSERT_TRUE(openEditor());
    for (const auto& [y, value] : kFreeClicks) {
        RecordingHost::instance().clear();
        ASSERT_TRUE(clickAt(sliderCentreX(kFrequencyParam), y));
        EXPECT_EQ(value, getParameter(kFrequencyParam)) << "click at " << y;
        EXPECT_EQ(1u, countOf(audioMasterBeginEdit)) << "click at " << y;
        EXPECT_EQ(1u, countOf(audioMasterEndEdit)) << "click at " << y;
    }
    const PictureDifference slider = sliderShown(kFrequencyParam);
    EXPECT_EQ(0, slider.differing) << slider.describe();
}

TEST_P(InputTest, ShiftDragsTenTimesFiner) {
    setParameter(kGainParam, kFineStartValue);
    ASSERT_TRUE(openEditor());
    const int x = screenX(sliderCentreX(kGainParam));
    InputScript drag;
    drag.holdKey(ModifierKey::shift)
        .moveTo(x, screenY(kFinePressY))
        .press()
        .dragTo(x, screenY(kFinePressY), x, screenY(kFineReleaseY), stride(7), 25)
        .pause(120)
        .release()
        .releaseKey(ModifierKey::shift);
    ASSERT_TRUE(play(drag));
    const std::vector<float> values = automatedValues(kGainParam);
    ASSERT_GE(values.size(), 2u);
    EXPECT_NEAR(kFineValueAtPress, values.front(), 1e-6);
    EXPECT_NEAR(kFineValueAtRelease, values.back(), 1e-5);
    EXPECT_NEAR(kFineValueAtRelease, getParameter(kGainParam), 1e-5);
}

TEST_P(InputTest, ControlClickResetsToTheMiddle) {
    setParameter(kPeakParam, kResetStartValue);
    ASSERT_TRUE(openEditor());
    InputScript click;
    click.holdKey(ModifierKey::control)
        .clickAt(screenX(sliderCentreX(kPeakParam)), screenY(kResetClickY))
        .releaseKey(ModifierKey::control);
    ASSERT_TRUE(play(click));
    const std::vector<HostRequest> requests = edits();
    ASSERT_EQ(3u, requests.size());
    EXPECT_EQ(audioMasterBeginEdit, requests[0].opcode);
    EXPECT_EQ(audioMasterAutomate, requests[1].opcode);
    EXPECT_EQ(kResetValue, requests[1].value);
    EXPECT_EQ(audioMasterEndEdit, requests[2].opcode);
    EXPECT_NEAR(kResetValue, getParameter(kPeakParam), 1e-6);
}

TEST_P(InputTest, WheelOverASliderStepsItByATenthOrAHundredthWithShift) {
    setParameter(kGainParam, kWheelStartValue);
    ASSERT_TRUE(openEditor());
    const int x = screenX(sliderCentreX(kGainParam));
    ASSERT_TRUE(play(InputScript().moveTo(x, screenY(kWheelY)).pause(60).wheel(1)));
    EXPECT_NEAR(kWheelAfterUp, getParameter(kGainParam), 1e-6);
    ASSERT_TRUE(play(InputScript().holdKey(ModifierKey::shift).wheel(-1).releaseKey(ModifierKey::shift)));
    EXPECT_NEAR(kWheelAfterShiftDown, getParameter(kGainParam), 1e-6);
    const std::vector<HostRequest> requests = edits();
    ASSERT_EQ(6u, requests.size());
    for (size_t step = 0; step < 2; ++step) {
        EXPECT_EQ(audioMasterBeginEdit, requests[3 * step].opcode);
        EXPECT_EQ(audioMasterAutomate, requests[3 * step + 1].opcode);
        EXPECT_EQ(audioMasterEndEdit, requests[3 * step + 2].opcode);
    }
    // Over the background there is no view to take the wheel.
    RecordingHost::instance().clear();
    ASSERT_TRUE(play(InputScript().moveTo(screenX(20), screenY(20)).pause(60).wheel(1)));
    EXPECT_TRUE(edits().empty());
    EXPECT_NEAR(kWheelAfterShiftDown, getParameter(kGainParam), 1e-6);
}

TEST_P(InputTest, RockerClicksStepOnceAndWrap) {
    ASSERT_TRUE(openEditor());
    const std::pair<const RockerGesture*, int> clicks[] = {
        {&kRockerRightClick, kRockerRightX},
        {&kRockerRightClickWraps, kRockerRightX},
        {&kRockerLeftClickWraps, kRockerLeftX},
    };
    for (const auto& click : clicks) {
        startAt(*click.first);
        ASSERT_TRUE(clickAt(click.second, kRockerY));
        expectAfter(*click.first);
    }
}

TEST_P(InputTest, RockerLeftHalfStepsDownAtTheReleaseNotThePress) {
    ASSERT_TRUE(openEditor());
    startAt(kRockerLeftClickWraps);
    // The first request the host gets is the release's step beginning.
    int numberAtFirstRequest = -1;
    RecordingHost::instance().setObserver([&](const HostRequest&) {
        if (numberAtFirstRequest < 0)
            numberAtFirstRequest = controllerNumber();
    });
    ASSERT_TRUE(
        play(InputScript().moveTo(screenX(kRockerLeftX), screenY(kRockerY)).pause(60).press().pause(200).release()));
    RecordingHost::instance().setObserver(nullptr);
    EXPECT_EQ(0, numberAtFirstRequest);
    expectAfter(kRockerLeftClickWraps);
}

TEST_P(InputTest, RockerPressedRightDraggedLeftAndReleasedStepsUpThenDown) {
    ASSERT_TRUE(openEditor());
    startAt(kRockerRightDraggedLeft);
    InputScript gesture;
    gesture.moveTo(screenX(kRockerRightX), screenY(kRockerY))
        .pause(60)
        .press()
        .pause(200)
        .moveTo(screenX(kRockerLeftX), screenY(kRockerY))
        .pause(200)
        .release();
    ASSERT_TRUE(play(gesture));
    expectAfter(kRockerRightDraggedLeft);
}

TEST_P(InputTest, HoldingTheRockersRightHalfStepsOnlyOnce) {
    ASSERT_TRUE(openEditor());
    startAt(kRockerRightHeld);
    ASSERT_TRUE(
        play(InputScript().moveTo(screenX(kRockerRightX), screenY(kRockerY)).pause(60).press().pause(500).release()));
    expectAfter(kRockerRightHeld);
}

TEST_P(InputTest, AWheelNotchOverTheRockerStepsOnce) {
    ASSERT_TRUE(openEditor());
    for (const auto& notch : {std::make_pair(&kRockerWheelAway, 1), std::make_pair(&kRockerWheelToward, -1)}) {
        startAt(*notch.first);
        ASSERT_TRUE(
            play(InputScript().moveTo(screenX(kRockerRightX), screenY(kRockerY)).pause(60).wheel(notch.second)));
        expectAfter(*notch.first);
    }
}

// A host that echoes each automated value back, as most do, leaves the
// number where the rocker put it.
TEST_P(InputTest, AHostEchoingTheRockersStepChangesNothing) {
    ASSERT_TRUE(openEditor());
    startAt(kRockerRightClick);
    RecordingHost::instance().setObserver([&](const HostRequest& request) {
        if (request.opcode == audioMasterAutomate)
            setParameter(request.index, request.value);
    });
    ASSERT_TRUE(clickAt(kRockerRightX, kRockerY));
    RecordingHost::instance().setObserver(nullptr);
    expectAfter(kRockerRightClick);
}

INSTANTIATE_TEST_SUITE_P(Scales, InputTest, ::testing::Values(1.0f, 2.0f),
                         [](const ::testing::TestParamInfo<float>& info) {
                             return info.param == 1.0f ? std::string("AtOne") : std::string("AtTwo");
                         });

}  // namespace
