// WAV files as bytes for the host tool's tests: written the way other
// programs write them, read back the way the tool writes them, and the
// signals and comparisons the tests put through them.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace wavbytes {

const uint16_t kPcm = 1;
const uint16_t kFloat = 3;

using Bytes = std::vector<uint8_t>;

inline Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void put16(Bytes& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void put32(Bytes& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}
inline void set32(Bytes& out, size_t at, uint32_t v) {
    Bytes value;
    put32(value, v);
    std::copy(value.begin(), value.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
}
// Byte by byte: GCC 12 takes a range insert of four bytes, inlined, for an overflow.
inline void putTag(Bytes& out, const char* id) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(id[i]));
}
inline uint32_t get32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline uint16_t get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

struct WavLayout {
    uint16_t tag = kPcm;
    int bits = 16;
    int channels = 2;
    int rate = 48000;
    bool extensible = false;
};

inline void putSample(Bytes& out, double value, const WavLayout& layout) {
    if (layout.tag == kFloat) {
        float f = static_cast<float>(value);
        uint32_t raw;
        std::memcpy(&raw, &f, sizeof raw);
        put32(out, raw);
    } else if (layout.bits == 16) {
        put16(out, static_cast<uint16_t>(static_cast<int16_t>(std::lround(value * 32768.0))));
    } else {
        uint32_t raw = static_cast<uint32_t>(static_cast<int32_t>(std::lround(value * 8388608.0)));
        out.push_back(static_cast<uint8_t>(raw));
        out.push_back(static_cast<uint8_t>(raw >> 8));
        out.push_back(static_cast<uint8_t>(raw >> 16));
    }
}

// A WAV file as other programs write it: a LIST chunk of odd length before
// the data, so that the reader must walk and pad chunks.
inline Bytes makeWav(const WavLayout& layout, const std::vector<double>& interleaved) {
    Bytes data;
    for (double value : interleaved)
        putSample(data, value, layout);
    Bytes format;
    uint32_t blockAlign = layout.channels * layout.bits / 8;
    put16(format, layout.extensible ? 0xFFFE : layout.tag);
    put16(format, layout.channels);
    put32(format, layout.rate);
    put32(format, layout.rate * blockAlign);
    put16(format, blockAlign);
    put16(format, layout.bits);
    if (layout.extensible) {
        const uint8_t tail[14] = {0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
        put16(format, 22);
        put16(format, layout.bits);
        put32(format, layout.channels == 1 ? 4 : 3);
        put16(format, layout.tag);
        format.insert(format.end(), tail, tail + sizeof tail);
    }
    Bytes body;
    putTag(body, "WAVE");
    putTag(body, "fmt ");
    put32(body, static_cast<uint32_t>(format.size()));
    body.insert(body.end(), format.begin(), format.end());
    putTag(body, "LIST");
    put32(body, 5);
    body.insert(body.end(), {'I', 'N', 'F', 'O', 'x', 0});
    putTag(body, "data");
    put32(body, static_cast<uint32_t>(data.size()));
    body.insert(body.end(), data.begin(), data.end());
    Bytes file;
    putTag(file, "RIFF");
    put32(file, static_cast<uint32_t>(body.size()));
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

struct Wav {
    bool valid = false;
    int tag = 0, channels = 0, rate = 0, bits = 0;
    std::vector<float> samples;  // interleaved
    size_t frames() const { return channels ? samples.size() / channels : 0; }
    float at(size_t frame, int channel) const { return samples[frame * channels + channel]; }
};

// Reads the tool's output: 16-bit PCM or 32-bit float.
inline Wav parseWav(const Bytes& b) {
    Wav wav;
    if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0) {
        return wav;
    }
    size_t offset = 12, dataOffset = 0, dataSize = 0;
    while (offset + 8 <= b.size()) {
        uint32_t size = get32(&b[offset + 4]);
        if (offset + 8 + size > b.size())
            return wav;
        if (std::memcmp(&b[offset], "fmt ", 4) == 0) {
            wav.tag = get16(&b[offset + 8]);
            if (wav.tag == 0xFFFE)
                wav.tag = get16(&b[offset + 32]);  // the extensible sub-format
            wav.channels = get16(&b[offset + 10]);
            wav.rate = static_cast<int>(get32(&b[offset + 12]));
            wav.bits = get16(&b[offset + 22]);
        } else if (std::memcmp(&b[offset], "data", 4) == 0) {
            dataOffset = offset + 8;
            dataSize = size;
        }
        offset += 8 + size + (size & 1);
    }
    if (!dataOffset || !wav.channels)
        return wav;
    for (size_t at = dataOffset; at + wav.bits / 8 <= dataOffset + dataSize; at += wav.bits / 8) {
        if (wav.tag == kFloat && wav.bits == 32) {
            float f;
            std::memcpy(&f, &b[at], sizeof f);
            wav.samples.push_back(f);
        } else if (wav.tag == kPcm && wav.bits == 16) {
            wav.samples.push_back(static_cast<int16_t>(get16(&b[at])) / 32768.0f);
        } else {
            return wav;
        }
    }
    wav.valid = true;
    return wav;
}

// Noise and a tone, on the 16-bit grid so that 16-bit, 24-bit and float
// files carry exactly the same values; the right channel differs from the left.
inline std::vector<double> testSignal(size_t frames, int channels) {
    std::vector<double> out;
    uint32_t seed = 12345;
    for (size_t i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            seed = seed * 1664525u + 1013904223u;
            double noise = (static_cast<double>(seed >> 8) / 16777216.0 - 0.5) * 0.3;
            double tone = 0.3 * std::sin(0.05 * static_cast<double>(i) + 1.3 * c);
            out.push_back(std::round((noise + tone) * 32768.0) / 32768.0);
        }
    }
    return out;
}

inline bool sameSamples(const Wav& a, const Wav& b) {
    return a.valid && b.valid && a.channels == b.channels && a.samples.size() == b.samples.size() &&
           std::memcmp(a.samples.data(), b.samples.data(), a.samples.size() * sizeof(float)) == 0;
}

inline bool allFiniteAndHeard(const Wav& wav) {
    float peak = 0.0f;
    for (float v : wav.samples) {
        if (!std::isfinite(v))
            return false;
        peak = std::max(peak, std::fabs(v));
    }
    return peak > 0.01f;
}

}  // namespace wavbytes
