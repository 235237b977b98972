// Quavix through the CLAP adapter, linked with the headless effect as
// quavix.clap links it, beside the same effect driven as a VST host drives
// it: the sound to the bit when every event is at frame 0, and a change at
// frame k acting from k on.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "quavix/Parameters.h"
#include "tests/clap/support/ClapTestHost.h"
#include "tests/native/EventList.h"
#include "tests/native/FilterProbe.h"

extern "C" const clap_plugin_entry_t clap_entry;

namespace {

using claptest::InputEvents;
using BlockEvents = std::function<void(int block, InputEvents& events)>;

constexpr double kRate = 44100.0;  // what the recording host answers too
constexpr uint32_t kFrames = 12000;
const uint32_t kBlockSizes[] = {64, 1, 511, 128, 1000, 7, 256, 1024, 333};

// Noise, then silence for the tails to die away in, an impulse among them.
StereoBuffer stimulus() {
    StereoBuffer made = noise(kFrames, 7);
    std::fill(made.left.begin() + kFrames / 2, made.left.end(), 0.0f);
    std::fill(made.right.begin() + kFrames / 2, made.right.end(), 0.0f);
    made.left[kFrames / 2 + 100] = 1.0f;
    return made;
}

float normalized(clap_id id, double plain) {
    return static_cast<float>((plain - quavix::kParameters[id].minimum) /
                              (quavix::kParameters[id].maximum - quavix::kParameters[id].minimum));
}

// What a VST host does with the same events before a block: sets the values,
// then hands over the MIDI list.
void handToVst(LoadedEffect& vst, const InputEvents& events) {
    EventList midi;
    for (const auto& stored : events.events) {
        const auto& header = *reinterpret_cast<const clap_event_header_t*>(stored.data());
        if (header.type == CLAP_EVENT_PARAM_VALUE) {
            const auto& change = reinterpret_cast<const clap_event_param_value_t&>(header);
            vst.record->setParameter(vst.record, change.param_id, normalized(change.param_id, change.value));
        } else {
            const auto& bytes = reinterpret_cast<const clap_event_midi_t&>(header).data;
            midi.controlChange(bytes[0], bytes[1], bytes[2]);
        }
    }
    vst.dispatch(effProcessEvents, 0, 0, midi.build());
}

// The stimulus in blocks of the sizes above, each with its events, through
// the VST record (clap false) or the CLAP adapter.
StereoBuffer render(bool clap, const BlockEvents& eventsOf) {
    RecordingHost recorder;
    LoadedEffect vst(recorder);
    claptest::TestHost host;
    claptest::Instance instance(clap_entry, host);
    vst.dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
    vst.dispatch(effMainsChanged, 0, 1);
    EXPECT_TRUE(instance.activate(kRate, 1024));
    StereoBuffer in = stimulus(), out(kFrames);
    for (uint32_t done = 0, block = 0; done < kFrames; ++block) {
        const uint32_t frames = std::min(kBlockSizes[block % 9], kFrames - done);
        InputEvents events;
        eventsOf(static_cast<int>(block), events);
        float* ins[2] = {in.left.data() + done, in.right.data() + done};
        float* outs[2] = {out.left.data() + done, out.right.data() + done};
        if (clap) {
            instance.process(ins, outs, frames, events);
        } else {
            handToVst(vst, events);
            vst.record->processReplacing(vst.record, ins, outs, static_cast<VstInt32>(frames));
        }
        done += frames;
    }
    return out;
}

void expectSameBits(const StereoBuffer& a, const StereoBuffer& b) {
    for (size_t n = 0; n < a.left.size(); ++n) {
        ASSERT_TRUE(std::memcmp(&a.left[n], &b.left[n], 4) == 0 && std::memcmp(&a.right[n], &b.right[n], 4) == 0)
            << "first difference at frame " << n << ": " << a.left[n] << " vs " << b.left[n];
    }
}

// Four settings, each set before the first block, and a controller sweep:
// controller 1 moves the corner up and back down, a step every block.
struct Setting {
    double plain[quavix::kNumParams];
    bool sweep;
};

class BitIdentity : public ::testing::TestWithParam<Setting> {};

TEST_P(BitIdentity, EventsAtFrameZeroSoundAsTheVstBuild) {
    const BlockEvents set = [](int block, InputEvents& events) {
        for (clap_id id = 0; id < quavix::kNumParams && block == 0; ++id) {
            events.paramValue(0, id, GetParam().plain[id]);
        }
        if (GetParam().sweep) {
            events.midi(0, 0xB0, 1, static_cast<uint8_t>(1 + std::abs(block % 252 - 126)));
        }
    };
    expectSameBits(render(false, set), render(true, set));
}

INSTANTIATE_TEST_SUITE_P(FourSettingsAndASweep, BitIdentity,
                         ::testing::Values(Setting{{800.0, 1.0, 1.0, 1.0}, false},
                                           Setting{{3800.0, 0.5, 0.0, 0.0}, false},
                                           Setting{{1910.3, 0.8, 0.6, 64.0}, false},
                                           Setting{{3500.0, 0.25, 0.95, 127.0}, false},
                                           Setting{{2300.0, 1.0, 1.0, 1.0}, true}));

// A change at frame k: before k the output is the unchanged filter's, and
// from k on it is what a VST host gets by cutting the block at k.
struct Step {
    bool midi;
    uint32_t frame;
};

class SampleAccuracy : public ::testing::TestWithParam<Step> {};

TEST_P(SampleAccuracy, AChangeAtFrameKActsFromKOn) {
    constexpr uint32_t kBlock = 256;
    constexpr double kOldCorner = 1400.0;
    constexpr uint8_t kControllerValue = 100;  // sets the new corner
    const float newCorner = static_cast<float>((kControllerValue - 1) / 127.0);
    const uint32_t k = GetParam().frame;
    StereoBuffer in = stimulus();
    const auto cutAt = [&](uint32_t cut) {
        RecordingHost recorder;
        LoadedEffect vst(recorder);
        vst.record->setParameter(vst.record, quavix::kFrequencyParam, normalized(0, kOldCorner));
        StereoBuffer out(kBlock);
        for (uint32_t from : {0u, cut}) {
            float* ins[2] = {in.left.data() + from, in.right.data() + from};
            float* outs[2] = {out.left.data() + from, out.right.data() + from};
            vst.record->processReplacing(vst.record, ins, outs, static_cast<VstInt32>(from ? kBlock - cut : cut));
            vst.record->setParameter(vst.record, quavix::kFrequencyParam, newCorner);
        }
        return out;
    };
    claptest::TestHost host;
    claptest::Instance clap(clap_entry, host);
    ASSERT_TRUE(clap.activate(kRate, kBlock));
    InputEvents events;
    events.paramValue(0, quavix::kFrequencyParam, kOldCorner);
    if (GetParam().midi) {
        events.midi(k, 0xB5, 1, kControllerValue);
    } else {
        events.paramValue(k, quavix::kFrequencyParam, quavix::unitValue(0, newCorner));
    }
    StereoBuffer out(kBlock);
    clap.process(in.channels(), out.channels(), kBlock, events);

    // The cut's reference is the unchanged filter's up to k, and differs from it at k.
    expectSameBits(out, cutAt(k));
    EXPECT_NE(out.left[k], cutAt(kBlock).left[k]) << "unchanged at frame " << k;
}

INSTANTIATE_TEST_SUITE_P(ValuesAndController, SampleAccuracy,
                         ::testing::Values(Step{false, 1}, Step{false, 100}, Step{false, 255}, Step{true, 1},
                                           Step{true, 37}, Step{true, 255}));

}  // namespace
