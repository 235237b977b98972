// Whatever a host sends, the effect stays stable, finite and alive: odd
// sample rates, values outside 0..1 or not numbers, non-finite samples, and
// null pointers where a host should have passed memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "framework/EditorBase.h"
#include "tests/native/EventList.h"
#include "tests/native/FilterProbe.h"
#include "tests/native/RecordingHost.h"

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
const float kNaN = std::numeric_limits<float>::quiet_NaN();

// The poles of y = 2 (gamma y1 - beta y2) lie inside the unit circle exactly
// when 2 beta < 1 and |2 gamma| < 1 + 2 beta.
bool stable(const FilterProbe& f) {
    const double b = 2.0 * f.betaValue();
    const double g = 2.0 * f.gammaValue();
    return b < 1.0 && std::fabs(g) < 1.0 + b;
}

// Loud noise, then silence: the output must stay finite and bounded and die
// away.
void expectWellBehaved(FilterProbe& filter, const char* where) {
    StereoBuffer loud = noise(20000, 1);
    const StereoBuffer out = processed(filter, loud);
    for (size_t i = 0; i < out.left.size(); ++i) {
        ASSERT_TRUE(std::isfinite(out.left[i]) && std::fabs(out.left[i]) < 1000.0f) << where << " sample " << i;
        ASSERT_TRUE(std::isfinite(out.right[i]) && std::fabs(out.right[i]) < 1000.0f) << where << " sample " << i;
    }
    StereoBuffer silence(400000);
    const StereoBuffer tail = processed(filter, silence);
    EXPECT_LT(std::fabs(tail.left.back()), 1e-6f) << where;
}

class Robustness : public ::testing::Test {
protected:
    RecordingHost host;
};

TEST_F(Robustness, UnusableSampleRatesAreIgnored) {
    FilterProbe filter;
    const float alpha = filter.alphaValue();
    for (float rate : {0.0f, -1.0f, -44100.0f, kNaN, kInf, -kInf}) {
        AEffect* record = filter.getAeffect();
        record->dispatcher(record, effSetSampleRate, 0, 0, nullptr, rate);
        record->dispatcher(record, effSetBlockSizeAndSampleRate, 0, 64, nullptr, rate);
        EXPECT_EQ(filter.getSampleRate(), 44100.0f) << rate;
        EXPECT_EQ(filter.filterRate(), 44100.0) << rate;
        EXPECT_EQ(filter.alphaValue(), alpha) << rate;
    }
    EXPECT_EQ(filter.getBlockSize(), 64);
}

TEST_F(Robustness, EveryRateAndSettingGivesAStableFilter) {
    const float rates[] = {1e-6f,    1.0f,     100.0f,    1000.0f, 7599.0f, 7600.0f, 8000.0f,
                           11025.0f, 44100.0f, 384000.0f, 1e6f,    1e7f,    1e9f,    FLT_MAX};
    for (float rate : rates) {
        for (float frequency : {0.0f, 0.5f, 1.0f}) {
            for (float peak : {0.0f, 0.5f, 1.0f}) {
                FilterProbe filter;
                filter.setSampleRate(rate);
                filter.setParameter(0, frequency);
                filter.setParameter(2, peak);
                ASSERT_TRUE(stable(filter)) << rate << " " << frequency << " " << peak;
            }
        }
        FilterProbe loudest;
        loudest.setSampleRate(rate);
        loudest.setParameter(0, 1.0f);
        loudest.setParameter(2, 1.0f);
        expectWellBehaved(loudest, "highest corner, sharpest peak");
    }
}

TEST_F(Robustness, BelowTwiceTheTopCornerTheCornerStaysBelowHalfTheRate) {
    // rate -> the corner the top frequency setting must give there: clamped
    // to 0.49 x 6000 = 2940 Hz (theta = 0.98 pi) where the rate leaves no
    // room for 3800 Hz, untouched where it does.
    const double cases[][2] = {{6000.0, 2940.0}, {8000.0, 3800.0}};
    for (const auto& c : cases) {
        FilterProbe filter;
        filter.setSampleRate(static_cast<float>(c[0]));
        filter.setParameter(0, 1.0f);
        const float theta = static_cast<float>(c[1] * 6.2831854820251465 / c[0]);
        EXPECT_EQ(filter.gammaValue(), static_cast<float>(static_cast<float>(std::cos(static_cast<double>(theta))) *
                                                          (0.5 + static_cast<double>(filter.betaValue()))))
            << "at " << c[0] << " Hz";
    }
}

