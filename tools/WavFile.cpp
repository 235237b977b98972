#include "tools/WavFile.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

const uint16_t kFormatPcm = 1;
const uint16_t kFormatFloat = 3;
const uint16_t kFormatExtensible = 0xFFFE;
const size_t kChunkHeaderSize = 8;
const size_t kPlainFormatSize = 16;
const size_t kExtensibleFormatSize = 40;
// Every extensible sub-format GUID ends with these 14 bytes after its tag.
const uint8_t kSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                    0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
const uint64_t kMaxRiffPayload = 0xFFFFFFFFull;

uint16_t readU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t readU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

struct FormatChunk {
    uint16_t tag = 0;  // the sub-format's tag for extensible files
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
};

// The chunks found in one file: where the data lies and what it holds.
struct ChunkScan {
    bool hasFormat = false;
    FormatChunk format;
    bool hasData = false;
    size_t dataOffset = 0;
    size_t dataSize = 0;
};

std::string chunkName(const uint8_t* id) {
    std::string name;
    for (int i = 0; i < 4; ++i) {
        name += (id[i] >= 0x20 && id[i] < 0x7F) ? static_cast<char>(id[i]) : '?';
    }
    return name;
}

bool loadBytes(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = std::string("cannot open: ") + std::strerror(errno);
        return false;
    }
    uint8_t buffer[65536];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.insert(bytes.end(), buffer, buffer + got);
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) error = "read error";
    return !failed;
}

bool parseFormat(const uint8_t* body, size_t size, FormatChunk& format, std::string& error) {
    if (size < kPlainFormatSize) {
        error = "malformed: 'fmt ' chunk of " + std::to_string(size) + " bytes is shorter than 16";
        return false;
    }
    format.tag = readU16(body);
    format.channels = readU16(body + 2);
    format.sampleRate = readU32(body + 4);
    format.blockAlign = readU16(body + 12);
    format.bitsPerSample = readU16(body + 14);
    if (format.tag != kFormatExtensible) return true;
    if (size < kExtensibleFormatSize || readU16(body + 16) < 22) {
        error = "malformed: extensible 'fmt ' chunk is too short for its sub-format";
        return false;
    }
    if (std::memcmp(body + 26, kSubFormatTail, sizeof kSubFormatTail) != 0) {
        error = "unsupported: extensible sub-format is not PCM or IEEE float";
        return false;
    }
    format.tag = readU16(body + 24);
    return true;
}

bool scanChunks(const std::vector<uint8_t>& bytes, ChunkScan& scan, std::string& error) {
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
        error = "not a WAV file (no RIFF/WAVE header)";
        return false;
    }
    size_t offset = 12;
    while (bytes.size() - offset >= kChunkHeaderSize) {
        const uint8_t* header = bytes.data() + offset;
        uint64_t size = readU32(header + 4);
        size_t bodyOffset = offset + kChunkHeaderSize;
        if (size > bytes.size() - bodyOffset) {
            error = "malformed: chunk '" + chunkName(header) + "' at byte " + std::to_string(offset) + " claims " +
                    std::to_string(size) + " bytes, but only " + std::to_string(bytes.size() - bodyOffset) +
                    " follow";
            return false;
        }
        if (std::memcmp(header, "fmt ", 4) == 0 && !scan.hasFormat) {
            if (!parseFormat(bytes.data() + bodyOffset, static_cast<size_t>(size), scan.format, error)) return false;
            scan.hasFormat = true;
        } else if (std::memcmp(header, "data", 4) == 0 && !scan.hasData) {
            scan.hasData = true;
            scan.dataOffset = bodyOffset;
            scan.dataSize = static_cast<size_t>(size);
        }
        // Chunks are padded to even lengths; a missing final pad byte is harmless.
        uint64_t next = bodyOffset + size + (size & 1);
        if (next >= bytes.size()) break;
        offset = static_cast<size_t>(next);
    }
    if (!scan.hasFormat) error = "malformed: no 'fmt ' chunk";
    else if (!scan.hasData) error = "malformed: no 'data' chunk";
    return scan.hasFormat && scan.hasData;
}

