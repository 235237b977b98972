// A Filter whose coefficients and memories a test may read, and stereo
// buffers in the shape processReplacing takes.
#pragma once

#include <vector>

#include "effect/Filter.h"
#include "tests/native/RecordingHost.h"

class FilterProbe : public Filter {
public:
    explicit FilterProbe(audioMasterCallback audioMaster = &RecordingHost::callback) : Filter(audioMaster) {}

    float alphaValue() const { return alpha.load(); }
    float betaValue() const { return beta.load(); }
    float gammaValue() const { return gamma.load(); }
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

// Runs a whole buffer through the effect into a fresh output buffer.
inline StereoBuffer processed(Filter& filter, StereoBuffer& input) {
    StereoBuffer output(input.left.size());
    filter.processReplacing(input.channels(), output.channels(), input.frames());
    return output;
}
