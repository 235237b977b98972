#include "tools/validate/GuardedAudio.h"

#include <cmath>
#include <cstring>

GuardedAudio::GuardedAudio(int channels, int frames) : numChannels(channels), numFrames(frames) {
    int count = channels > 0 ? channels : 1;
    for (int i = 0; i < count; ++i)
        buffers.emplace_back(sizeof(float) * static_cast<size_t>(frames));
    for (GuardedBuffer& buffer : buffers)
        table.push_back(buffer.floats());
}

bool GuardedAudio::valid() const {
    for (const GuardedBuffer& buffer : buffers) {
        if (!buffer.valid())
            return false;
    }
    return true;
}

void GuardedAudio::fill(float value) {
    for (GuardedBuffer& buffer : buffers) {
        for (int i = 0; i < numFrames; ++i)
            buffer.floats()[i] = value;
    }
}

float GuardedAudio::peak() const {
    float largest = 0.0f;
    for (int c = 0; c < numChannels; ++c) {
        const float* samples = buffers[static_cast<size_t>(c)].floats();
        for (int i = 0; i < numFrames; ++i) {
            if (!std::isfinite(samples[i]))
                return INFINITY;
            largest = std::fmax(largest, std::fabs(samples[i]));
        }
    }
    return largest;
}

bool GuardedAudio::sameAs(const GuardedAudio& other) const {
    if (other.numChannels != numChannels || other.numFrames != numFrames)
        return false;
    for (int c = 0; c < numChannels; ++c) {
        if (std::memcmp(buffers[static_cast<size_t>(c)].data(), other.buffers[static_cast<size_t>(c)].data(),
                        sizeof(float) * static_cast<size_t>(numFrames)) != 0) {
            return false;
        }
    }
    return true;
}
