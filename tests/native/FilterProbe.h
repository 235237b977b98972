// A Filter whose next block's coefficients and memories a test may read, and
// stereo buffers in the shape processReplacing takes, with the signals tests feed.
#pragma once

#include <algorithm>
#include <random>
#include <vector>

#include "quavix/Filter.h"
#include "tests/native/RecordingHost.h"

struct Coefficients {
    float alpha;
    float beta;
    float gamma;
    bool operator==(const Coefficients& other) const {
        return alpha == other.alpha && beta == other.beta && gamma == other.gamma;
    }
};

class FilterProbe : public Filter {
public:
    explicit FilterProbe(audioMasterCallback audioMaster = &RecordingHost::callback) : Filter(audioMaster) {}

    Coefficients coefficients() const {
        const BlockSetting next = settingFromParameters();
        return {next.alpha, next.beta, next.gamma};
    }
    float alphaValue() const { return coefficients().alpha; }
    float betaValue() const { return coefficients().beta; }
    float gammaValue() const { return coefficients().gamma; }
    // The last block's coefficients, and those of the setting it read, afresh.
    Coefficients lastBlock() const { return {blockSetting.alpha, blockSetting.beta, blockSetting.gamma}; }
    Coefficients lastBlockRecomputed() const {
        FilterProbe fresh(&RecordingHost::callback);
        fresh.frequencyValue = blockSetting.frequency;
        fresh.bandwidth = blockSetting.damping;
        fresh.filterSampleRate = blockSetting.rate;
        return fresh.coefficients();
    }
    float bandwidthValue() const { return bandwidth.load(); }
    float outputGainValue() const { return outputGain.load(); }
    double filterRate() const { return filterSampleRate.load(); }
    float memory(int channel, int which) const {
        const float* memories[4] = {x1, x2, y1, y2};
        return memories[which][channel];
    }
};

struct StereoBuffer {
    explicit StereoBuffer(size_t frames, float fill = 0.0f) : left(frames, fill), right(frames, fill) {}

    float** channels() {
        pointers[0] = left.data();
        pointers[1] = right.data();
        return pointers;
    }
    VstInt32 frames() const { return static_cast<VstInt32>(left.size()); }

    std::vector<float> left;
    std::vector<float> right;
    float* pointers[2] = {nullptr, nullptr};
};

// Frames [from, from + frames) of a buffer, as a block of their own.
inline StereoBuffer slice(const StereoBuffer& source, size_t from, size_t frames) {
    StereoBuffer block(frames);
    std::copy_n(source.left.begin() + from, frames, block.left.begin());
    std::copy_n(source.right.begin() + from, frames, block.right.begin());
    return block;
}

// Uniform noise in [-1, 1) on both channels, the same for the same seed.
inline StereoBuffer noise(size_t frames, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
    StereoBuffer buffer(frames);
    for (size_t i = 0; i < frames; ++i) {
        buffer.left[i] = sample(random);
        buffer.right[i] = sample(random);
    }
    return buffer;
}

// Runs a whole buffer through the effect into a fresh output buffer.
inline StereoBuffer processed(Filter& filter, StereoBuffer& input) {
    StereoBuffer output(input.left.size());
    filter.processReplacing(input.channels(), output.channels(), input.frames());
    return output;
}
