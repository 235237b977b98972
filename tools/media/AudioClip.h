// Audio held by the host tool between files and the plug-in: one float
// vector per channel, all the same length, at one sample rate.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct AudioClip {
    int sampleRate = 0;
    std::vector<std::vector<float>> channels;

    int numChannels() const { return static_cast<int>(channels.size()); }
    size_t numFrames() const { return channels.empty() ? 0 : channels[0].size(); }

    void resize(int channelCount, size_t frames) {
        channels.assign(static_cast<size_t>(channelCount), std::vector<float>(frames, 0.0f));
    }

    // "mono", "stereo" or "N-channel".
    static std::string layoutName(int channelCount) {
        return channelCount == 1 ? "mono" : channelCount == 2 ? "stereo" : std::to_string(channelCount) + "-channel";
    }
};
