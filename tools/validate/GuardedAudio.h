// Audio for the plug-in under validation, each channel ending at a page it
// may not touch, so that a read or write past a block faults where it happens.
#pragma once

#include <vector>

#include "tools/hosting/process/GuardedBuffer.h"

// Audio channels, each in a guarded buffer of exactly `frames` floats, and
// the pointer array a plug-in is handed. The array never is empty: a
// plug-in without inputs still gets a valid pointer it should not need.
class GuardedAudio {
public:
    GuardedAudio(int channels, int frames);

    float** pointers() { return table.data(); }
    float* channel(int index) { return buffers[static_cast<size_t>(index)].floats(); }
    int channels() const { return numChannels; }
    int frames() const { return numFrames; }
    bool valid() const;
    void fill(float value);
    // Largest magnitude; infinity when any sample is not finite.
    float peak() const;
    bool sameAs(const GuardedAudio& other) const;

private:
    int numChannels;
    int numFrames;
    std::vector<GuardedBuffer> buffers;
    std::vector<float*> table;
};
