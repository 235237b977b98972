// Quavix through the CLAP adapter, linked with the headless effect as the
// CLAP binary links it, beside the same effect driven as a VST host drives
// it: the sound to the bit, events at their own frame, parameters and their
// texts, and saved states, sound and malformed.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "framework/Entry.h"
#include "quavix/Parameters.h"
#include "tests/clap/support/ClapTestHost.h"

extern "C" const clap_plugin_entry_t clap_entry;

namespace {

using claptest::InputEvents;

constexpr double kRate = 48000.0;
constexpr uint32_t kLongestBlock = 1024;
// Noise, then silence long enough for the tails to die away in it.
constexpr uint32_t kNoiseFrames = 6000;
constexpr uint32_t kTotalFrames = 12000;
const uint32_t kBlockSizes[] = {64, 1, 511, 128, 1000, 7, 256, 1024, 333};

VstIntPtr VSTCALLBACK vstHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? kVstVersion : opcode == audioMasterGetSampleRate ? 48000 : 0;
}

// The effect as a VST host drives it.
class VstEffect {
public:
    VstEffect() : effect(VSTPluginMain(&vstHost)) {
        dispatch(effOpen);
        dispatch(effSetSampleRate, 0, static_cast<float>(kRate));
        dispatch(effSetBlockSize, kLongestBlock);
        dispatch(effMainsChanged, 1);
    }
    ~VstEffect() {
        dispatch(effMainsChanged, 0);
        dispatch(effClose);
    }
    VstIntPtr dispatch(VstInt32 opcode, VstIntPtr value = 0, float opt = 0.0f, VstInt32 index = 0,
                       void* ptr = nullptr) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }
    void controlChange(uint8_t number, uint8_t value) {
        VstMidiEvent midi{};
        midi.type = kVstMidiType;
        midi.byteSize = sizeof(VstMidiEvent);
        midi.midiData[0] = static_cast<char>(0xB0);
        midi.midiData[1] = static_cast<char>(number);
        midi.midiData[2] = static_cast<char>(value);
        struct {
            VstInt32 numEvents;
            VstIntPtr reserved;
            VstEvent* events[2];
        } list{1, 0, {reinterpret_cast<VstEvent*>(&midi), nullptr}};
        dispatch(effProcessEvents, 0, 0.0f, 0, &list);
    }
    void process(float** in, float** out, int32_t frames) { effect->processReplacing(effect, in, out, frames); }
    std::string text(VstInt32 opcode, VstInt32 index) {
        char text[64] = "";
        dispatch(opcode, 0, 0.0f, index, text);
        return text;
    }
    AEffect* effect;
};

struct Stereo {
    explicit Stereo(uint32_t frames) : left(frames, 0.0f), right(frames, 0.0f) {}
    float* channel(int c) { return c == 0 ? left.data() : right.data(); }
    std::vector<float> left, right;
};

// One stimulus for every comparison, computed once.
const Stereo& stimulus() {
    static const Stereo noise = [] {
        Stereo made(kTotalFrames);
        std::mt19937 random(7);
        std::uniform_real_distribution<float> sample(-0.5f, 0.5f);
        for (uint32_t n = 0; n < kNoiseFrames; ++n) {
            made.left[n] = sample(random);
            made.right[n] = sample(random);
        }
        made.left[kNoiseFrames + 100] = 1.0f;  // an impulse into the tail
        return made;
    }();
    return noise;
}

double plain(int32_t index, float normalized) { return quavix::unitValue(index, normalized); }

// Renders the stimulus in blocks of the sizes above; before each block, the
// VST host sets what first(block) asks and the CLAP host sends it at frame 0.
using BlockEvents = std::function<void(int block, VstEffect*, InputEvents*)>;

Stereo renderVst(const BlockEvents& events) {
    VstEffect vst;
    Stereo out(kTotalFrames);
    Stereo in = stimulus();
    int block = 0;
    for (uint32_t done = 0; done < kTotalFrames; ++block) {
        const uint32_t frames = std::min(kBlockSizes[block % 9], kTotalFrames - done);
        events(block, &vst, nullptr);
        float* ins[2] = {in.left.data() + done, in.right.data() + done};
        float* outs[2] = {out.left.data() + done, out.right.data() + done};
        vst.process(ins, outs, static_cast<int32_t>(frames));
        done += frames;
    }
    return out;
}

Stereo renderClap(const BlockEvents& events) {
    claptest::TestHost host;
    claptest::Instance clap(clap_entry, host);
    EXPECT_TRUE(clap.activate(kRate, kLongestBlock));
    Stereo out(kTotalFrames);
    Stereo in = stimulus();
    int block = 0;
    for (uint32_t done = 0; done < kTotalFrames; ++block) {
        const uint32_t frames = std::min(kBlockSizes[block % 9], kTotalFrames - done);
        InputEvents list;
        events(block, nullptr, &list);
        float* ins[2] = {in.left.data() + done, in.right.data() + done};
        float* outs[2] = {out.left.data() + done, out.right.data() + done};
        clap.process(ins, outs, frames, list);
        done += frames;
    }
    return out;
}

