// The one deterministic stimulus --compare plays through both plug-ins: noise
// in blocks of varying size with parameter changes between blocks, silence
// in which the tails decay, impulses, and noise again with controller
// sweeps whose events fall inside the blocks. Parameter changes are
// positions across each parameter's range on a grid of 1/1024, which a
// range in hertz (800..3800) carries exactly, so formats with different
// units hear the same values.
#pragma once

#include <cstdint>
#include <vector>

struct StimulusChange {
    int parameter;
    double position;  // 0..1 across the parameter's range
};

struct StimulusEvent {
    int frame;  // within the block
    uint8_t status, data1, data2;
};

struct StimulusBlock {
    int start;
    int frames;
    std::vector<StimulusChange> changes;  // before the block
    std::vector<StimulusEvent> events;
};

class CompareStimulus {
public:
    static const int kSampleRate = 44100;
    static const int kMaxBlock = 2048;

    // Changes reach parameters 0 .. parameterCount - 1.
    explicit CompareStimulus(int parameterCount);

    int frames() const { return static_cast<int>(left.size()); }
    const std::vector<StimulusBlock>& blocks() const { return schedule; }
    // The two input channels, whole.
    const float* channel(int index) const { return index == 0 ? left.data() : right.data(); }

private:
    void makeInput();
    void makeSchedule(int parameterCount);

    std::vector<float> left, right;
    std::vector<StimulusBlock> schedule;
};
