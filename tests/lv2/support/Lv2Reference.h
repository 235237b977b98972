// The reference run of tests/reference, as far as an LV2 host can play it:
// the same signal, blocks (odd ones in place), parameter changes, MIDI,
// suspension and silence, without the change of sample rate (an LV2 host
// instantiates anew for that), and with the sweep on a grid of 1/1024,
// which a port in hertz carries exactly. Played through a VST effect and
// through the LV2 bundle, it must give one digest.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "tests/reference/ReferenceSignal.h"

namespace lv2test {

constexpr float kSweepGrid = 1024.0f;

inline float gridSweep(int32_t frame) { return std::floor(reference::sweepValue(frame) * kSweepGrid) / kSweepGrid; }

// Target: setParameter(index, normalized), controlChange(value) on
// controller 1, suspendAndResume(), process(inputs, outputs, frames).
template <typename Target>
void applyChanges(Target& target, int32_t frame, int32_t frames) {
    using namespace reference;
    const auto crosses = [frame, frames](int32_t point) { return frame <= point && point < frame + frames; };
    if (frame == 0) {
        target.setParameter(2, 0.6f);
        target.setParameter(1, 1.0f);
    }
    if (crosses(kSharpPeakFrom))
        target.setParameter(2, 1.0f);
    if (crosses(kQuietGainFrom))
        target.setParameter(1, 0.35f);
    if (crosses(kWidePeakFrom))
        target.setParameter(2, 0.0f);
    if (crosses(kLoudGainFrom))
        target.setParameter(1, 0.8f);
    if (crosses(kSuspendAt))
        target.suspendAndResume();
    if (crosses(kMutedFrom))
        target.setParameter(1, 0.0f);
    if (crosses(kUnmutedFrom))
        target.setParameter(1, 1.0f);
    if (frame >= kMidiFrom && frame < kMidiUntil) {
        target.controlChange(static_cast<uint8_t>(1 + (frame / 64) % 127));
    } else {
        target.setParameter(0, gridSweep(frame));
    }
}

template <typename Target>
uint64_t renderDigest(Target& target) {
    using namespace reference;
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
        applyChanges(target, frame, frames);
        fillInput(signal, frame, frames, inLeft.data(), inRight.data());
        float* inputs[2] = {inLeft.data(), inRight.data()};
        float* separate[2] = {outLeft.data(), outRight.data()};
        float** outputs = (block % 2) ? inputs : separate;
        target.process(inputs, outputs, frames);
        digest = fnv1a(digest, outputs[0], sizeof(float) * frames);
        digest = fnv1a(digest, outputs[1], sizeof(float) * frames);
        frame += frames;
    }
    return digest;
}

}  // namespace lv2test