bool checkFormat(const FormatChunk& format, std::string& error) {
    if (format.channels == 0 || format.sampleRate == 0) {
        error = "malformed: 'fmt ' chunk gives " + std::to_string(format.channels) + " channels at " +
                std::to_string(format.sampleRate) + " Hz";
        return false;
    }
    bool pcm = format.tag == kFormatPcm && (format.bitsPerSample == 16 || format.bitsPerSample == 24);
    bool flt = format.tag == kFormatFloat && format.bitsPerSample == 32;
    if (!pcm && !flt) {
        error = "unsupported sample format (tag " + std::to_string(format.tag) + ", " +
                std::to_string(format.bitsPerSample) + " bits): use 16-bit or 24-bit PCM or 32-bit float";
        return false;
    }
    if (format.channels > 2) {
        error = "unsupported: " + std::to_string(format.channels) + " channels (mono or stereo only)";
        return false;
    }
    if (format.blockAlign != format.channels * format.bitsPerSample / 8) {
        error = "malformed: block align " + std::to_string(format.blockAlign) + " does not match " +
                std::to_string(format.channels) + " channels of " + std::to_string(format.bitsPerSample) + " bits";
        return false;
    }
    return true;
}

float decodeSample(const uint8_t* p, const FormatChunk& format) {
    if (format.tag == kFormatFloat) {
        float value;
        std::memcpy(&value, p, sizeof value);
        return value;
    }
    if (format.bitsPerSample == 16) return static_cast<int16_t>(readU16(p)) / 32768.0f;
    // Put the 24 bits at the top of an int32 so that the shift back extends the sign.
    uint32_t raw = (static_cast<uint32_t>(p[0]) << 8) | (static_cast<uint32_t>(p[1]) << 16) |
                   (static_cast<uint32_t>(p[2]) << 24);
    return static_cast<float>(static_cast<int32_t>(raw) >> 8) / 8388608.0f;
}

void decodeData(const uint8_t* data, size_t frames, const FormatChunk& format, AudioClip& clip) {
    clip.sampleRate = static_cast<int>(format.sampleRate);
    clip.resize(format.channels, frames);
    size_t bytesPerSample = format.bitsPerSample / 8;
    for (size_t frame = 0; frame < frames; ++frame) {
        const uint8_t* p = data + frame * format.blockAlign;
        for (int channel = 0; channel < format.channels; ++channel) {
            clip.channels[channel][frame] = decodeSample(p + channel * bytesPerSample, format);
        }
    }
}

std::string describeFormat(const FormatChunk& format) {
    std::string kind = format.tag == kFormatFloat ? "32-bit float" : std::to_string(format.bitsPerSample) + "-bit PCM";
    return kind + ", " + (format.channels == 1 ? "mono" : "stereo") + ", " + std::to_string(format.sampleRate) + " Hz";
}

void putU16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}
void putU32(std::vector<uint8_t>& out, uint32_t value) {
    putU16(out, value & 0xFFFF);
    putU16(out, value >> 16);
}
void putId(std::vector<uint8_t>& out, const char* id) { out.insert(out.end(), id, id + 4); }

// Rounds to the nearest 16-bit step and saturates; a NaN becomes silence.
int16_t encodePcm16(float value, size_t& clipped) {
    if (std::isnan(value)) return 0;
    double scaled = std::nearbyint(static_cast<double>(value) * 32768.0);
    if (scaled > 32767.0 || scaled < -32768.0) {
        ++clipped;
        return scaled > 0 ? 32767 : -32768;
    }
    return static_cast<int16_t>(scaled);
}

