// RIFF WAVE files for the host tool: reads 16-bit and 24-bit PCM and 32-bit
// float, mono or stereo, at any rate, in the plain or the extensible format;
// writes 32-bit float or 16-bit PCM. Every failure comes back as a message
// that names the file; no header, however broken, is trusted past the bytes
// the file really has.
#pragma once

#include <cstddef>
#include <string>

#include "tools/AudioClip.h"

enum class WavSampleFormat { Float32, Pcm16 };

class WavFile {
public:
    // On success fills clip and, when given, a short description such as
    // "24-bit PCM, stereo, 48000 Hz".
    static bool read(const std::string& path, AudioClip& clip, std::string& error,
                     std::string* description = nullptr);

    // 16-bit output saturates; clippedSamples (when given) counts the samples
    // that did not fit.
    static bool write(const std::string& path, const AudioClip& clip, WavSampleFormat format,
                      std::string& error, size_t* clippedSamples = nullptr);

    static const char* formatName(WavSampleFormat format);
};
