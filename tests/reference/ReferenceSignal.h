// The reference run: a long pseudo-random stereo signal with parameter
// changes, MIDI, a sample-rate change, suspend and silence at fixed points,
// driven through nothing but an effect's record, and a 64-bit FNV-1a digest
// of every output byte. The same recipe through the native build and through
// QUAVIX.dll must give the same digest.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "framework/VstInterface.h"

namespace reference {

constexpr int32_t kFrames = 1000000;
constexpr int32_t kLongestBlock = 700;
constexpr uint32_t kSignalSeed = 0x51564158u;
constexpr uint32_t kBlockSeed = 0x2545F491u;
constexpr float kSampleRate = 44100.0f;
constexpr float kOtherSampleRate = 48000.0f;

// Fixed points of the recipe, in frames.
constexpr int32_t kSharpPeakFrom = 250000;
constexpr int32_t kQuietGainFrom = 300000;
constexpr int32_t kMidiFrom = 400000;
constexpr int32_t kMidiUntil = 450000;
constexpr int32_t kWidePeakFrom = 500000;
constexpr int32_t kLoudGainFrom = 600000;
constexpr int32_t kOtherRateFrom = 700000;
constexpr int32_t kRateBackFrom = 800000;
constexpr int32_t kSuspendAt = 820000;
constexpr int32_t kSilenceFrom = 850000;
constexpr int32_t kSilenceUntil = 900000;
constexpr int32_t kMutedFrom = 900000;
constexpr int32_t kUnmutedFrom = 950000;
constexpr int32_t kSweepPeriod = 200000;

constexpr uint64_t kFnvOffset = 14695981039346656037ull;
constexpr uint64_t kFnvPrime = 1099511628211ull;

inline uint64_t fnv1a(uint64_t hash, const void* bytes, size_t count) {
    const unsigned char* p = static_cast<const unsigned char*>(bytes);
    for (size_t i = 0; i < count; ++i) {
        hash = (hash ^ p[i]) * kFnvPrime;
    }
    return hash;
}

// xorshift32: the same numbers on every platform.
class Random {
public:
    explicit Random(uint32_t seed) : state(seed) {}
    uint32_t next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    // A sample in [-1, 1) with 24 significant bits, exact in a float.
    float sample() { return static_cast<float>(static_cast<int32_t>(next() >> 8) - (1 << 23)) / (1 << 23); }

private:
    uint32_t state;
};

// The host of the reference run: a version and a sample rate, nothing else.
inline VstIntPtr VSTCALLBACK host(AEffect* /*effect*/, VstInt32 opcode, VstInt32 /*index*/, VstIntPtr /*value*/,
                                  void* /*ptr*/, float /*opt*/) {
    if (opcode == audioMasterVersion) {
        return kVstVersion;
    }
    return opcode == audioMasterGetSampleRate ? static_cast<VstIntPtr>(kSampleRate) : 0;
}

inline VstIntPtr dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                          void* ptr = nullptr, float opt = 0.0f) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

// A triangle from 0 to 1 and back over the sweep period, in exact float steps.
inline float sweepValue(int32_t frame) {
    const float phase = static_cast<float>(frame % kSweepPeriod) / (kSweepPeriod / 2);
    return phase <= 1.0f ? phase : 2.0f - phase;
}

// One control change on controller 1, as the host lays out a list of one.
struct OneEventList {
    VstMidiEvent event;
    VstEvents list;

    explicit OneEventList(unsigned char value) {
        std::memset(&event, 0, sizeof(event));
        std::memset(&list, 0, sizeof(list));
        event.type = kVstMidiType;
        event.byteSize = sizeof(VstMidiEvent);
        event.midiData[0] = static_cast<char>(0xB0);
        event.midiData[1] = 1;
        event.midiData[2] = static_cast<char>(value);
        list.numEvents = 1;
        list.events[0] = reinterpret_cast<VstEvent*>(&event);
    }
};