void appendHeader(std::vector<uint8_t>& out, const AudioClip& clip, WavSampleFormat format, uint32_t dataBytes) {
    bool isFloat = format == WavSampleFormat::Float32;
    uint32_t channels = static_cast<uint32_t>(clip.numChannels());
    uint32_t bits = isFloat ? 32 : 16;
    bool extensible = channels > 2;  // more than two channels need a channel mask
    uint32_t formatSize = extensible ? kExtensibleFormatSize : (isFloat ? 18 : kPlainFormatSize);
    uint32_t factSize = isFloat ? 12 : 0;  // non-PCM data carries its frame count
    putId(out, "RIFF");
    putU32(out, 4 + 8 + formatSize + factSize + 8 + dataBytes);
    putId(out, "WAVE");
    putId(out, "fmt ");
    putU32(out, formatSize);
    uint16_t tag = isFloat ? kFormatFloat : kFormatPcm;
    putU16(out, extensible ? kFormatExtensible : tag);
    putU16(out, channels);
    putU32(out, static_cast<uint32_t>(clip.sampleRate));
    putU32(out, static_cast<uint32_t>(clip.sampleRate) * channels * bits / 8);
    putU16(out, channels * bits / 8);
    putU16(out, bits);
    if (formatSize > kPlainFormatSize) putU16(out, extensible ? 22 : 0);
    if (extensible) {
        putU16(out, bits);
        putU32(out, channels >= 32 ? 0xFFFFFFFFu : (1u << channels) - 1);
        putU16(out, tag);
        out.insert(out.end(), kSubFormatTail, kSubFormatTail + sizeof kSubFormatTail);
    }
    if (isFloat) {
        putId(out, "fact");
        putU32(out, 4);
        putU32(out, static_cast<uint32_t>(clip.numFrames()));
    }
    putId(out, "data");
    putU32(out, dataBytes);
}

void appendSamples(std::vector<uint8_t>& out, const AudioClip& clip, WavSampleFormat format, size_t& clipped) {
    for (size_t frame = 0; frame < clip.numFrames(); ++frame) {
        for (const std::vector<float>& channel : clip.channels) {
            if (format == WavSampleFormat::Float32) {
                uint32_t bits;
                std::memcpy(&bits, &channel[frame], sizeof bits);
                putU32(out, bits);
            } else {
                putU16(out, static_cast<uint16_t>(encodePcm16(channel[frame], clipped)));
            }
        }
    }
}

}  // namespace

bool WavFile::read(const std::string& path, AudioClip& clip, std::string& error, std::string* description) {
    std::vector<uint8_t> bytes;
    ChunkScan scan;
    std::string reason;
    if (!loadBytes(path, bytes, reason) || !scanChunks(bytes, scan, reason) || !checkFormat(scan.format, reason)) {
        error = "cannot read '" + path + "': " + reason;
        return false;
    }
    // A trailing partial frame is dropped rather than read past.
    size_t frames = scan.dataSize / scan.format.blockAlign;
    decodeData(bytes.data() + scan.dataOffset, frames, scan.format, clip);
    if (description) *description = describeFormat(scan.format);
    return true;
}

bool WavFile::write(const std::string& path, const AudioClip& clip, WavSampleFormat format, std::string& error,
                    size_t* clippedSamples) {
    uint64_t bytesPerFrame = static_cast<uint64_t>(clip.numChannels()) * (format == WavSampleFormat::Float32 ? 4 : 2);
    uint64_t dataBytes = bytesPerFrame * clip.numFrames();
    if (clip.numChannels() == 0 || clip.numChannels() > 0xFFFF || clip.sampleRate <= 0) {
        error = "cannot write '" + path + "': no channels or no sample rate";
        return false;
    }
    if (dataBytes + 128 > kMaxRiffPayload) {
        error = "cannot write '" + path + "': too long for a WAV file (4 GB limit)";
        return false;
    }
    std::vector<uint8_t> out;
    out.reserve(static_cast<size_t>(dataBytes) + 128);
    size_t clipped = 0;
    appendHeader(out, clip, format, static_cast<uint32_t>(dataBytes));
    appendSamples(out, clip, format, clipped);
    if (clippedSamples) *clippedSamples = clipped;

    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = "cannot write '" + path + "': " + std::strerror(errno);
        return false;
    }
    bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        std::remove(path.c_str());
        error = "cannot write '" + path + "': write error (disk full?)";
        return false;
    }
    return true;
}

const char* WavFile::formatName(WavSampleFormat format) {
    return format == WavSampleFormat::Float32 ? "32-bit float" : "16-bit PCM";
}
