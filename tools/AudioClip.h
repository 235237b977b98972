// Audio held by the host tool between files and the plug-in: one float
// vector per channel, all the same length, at one sample rate.
#pragma once

#include <cstddef>
#include <vector>

struct AudioClip {
    int sampleRate = 0;
    std::vector<std::vector<float>> channels;

    int numChannels() const { return static_cast<int>(channels.size()); }
    size_t numFrames() const { return channels.empty() ? 0 : channels[0].size(); }
    double seconds() const { return sampleRate > 0 ? static_cast<double>(numFrames()) / sampleRate : 0.0; }

    void resize(int channelCount, size_t frames) {
        channels.assign(static_cast<size_t>(channelCount), std::vector<float>(frames, 0.0f));
    }
};