// The changes that fall on the block starting at this frame.
inline void applyChanges(AEffect* effect, int32_t frame, int32_t frames) {
    const auto crosses = [frame, frames](int32_t point) { return frame <= point && point < frame + frames; };
    if (frame == 0) {
        effect->setParameter(effect, 2, 0.6f);
        effect->setParameter(effect, 1, 1.0f);
    }
    if (crosses(kSharpPeakFrom)) effect->setParameter(effect, 2, 1.0f);
    if (crosses(kQuietGainFrom)) effect->setParameter(effect, 1, 0.35f);
    if (crosses(kWidePeakFrom)) effect->setParameter(effect, 2, 0.0f);
    if (crosses(kLoudGainFrom)) effect->setParameter(effect, 1, 0.8f);
    if (crosses(kOtherRateFrom)) dispatch(effect, effSetSampleRate, 0, 0, nullptr, kOtherSampleRate);
    if (crosses(kRateBackFrom)) dispatch(effect, effSetBlockSizeAndSampleRate, 0, kLongestBlock, nullptr, kSampleRate);
    if (crosses(kSuspendAt)) {
        dispatch(effect, effMainsChanged, 0, 0);
        dispatch(effect, effMainsChanged, 0, 1);
    }
    if (crosses(kMutedFrom)) effect->setParameter(effect, 1, 0.0f);
    if (crosses(kUnmutedFrom)) effect->setParameter(effect, 1, 1.0f);
    if (frame >= kMidiFrom && frame < kMidiUntil) {
        OneEventList midi(static_cast<unsigned char>(1 + (frame / 64) % 127));
        dispatch(effect, effProcessEvents, 0, 0, &midi.list);
    } else {
        effect->setParameter(effect, 0, sweepValue(frame));
    }
}

inline void fillInput(Random& signal, int32_t frame, int32_t frames, float* left, float* right) {
    for (int32_t i = 0; i < frames; ++i) {
        const bool silent = frame + i >= kSilenceFrom && frame + i < kSilenceUntil;
        const float l = signal.sample();
        const float r = signal.sample();
        left[i] = silent ? (frame + i == kSilenceFrom ? 1.0f : 0.0f) : l;
        right[i] = silent ? 0.0f : r;
    }
}

// Runs the whole recipe through the record and returns the digest of every
// output sample's bytes. Odd blocks are processed in place.
inline uint64_t renderDigest(AEffect* effect) {
    dispatch(effect, effOpen);
    dispatch(effect, effSetSampleRate, 0, 0, nullptr, kSampleRate);
    dispatch(effect, effSetBlockSize, 0, kLongestBlock);
    dispatch(effect, effMainsChanged, 0, 1);
    Random signal(kSignalSeed);
    Random blocks(kBlockSeed);
    std::vector<float> inLeft(kLongestBlock), inRight(kLongestBlock);
    std::vector<float> outLeft(kLongestBlock), outRight(kLongestBlock);
    uint64_t digest = kFnvOffset;
    int32_t frame = 0;
    for (int32_t block = 0; frame < kFrames; ++block) {
        int32_t frames = 1 + static_cast<int32_t>(blocks.next() % kLongestBlock);
        if (frames > kFrames - frame) {
            frames = kFrames - frame;
        }
        applyChanges(effect, frame, frames);
        fillInput(signal, frame, frames, inLeft.data(), inRight.data());
        float* inputs[2] = {inLeft.data(), inRight.data()};
        float* separate[2] = {outLeft.data(), outRight.data()};
        float** outputs = (block % 2) ? inputs : separate;
        effect->processReplacing(effect, inputs, outputs, frames);
        digest = fnv1a(digest, outputs[0], sizeof(float) * frames);
        digest = fnv1a(digest, outputs[1], sizeof(float) * frames);
        frame += frames;
    }
    dispatch(effect, effMainsChanged, 0, 0);
    return digest;
}

}  // namespace reference