TEST_F(Robustness, ParameterValuesAreClampedAndNotANumberIsIgnored) {
    FilterProbe filter;
    const float cases[][2] = {{5.0f, 1.0f}, {-3.0f, 0.0f}, {kInf, 1.0f}, {-kInf, 0.0f}, {1.0000001f, 1.0f}};
    for (VstInt32 index : {0, 1, 2}) {
        for (const auto& c : cases) {
            filter.setParameter(index, c[0]);
            EXPECT_NEAR(filter.getParameter(index), c[1], 1e-7) << index << " " << c[0];
            ASSERT_TRUE(stable(filter));
        }
        filter.setParameter(index, 0.25f);
        const float kept = filter.getParameter(index);
        filter.setParameter(index, kNaN);
        EXPECT_EQ(filter.getParameter(index), kept) << index;
    }
    FilterProbe extreme;
    extreme.setParameter(0, 1e30f);
    extreme.setParameter(2, -1e30f);
    extreme.setParameter(1, 1e30f);
    expectWellBehaved(extreme, "extreme values");
}

// One channel by the per-sample rule: a result that is not finite gives 0
// and restarts the channel from silence.
struct GuardedChannel {
    float x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    int restarts = 0;

    float step(float x, const FilterProbe& f) {
        const double a = f.alphaValue(), b = f.betaValue(), g = f.gammaValue();
        const float y = static_cast<float>(2.0 * (a * (x + 2.0 * x1 + x2) + g * y1 - b * y2));
        const bool bad = !std::isfinite(y);
        restarts += bad;
        *this = bad ? GuardedChannel{0, 0, 0, 0, restarts} : GuardedChannel{x, x1, y, y1, restarts};
        return (bad ? 0.0f : y) * f.outputGainValue();
    }
};

// How outputs lie against inputs.
enum Layout { kSeparate, kInPlace, kCrossed, kThreeFramesBehind };

// Non-finite or absurd samples anywhere in a block, on one channel or both,
// alone or in runs, in blocks of any length, with outputs apart from the
// inputs or over them: every output is what the per-sample rule gives (0,
// then a restart from silence), and the other channel runs on unharmed.
TEST_F(Robustness, NonFiniteSamplesRestartOnlyTheirChannel) {
    const struct {
        const char* what;
        float value;
        int channels;  // 1 left, 2 right, 3 both
        size_t first, count;
        VstInt32 block;
        Layout layout;
    } cases[] = {
        {"NaN at a block's first frame", kNaN, 1, 512, 1, 256, kSeparate},
        {"inf at a block's last frame", kInf, 2, 255, 1, 256, kSeparate},
        {"-inf on both channels at once", -kInf, 3, 300, 1, 256, kInPlace},
        {"a run of NaN across a block boundary", kNaN, 1, 250, 10, 256, kInPlace},
        {"NaN in blocks of one frame", kNaN, 2, 7, 2, 1, kSeparate},
        {"the largest float until the result overflows", FLT_MAX, 1, 100, 40, 333, kSeparate},
        {"the largest negative float, in place", -FLT_MAX, 2, 1500, 40, 700, kInPlace},
        {"NaN, each output over the other input", kNaN, 1, 1200, 1, 2100, kCrossed},
        {"inf, outputs three frames behind", kInf, 2, 900, 3, 1000, kThreeFramesBehind},
    };
    for (const auto& c : cases) {
        FilterProbe filter;
        filter.setParameter(2, 1.0f);
        StereoBuffer input = noise(2100, 4);
        for (size_t i = c.first; i < c.first + c.count; ++i) {
            input.left[i] = (c.channels & 1) ? c.value : input.left[i];
            input.right[i] = (c.channels & 2) ? c.value : input.right[i];
        }
        StereoBuffer memory(input.left.size() + 3);  // the inputs from frame 3 on
        std::copy(input.left.begin(), input.left.end(), memory.left.begin() + 3);
        std::copy(input.right.begin(), input.right.end(), memory.right.begin() + 3);
        StereoBuffer separate(input.left.size());
        float* in[2] = {memory.left.data() + 3, memory.right.data() + 3};
        float* const outs[][2] = {{separate.left.data(), separate.right.data()},
                                  {in[0], in[1]},
                                  {in[1], in[0]},
                                  {memory.left.data(), memory.right.data()}};
        float* const* out = outs[c.layout];
        for (VstInt32 from = 0; from < input.frames(); from += c.block) {
            float* blockIn[2] = {in[0] + from, in[1] + from};
            float* blockOut[2] = {out[0] + from, out[1] + from};
            filter.processReplacing(blockIn, blockOut, std::min(c.block, input.frames() - from));
        }
        GuardedChannel left, right;
        for (size_t i = 0; i < input.left.size(); ++i) {
            ASSERT_EQ(out[0][i], left.step(input.left[i], filter)) << c.what << ", frame " << i;
            ASSERT_EQ(out[1][i], right.step(input.right[i], filter)) << c.what << ", frame " << i;
        }
        EXPECT_EQ((left.restarts > 0) + 2 * (right.restarts > 0), c.channels) << c.what;
        EXPECT_EQ(filter.memory(0, 2), left.y1) << c.what;
        EXPECT_EQ(filter.memory(1, 2), right.y1) << c.what;
    }
}

