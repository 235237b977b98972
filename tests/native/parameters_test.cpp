// The four parameters and the program as host and editor see them: values,
// names, labels, read-outs, the controller stepping and the program name.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

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
    char buffer[64];
    for (VstInt32 opcode : {effGetParamName, effGetParamLabel, effGetParamDisplay}) {
        EXPECT_EQ(effect.dispatch(opcode, 0, 0, buffer), 0) << opcode;
    }
}

TEST_F(ParametersTest, UnknownIndicesChangeNothingAndReadEmpty) {
    for (VstInt32 index : {4, -1, 1000}) {
        set(index, 0.9f);
        EXPECT_EQ(get(index), 0.0f);
        for (VstInt32 opcode : {effGetParamName, effGetParamLabel, effGetParamDisplay}) {
            char text[64];
            std::memset(text, 'x', sizeof(text) - 1);
            text[63] = 0;
            effect.dispatch(opcode, index, 0, text);
            EXPECT_STREQ(text, "") << "opcode " << opcode << ", index " << index;
        }
    }
    EXPECT_EQ(get(0), 0.5f);
    EXPECT_EQ(get(1), 1.0f);
    EXPECT_EQ(get(2), 0.6f);
    EXPECT_EQ(controller(), 1);
}

TEST_F(ParametersTest, FrequencyAndGainReadBackExactlyAsSet) {
    for (VstInt32 index : {0, 1}) {
        for (float value : {1.0f, 0.0f, 0.123f, 0.5f}) {
            set(index, value);
            EXPECT_EQ(get(index), value) << "parameter " << index;
        }
    }
}

TEST_F(ParametersTest, ReadOutsOfFrequencyGainAndPeak) {
    struct Case {
        VstInt32 index;
        float value;
        const char* text;
    };
    const Case cases[] = {
        {0, 1.0f, "3800.000000"}, {0, 0.0f, "800.000000"},
        {1, 1.0f, "-6.02060"},    {1, 0.0f, "-oo"},        {1, 0.5f, "-12.0412"},
        {2, 1.0f, "Hi"},          {2, 0.0f, "Lo"},         {2, 0.5f, "Med"},
        // The peak read-out changes where the bandwidth crosses 0.33 and 0.66.
        {2, 0.78f, "Hi"},         {2, 0.76f, "Med"},       {2, 0.45f, "Med"},  {2, 0.43f, "Lo"},
    };
    for (const Case& c : cases) {
        set(c.index, c.value);
        EXPECT_EQ(display(c.index), c.text) << "parameter " << c.index << " at " << c.value;
    }
}

TEST_F(ParametersTest, GainReachesTheFilterHalvedAndPeakAsBandwidth) {
    FilterProbe probe;
    const float gains[][2] = {{1.0f, 0.5f}, {0.3f, static_cast<float>(0.3f * 0.5)}};
    for (const auto& g : gains) {
        probe.setParameter(1, g[0]);
        EXPECT_EQ(probe.outputGainValue(), g[1]) << g[0];
        EXPECT_EQ(probe.getParameter(1), g[0]);
    }
    const float peaks[][2] = {{1.0f, 0.1f}, {0.0f, 1.1f}, {0.5f, 0.6f}};
    for (const auto& p : peaks) {
        probe.setParameter(2, p[0]);
        EXPECT_EQ(probe.bandwidthValue(), p[1]) << p[0];
    }
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
