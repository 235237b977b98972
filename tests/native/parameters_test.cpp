// The four parameters and the program as host and editor see them: values,
// names, labels, read-outs, the controller number and the program name.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "tests/native/FilterProbe.h"
#include "tests/native/RecordingHost.h"

namespace {

std::string readOut(Filter& filter, VstInt32 index) {
    char text[64] = "";
    filter.getParameterDisplay(index, text);
    return text;
}

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
        {0, 1.0f, "3800.000000"},
        {0, 0.0f, "800.000000"},
        {1, 1.0f, "-6.02060"},
        {1, 0.0f, "-oo"},
        {1, 0.5f, "-12.0412"},
        {2, 1.0f, "Hi"},
        {2, 0.0f, "Lo"},
        {2, 0.5f, "Med"},
        // The peak read-out changes where the bandwidth crosses 0.33 and 0.66.
        {2, 0.78f, "Hi"},
        {2, 0.76f, "Med"},
        {2, 0.45f, "Med"},
        {2, 0.43f, "Lo"},
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

// The controller number is a value: round(v * 127) within 0..127, so that
// whatever a host saved, echoed or restores sets exactly that number.
TEST_F(ParametersTest, ControllerNumberIsSetFromItsValue) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* what;
        std::vector<float> values;  // set one after another on a new effect
        VstInt32 number;
    };
    const Case cases[] = {
        {"restoring a saved 2/127", {2 / 127.0f}, 2},
        {"restoring 64/127", {64 / 127.0f}, 64},
        {"the same value again", {5 / 127.0f, 5 / 127.0f, 5 / 127.0f}, 5},
        {"an old session's 1.0 is controller 127", {1.0f, 1.0f}, 127},
        {"an old session's 0.0 is controller 0", {0.0f, 0.0f}, 0},
        {"a release after a step does nothing special", {1.0f, 0.0f}, 0},
        {"between two numbers, the nearest", {2.4f / 127.0f}, 2},
        {"nearer the next number", {2.6f / 127.0f}, 3},
        {"below 0 is 0", {-0.5f}, 0},
        {"the rocker's old -1 is 0", {-1.0f}, 0},
        {"above 1 is 127", {2.0f}, 127},
        {"not a number is ignored", {9 / 127.0f, nan}, 9},
        {"not a number on a new effect", {nan}, 1},
        {"infinity is 127", {std::numeric_limits<float>::infinity()}, 127},
    };
    for (const Case& c : cases) {
        RecordingHost fresh;
        LoadedEffect instance(fresh);
        for (float value : c.values)
            instance.record->setParameter(instance.record, 3, value);
        EXPECT_EQ(instance.text(effGetParamDisplay, 3), std::to_string(c.number)) << c.what;
        EXPECT_EQ(instance.filter().getParameter(3), static_cast<float>(c.number / 127.0)) << c.what;
    }
}

TEST_F(ParametersTest, EveryControllerNumberSurvivesItsOwnReadBack) {
    for (VstInt32 number = 0; number <= 127; ++number) {
        set(3, static_cast<float>(number / 127.0));
        const float readBack = get(3);
        set(3, readBack);
        EXPECT_EQ(controller(), number);
        EXPECT_EQ(get(3), readBack) << number;
    }
}

// What a host saves is what it reads back; set into a new effect in either
// order, those values give the same read-backs, texts and sound.
TEST_F(ParametersTest, ValuesReadBackRebuildTheWholeState) {
    const float settings[][4] = {{0.2f, 0.7f, 0.9f, 2 / 127.0f},
                                 {1.0f, 0.0f, 0.0f, 1.0f},
                                 {0.0f, 1.0f, 1.0f, 0.0f},
                                 {0.61f, 0.33f, 0.45f, 64 / 127.0f}};
    for (const auto& setting : settings) {
        FilterProbe original;
        for (VstInt32 i = 0; i < 4; ++i) {
            original.setParameter(i, setting[i]);
            original.setParameter(i, setting[i]);
        }
        StereoBuffer input = noise(1024, 7);
        const StereoBuffer heard = processed(original, input);
        for (bool reversed : {false, true}) {
            FilterProbe restored;
            for (VstInt32 n = 0; n < 4; ++n) {
                const VstInt32 i = reversed ? 3 - n : n;
                restored.setParameter(i, original.getParameter(i));
            }
            for (VstInt32 i = 0; i < 4; ++i) {
                EXPECT_EQ(restored.getParameter(i), original.getParameter(i)) << i << (reversed ? " reversed" : "");
                EXPECT_EQ(readOut(restored, i), readOut(original, i)) << i;
            }
            const StereoBuffer output = processed(restored, input);
            EXPECT_EQ(output.left, heard.left) << setting[0];
            EXPECT_EQ(output.right, heard.right) << setting[0];
        }
    }
}

// A host gives the name 24 bytes, the terminator included.
TEST_F(ParametersTest, ProgramNameIsCutTo23Characters) {
    EXPECT_EQ(effect.text(effGetProgramName), "Default");
    char name[] = "Funk";
    effect.dispatch(effSetProgramName, 0, 0, name);
    EXPECT_EQ(effect.text(effGetProgramName), "Funk");
    char longName[] = "A program name that is far longer than twenty-three";
    effect.dispatch(effSetProgramName, 0, 0, longName);
    EXPECT_EQ(effect.text(effGetProgramName), std::string(longName, 23));
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
