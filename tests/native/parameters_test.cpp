// The four parameters and the program as host and editor see them: values,
// names, labels, read-outs, the controller stepping and the program name.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "tests/native/FilterProbe.h"
#include "tests/native/RecordingHost.h"

namespace {

class ParametersTest : public ::testing::Test {
protected:
    std::string display(VstInt32 index) { return effect.text(effGetParamDisplay, index); }
    float get(VstInt32 index) { return effect.filter().getParameter(index); }
    void set(VstInt32 index, float value) { effect.record->setParameter(effect.record, index, value); }
    VstInt32 controller() { return std::stoi(display(3)); }

    RecordingHost host;
    LoadedEffect effect{host};
};

TEST_F(ParametersTest, ANewEffect) {
    EXPECT_EQ(get(0), 0.5f);
    EXPECT_EQ(get(1), 1.0f);
    EXPECT_EQ(get(2), 0.6f);
    EXPECT_EQ(get(3), static_cast<float>(1 / 127.0));
    EXPECT_EQ(display(0), "2300.000000");
    EXPECT_EQ(display(1), "-6.02060");
    EXPECT_EQ(display(2), "Med");
    EXPECT_EQ(display(3), "1");
}

TEST_F(ParametersTest, NamesAndLabels) {
    const char* names[] = {"Center Frequency", "Gain", "peak", "midi controller #"};
    const char* labels[] = {"Hz", "dB", " ", ""};
    for (VstInt32 i = 0; i < 4; ++i) {
        EXPECT_EQ(effect.text(effGetParamName, i), names[i]);
        EXPECT_EQ(effect.text(effGetParamLabel, i), labels[i]);
    }
}

TEST_F(ParametersTest, UnknownIndicesChangeNothingAndReadEmpty) {
    for (VstInt32 index : {4, -1, 1000}) {
        set(index, 0.9f);
        EXPECT_EQ(get(index), 0.0f);
        char text[64];
        std::memset(text, 'x', sizeof(text));
        text[63] = 0;
        effect.dispatch(effGetParamName, index, 0, text);
        EXPECT_STREQ(text, "");
        std::memset(text, 'x', 63);
        effect.dispatch(effGetParamLabel, index, 0, text);
        EXPECT_STREQ(text, "");
        std::memset(text, 'x', 63);
        effect.dispatch(effGetParamDisplay, index, 0, text);
        EXPECT_STREQ(text, "");
    }
    EXPECT_EQ(get(0), 0.5f);
    EXPECT_EQ(get(1), 1.0f);
    EXPECT_EQ(get(2), 0.6f);
    EXPECT_EQ(controller(), 1);
}

TEST_F(ParametersTest, CenterFrequency) {
    set(0, 1.0f);
    EXPECT_EQ(get(0), 1.0f);
    EXPECT_EQ(display(0), "3800.000000");
    set(0, 0.0f);
    EXPECT_EQ(display(0), "800.000000");
    set(0, 0.123f);
    EXPECT_EQ(get(0), 0.123f);
}

TEST_F(ParametersTest, GainStoresHalfTheValueAndReportsItDoubled) {
    FilterProbe probe;
    probe.setParameter(1, 1.0f);
    EXPECT_EQ(probe.outputGainValue(), 0.5f);
    probe.setParameter(1, 0.3f);
    EXPECT_EQ(probe.outputGainValue(), static_cast<float>(0.3f * 0.5));
    EXPECT_EQ(probe.getParameter(1), 0.3f);
    set(1, 1.0f);
    EXPECT_EQ(get(1), 1.0f);
    EXPECT_EQ(display(1), "-6.02060");
    set(1, 0.0f);
    EXPECT_EQ(display(1), "-oo");
    set(1, 0.5f);
    EXPECT_EQ(get(1), 0.5f);
    EXPECT_EQ(display(1), "-12.0412");
}

TEST_F(ParametersTest, PeakBandwidthAndReadOut) {
    FilterProbe probe;
    probe.setParameter(2, 1.0f);
    EXPECT_EQ(probe.bandwidthValue(), 0.1f);
    probe.setParameter(2, 0.0f);
    EXPECT_EQ(probe.bandwidthValue(), 1.1f);
    probe.setParameter(2, 0.5f);
    EXPECT_EQ(probe.bandwidthValue(), 0.6f);
    set(2, 1.0f);
    EXPECT_EQ(display(2), "Hi");
    set(2, 0.0f);
    EXPECT_EQ(display(2), "Lo");
    set(2, 0.5f);
    EXPECT_EQ(display(2), "Med");
    // The read-out changes where the bandwidth crosses 0.33 and 0.66.
    set(2, 0.78f);
    EXPECT_EQ(display(2), "Hi");
    set(2, 0.76f);
    EXPECT_EQ(display(2), "Med");
    set(2, 0.45f);
    EXPECT_EQ(display(2), "Med");
    set(2, 0.43f);
    EXPECT_EQ(display(2), "Lo");
}

TEST_F(ParametersTest, ControllerStepsUpAtPressAndSwallowsTheRelease) {
    for (int i = 0; i < 126; ++i) {
        set(3, 1.0f);
        set(3, 0.0f);
    }
    EXPECT_EQ(controller(), 127);
    EXPECT_EQ(display(3), "127");
    EXPECT_EQ(get(3), 1.0f);
    set(3, 1.0f);
    EXPECT_EQ(controller(), 0);
    set(3, 0.0f);
    EXPECT_EQ(controller(), 0);
    set(3, 0.0f);
    EXPECT_EQ(controller(), 127);
}

TEST_F(ParametersTest, ControllerStepsDownAtTheRelease) {
    set(3, -1.0f);
    EXPECT_EQ(controller(), 1);
    set(3, 0.0f);
    EXPECT_EQ(controller(), 0);
    set(3, -1.0f);
    set(3, 0.0f);
    EXPECT_EQ(controller(), 127);
}

TEST_F(ParametersTest, OtherControllerValuesOnlyEndTheSwallow) {
    for (float value : {0.5f, 0.04f, -0.5f, 2.0f, std::numeric_limits<float>::quiet_NaN()}) {
        set(3, 1.0f);
        const VstInt32 stepped = controller();
        set(3, value);
        EXPECT_EQ(controller(), stepped) << value;
        // The swallow is over: the next release steps down.
        set(3, 0.0f);
        EXPECT_EQ(controller(), stepped - 1) << value;
    }
}

TEST_F(ParametersTest, ProgramNameIsCutTo31Characters) {
    EXPECT_EQ(effect.text(effGetProgramName), "Default");
    char name[] = "Funk";
    effect.dispatch(effSetProgramName, 0, 0, name);
    EXPECT_EQ(effect.text(effGetProgramName), "Funk");
    char longName[] = "A program name that is far longer than thirty-one";
    effect.dispatch(effSetProgramName, 0, 0, longName);
    EXPECT_EQ(effect.text(effGetProgramName), std::string(longName, 31));
}

TEST_F(ParametersTest, ParametersSurviveASuspendResumeCycle) {
    set(0, 0.2f);
    set(1, 0.4f);
    set(2, 0.9f);
    effect.dispatch(effMainsChanged, 0, 0);
    effect.dispatch(effMainsChanged, 0, 1);
    EXPECT_EQ(get(0), 0.2f);
    EXPECT_EQ(get(1), 0.4f);
    EXPECT_EQ(get(2), static_cast<float>(1.1 - static_cast<float>((1.0 - 0.9f) + 0.10000000149011612)));
}

}  // namespace
