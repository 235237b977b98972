// RIFF WAVE files for the host tool, read and written a block at a time so
// that an hour of audio needs no more memory than a second. WavReader takes
// 16-bit and 24-bit PCM and 32-bit float, mono or stereo, at any rate, in the
// plain or the extensible format; WavWriter writes 32-bit float or 16-bit
// PCM. Every failure comes back as a message that names the file; no header,
// however broken, is trusted past the bytes the file really has.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/media/AudioClip.h"

enum class WavSampleFormat { Float32, Pcm16 };

struct WavFormat {
    uint16_t tag = 0;  // the sub-format's tag for extensible files
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
};

class WavReader {
public:
    // Far beyond any converter, and low enough that the byte rate of 64
    // float channels still fits the header's 32 bits.
    static const uint32_t kMaxSampleRate = 10000000;

    WavReader() = default;
    ~WavReader();
    WavReader(const WavReader&) = delete;
    WavReader& operator=(const WavReader&) = delete;

    // Checks the header and stands at the first frame.
    bool open(const std::string& path, std::string& error);
    int numChannels() const { return format.channels; }
    int sampleRate() const { return static_cast<int>(format.sampleRate); }
    size_t numFrames() const { return frames; }
    // Such as "24-bit PCM, stereo, 48000 Hz".
    std::string description() const;
    // The next `count` frames into the start of each of block's channels.
    bool read(AudioClip& block, int count, std::string& error);

private:
    bool fail(const std::string& reason, std::string& error) const;

    FILE* file = nullptr;
    std::string path;
    WavFormat format;
    size_t frames = 0;
    std::vector<uint8_t> bytes;
};

class WavWriter {
public:
    WavWriter() = default;
    // A file that was opened but not finished is removed.
    ~WavWriter();
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    // Creates the file with its final header: `frames` frames must follow.
    bool open(const std::string& path, int channels, int sampleRate, size_t frames, WavSampleFormat format,
              std::string& error);
    // The first `count` samples of each of block's channels as the next frames.
    bool write(const AudioClip& block, int count, std::string& error);
    bool finish(std::string& error);
    // 16-bit output saturates; these samples did not fit.
    size_t clippedSamples() const { return clipped; }

    static const char* formatName(WavSampleFormat format);

private:
    bool fail(const std::string& reason, std::string& error);
    void removeUnfinished();

    FILE* file = nullptr;
    std::string path;
    bool removable = false;
    WavSampleFormat format = WavSampleFormat::Float32;
    size_t clipped = 0;
    std::vector<uint8_t> bytes;
};