TEST_F(Robustness, NullBuffersAreIgnored) {
    FilterProbe filter;
    float samples[8] = {};
    float* half[2] = {samples, nullptr};
    float* full[2] = {samples, samples};
    filter.processReplacing(nullptr, full, 8);
    filter.processReplacing(full, nullptr, 8);
    filter.processReplacing(half, full, 8);
    filter.processReplacing(full, half, 8);
    for (int which = 0; which < 4; ++which) {
        EXPECT_EQ(filter.memory(0, which), 0.0f);
    }
}

TEST_F(Robustness, NullPointersFromTheHostAnswerZero) {
    LoadedEffect effect(host);
    for (VstInt32 opcode :
         {effSetProgramName,         effGetProgramName,     effGetParamLabel,          effGetParamDisplay,
          effGetParamName,           effGetChunk,           effProcessEvents,          effString2Parameter,
          effGetProgramNameIndexed,  effGetInputProperties, effGetOutputProperties,    effOfflineNotify,
          effOfflinePrepare,         effOfflineRun,         effProcessVarIo,           effGetEffectName,
          effGetErrorText,           effGetVendorString,    effGetProductString,       effCanDo,
          effGetParameterProperties, effGetMidiProgramName, effGetMidiProgramCategory, effGetMidiKeyName,
          effGetSpeakerArrangement,  effShellGetNextPlugin, effBeginLoadBank,          effBeginLoadProgram,
          effSetSpeakerArrangement}) {
        EXPECT_EQ(effect.dispatch(opcode, 0, 0, nullptr), 0) << opcode;
    }
    EXPECT_EQ(effect.text(effGetProgramName), "Default");
}

TEST_F(Robustness, GetRectWithNullPlaceAnswersZeroEvenWithAnEditor) {
    LoadedEffect effect(host);
    effect.filter().setEditor(new AEffEditor(&effect.filter()));
    EXPECT_EQ(effect.dispatch(effEditGetRect, 0, 0, nullptr), 0);
}

TEST_F(Robustness, EventListsWithNullEntriesOrNegativeCounts) {
    LoadedEffect effect(host);
    EventList list;
    list.controlChange(0xB0, 1, 10).controlChange(0xB0, 1, 20).controlChange(0xB0, 1, 30);
    VstEvents* events = list.build();
    events->events[1] = nullptr;
    EXPECT_EQ(effect.dispatch(effProcessEvents, 0, 0, events), 1);
    EXPECT_EQ(effect.filter().getParameter(0), static_cast<float>(29 / 127.0));
    events->numEvents = -5;
    events->events[0] = nullptr;
    EXPECT_EQ(effect.dispatch(effProcessEvents, 0, 0, events), 1);
    EXPECT_EQ(effect.filter().processEvents(nullptr), 0);
}

TEST_F(Robustness, KeyModifiersThatAreNotNumbersCarryNoBits) {
    class KeyEditor : public AEffEditor {
    public:
        using AEffEditor::AEffEditor;
        bool onKeyDown(VstKeyCode& key) override {
            modifier = key.modifier;
            return true;
        }
        int modifier = -1;
    };
    LoadedEffect effect(host);
    auto* editor = new KeyEditor(&effect.filter());
    effect.filter().setEditor(editor);
    for (float opt : {kNaN, kInf, -kInf, 1e20f}) {
        editor->modifier = -1;
        EXPECT_EQ(effect.dispatch(effEditKeyDown, 'x', 0, nullptr, opt), 1);
        EXPECT_EQ(editor->modifier, 0) << opt;
    }
}

TEST_F(Robustness, VuReadingsThatAreNotNumbersAnswerZero) {
    class MeteredEffect : public AudioEffect {
    public:
        MeteredEffect() : AudioEffect(nullptr, 1, 1) {}
        void processReplacing(float**, float**, VstInt32) override {}
        float getVu() override { return reading; }
        float reading = 0.0f;
    };
    MeteredEffect effect;
    effect.reading = 0.5f;
    EXPECT_EQ(effect.dispatcher(effGetVu, 0, 0, nullptr, 0.0f), 16383);
    for (float reading : {kNaN, kInf, 1e30f}) {
        effect.reading = reading;
        EXPECT_EQ(effect.dispatcher(effGetVu, 0, 0, nullptr, 0.0f), 0) << reading;
    }
}

TEST_F(Robustness, ProgramNamesFromTheHostAreAlwaysTerminated) {
    LoadedEffect effect(host);
    std::vector<char> huge(5000, 'z');
    huge.back() = 0;
    effect.dispatch(effSetProgramName, 0, 0, huge.data());
    EXPECT_EQ(effect.text(effGetProgramName), std::string(kVstMaxProgNameLen - 1, 'z'));
}

}  // namespace