void expectSameBits(const Stereo& a, const Stereo& b) {
    ASSERT_EQ(a.left.size(), b.left.size());
    for (size_t n = 0; n < a.left.size(); ++n) {
        if (std::memcmp(&a.left[n], &b.left[n], 4) != 0 || std::memcmp(&a.right[n], &b.right[n], 4) != 0) {
            FAIL() << "first difference at frame " << n << ": " << a.left[n] << " vs " << b.left[n];
        }
    }
}

struct Setting {
    float values[quavix::kNumParams];
};

class BitIdentity : public ::testing::TestWithParam<Setting> {};

TEST_P(BitIdentity, EventsAtFrameZeroSoundAsTheVstBuild) {
    const Setting setting = GetParam();
    const BlockEvents set = [&](int block, VstEffect* vst, InputEvents* clap) {
        for (int32_t i = 0; i < quavix::kNumParams && block == 0; ++i) {
            if (vst) {
                vst->effect->setParameter(vst->effect, i, setting.values[i]);
            } else {
                clap->paramValue(0, static_cast<clap_id>(i), plain(i, setting.values[i]));
            }
        }
    };
    expectSameBits(renderVst(set), renderClap(set));
}

INSTANTIATE_TEST_SUITE_P(FourSettings, BitIdentity,
                         ::testing::Values(Setting{{0.0f, 1.0f, 1.0f, 1 / 127.0f}}, Setting{{1.0f, 0.5f, 0.0f, 0.0f}},
                                           Setting{{0.37f, 0.8f, 0.6f, 64 / 127.0f}},
                                           Setting{{0.9f, 0.25f, 0.95f, 1.0f}}));

TEST(BitIdentitySweep, AControllerSweepSoundsAsTheVstBuild) {
    // Controller 1 moves the corner up and back down, a step every block.
    const BlockEvents sweep = [](int block, VstEffect* vst, InputEvents* clap) {
        const uint8_t value = static_cast<uint8_t>(1 + std::abs(block % 252 - 126));
        if (vst) {
            vst->controlChange(1, value);
        } else {
            clap->midi(0, 0xB0, 1, value);
        }
    };
    expectSameBits(renderVst(sweep), renderClap(sweep));
}

// A change at frame k: the output before k is the unchanged filter's, and
// from k on it is what a VST host gets by cutting the block at k.
struct Step {
    const char* what;
    bool midi;
    uint32_t frame;
};

class SampleAccuracy : public ::testing::TestWithParam<Step> {};

TEST_P(SampleAccuracy, AChangeAtFrameKActsFromKOn) {
    const Step step = GetParam();
    constexpr uint32_t kBlock = 256;
    const float oldCorner = 0.2f;
    const uint8_t newValue = 100;  // the controller's value, and the corner's too
    const float newCorner = static_cast<float>((newValue - 1) / 127.0);
    Stereo in = stimulus();
    float* ins[2] = {in.left.data(), in.right.data()};
    auto render = [&](uint32_t cut, bool change) {
        VstEffect vst;
        vst.effect->setParameter(vst.effect, quavix::kFrequencyParam, oldCorner);
        Stereo out(kBlock);
        float* head[2] = {out.left.data(), out.right.data()};
        vst.process(ins, head, static_cast<int32_t>(cut));
        if (change) {
            vst.effect->setParameter(vst.effect, quavix::kFrequencyParam, newCorner);
        }
        float* tailIn[2] = {ins[0] + cut, ins[1] + cut};
        float* tailOut[2] = {out.left.data() + cut, out.right.data() + cut};
        vst.process(tailIn, tailOut, static_cast<int32_t>(kBlock - cut));
        return out;
    };
    const Stereo unchanged = render(kBlock, false);
    const Stereo cutAtK = render(step.frame, true);

    claptest::TestHost host;
    claptest::Instance clap(clap_entry, host);
    ASSERT_TRUE(clap.activate(kRate, kLongestBlock));
    Stereo out(kBlock);
    float* outs[2] = {out.left.data(), out.right.data()};
    InputEvents change;
    change.paramValue(0, quavix::kFrequencyParam, plain(0, oldCorner));
    if (step.midi) {
        change.midi(step.frame, 0xB5, 1, newValue);
    } else {
        change.paramValue(step.frame, quavix::kFrequencyParam, plain(0, newCorner));
    }
    clap.process(ins, outs, kBlock, change);

    expectSameBits(out, cutAtK);
    for (uint32_t n = 0; n < step.frame; ++n) {
        ASSERT_EQ(out.left[n], unchanged.left[n]) << "changed before frame " << step.frame << ", at " << n;
    }
    EXPECT_NE(out.left[step.frame], unchanged.left[step.frame]) << "unchanged at frame " << step.frame;
}

INSTANTIATE_TEST_SUITE_P(Steps, SampleAccuracy,
                         ::testing::Values(Step{"value at 1", false, 1}, Step{"value at 100", false, 100},
                                           Step{"value at the last frame", false, 255},
                                           Step{"controller at 1", true, 1}, Step{"controller at 37", true, 37},
                                           Step{"controller at the last frame", true, 255}),
                         [](const ::testing::TestParamInfo<Step>& info) {
                             std::string name = info.param.what;
                             for (char& c : name) {
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             }
                             return name;
                         });

}  // namespace
