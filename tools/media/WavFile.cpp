#include "tools/media/WavFile.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "tools/hosting/LargeFile.h"

namespace {

const uint16_t kFormatPcm = 1;
const uint16_t kFormatFloat = 3;
const uint16_t kFormatExtensible = 0xFFFE;
const size_t kRiffHeaderSize = 12;
const size_t kChunkHeaderSize = 8;
const size_t kPlainFormatSize = 16;
const size_t kExtensibleFormatSize = 40;
const uint16_t kExtensionSize = 22;
// Every extensible sub-format GUID ends with these 14 bytes after its tag.
const uint8_t kSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
const uint64_t kMaxRiffPayload = 0xFFFFFFFFull;
const uint64_t kMaxHeaderSize = 128;

uint16_t readU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t readU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

// Where the chunks that matter lie. Offsets are 64-bit: a WAV file may
// reach 4 GB, past what fseek's 32-bit long can address.
struct ChunkScan {
    bool hasFormat = false;
    WavFormat format;
    bool hasData = false;
    uint64_t dataOffset = 0;
    uint64_t dataSize = 0;
};

std::string chunkName(const uint8_t* id) {
    std::string name;
    for (int i = 0; i < 4; ++i)
        name += (id[i] >= 0x20 && id[i] < 0x7F) ? static_cast<char>(id[i]) : '?';
    return name;
}

bool seekTo(FILE* file, uint64_t offset) { return LargeFile::seek(file, offset); }

uint64_t fileLength(FILE* file) { return LargeFile::length(file); }

bool readAt(FILE* file, uint64_t offset, uint8_t* buffer, size_t size) {
    return seekTo(file, offset) && std::fread(buffer, 1, size, file) == size;
}

// body holds the chunk's first bytes, up to the extensible size.
bool parseFormat(const uint8_t* body, uint64_t size, WavFormat& format, std::string& error) {
    if (size < kPlainFormatSize) {
        error = "malformed: 'fmt ' chunk of " + std::to_string(size) + " bytes is shorter than 16";
        return false;
    }
    format.tag = readU16(body);
    format.channels = readU16(body + 2);
    format.sampleRate = readU32(body + 4);
    format.blockAlign = readU16(body + 12);
    format.bitsPerSample = readU16(body + 14);
    if (format.tag != kFormatExtensible)
        return true;
    if (size < kExtensibleFormatSize || readU16(body + 16) < kExtensionSize) {
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

bool takeChunk(FILE* file, const uint8_t* header, uint64_t bodyOffset, uint64_t size, ChunkScan& scan,
               std::string& error) {
    if (std::memcmp(header, "fmt ", 4) == 0 && !scan.hasFormat) {
        uint8_t body[kExtensibleFormatSize] = {};
        size_t wanted = static_cast<size_t>(std::min<uint64_t>(size, sizeof body));
        if (!readAt(file, bodyOffset, body, wanted)) {
            error = "read error in the 'fmt ' chunk";
            return false;
        }
        scan.hasFormat = true;
        return parseFormat(body, size, scan.format, error);
    }
    if (std::memcmp(header, "data", 4) == 0 && !scan.hasData) {
        scan.hasData = true;
        scan.dataOffset = bodyOffset;
        scan.dataSize = size;
    }
    return true;
}

// Walks the chunks until both the format and the data are found; what
// follows them is never looked at, so trailing damage costs nothing.
bool scanChunks(FILE* file, ChunkScan& scan, std::string& error) {
    uint64_t length = fileLength(file);
    uint8_t header[kRiffHeaderSize];
    if (!readAt(file, 0, header, kRiffHeaderSize) || std::memcmp(header, "RIFF", 4) != 0 ||
        std::memcmp(header + 8, "WAVE", 4) != 0) {
        error = "not a WAV file (no RIFF/WAVE header)";
        return false;
    }
    uint64_t offset = kRiffHeaderSize;
    while (!(scan.hasFormat && scan.hasData) && offset + kChunkHeaderSize <= length) {
        if (!readAt(file, offset, header, kChunkHeaderSize))
            break;
        uint64_t size = readU32(header + 4);
        uint64_t bodyOffset = offset + kChunkHeaderSize;
        if (size > length - bodyOffset) {
            error = "malformed: chunk '" + chunkName(header) + "' at byte " + std::to_string(offset) + " claims " +
                    std::to_string(size) + " bytes, but only " + std::to_string(length - bodyOffset) + " follow";
            return false;
        }
        if (!takeChunk(file, header, bodyOffset, size, scan, error))
            return false;
        // Chunks are padded to even lengths; a missing final pad byte is harmless.
        offset = bodyOffset + size + (size & 1);
    }
    if (!scan.hasFormat)
        error = "malformed: no 'fmt ' chunk";
    else if (!scan.hasData)
        error = "malformed: no 'data' chunk";
    return scan.hasFormat && scan.hasData;
}

bool checkFormat(const WavFormat& format, std::string& error) {
    if (format.channels == 0 || format.sampleRate == 0 || format.sampleRate > WavReader::kMaxSampleRate) {
        error = "malformed: 'fmt ' chunk gives " + std::to_string(format.channels) + " channels at a sample rate of " +
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

float decodeSample(const uint8_t* p, const WavFormat& format) {
    if (format.tag == kFormatFloat) {
        float value;
        std::memcpy(&value, p, sizeof value);
        return value;
    }
    if (format.bitsPerSample == 16)
        return static_cast<int16_t>(readU16(p)) / 32768.0f;
    // Put the 24 bits at the top of an int32 so that the shift back extends the sign.
    uint32_t raw =
        (static_cast<uint32_t>(p[0]) << 8) | (static_cast<uint32_t>(p[1]) << 16) | (static_cast<uint32_t>(p[2]) << 24);
    return static_cast<float>(static_cast<int32_t>(raw) >> 8) / 8388608.0f;
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
    if (std::isnan(value))
        return 0;
    double scaled = std::nearbyint(static_cast<double>(value) * 32768.0);
    if (scaled > 32767.0 || scaled < -32768.0) {
        ++clipped;
        return scaled > 0 ? 32767 : -32768;
    }
    return static_cast<int16_t>(scaled);
}

void appendHeader(std::vector<uint8_t>& out, const WavFormat& format, uint32_t frames, uint32_t dataBytes) {
    bool isFloat = format.tag == kFormatFloat;
    bool extensible = format.channels > 2;  // more than two channels need a channel mask
    uint32_t formatSize = extensible ? kExtensibleFormatSize : (isFloat ? 18 : kPlainFormatSize);
    uint32_t factSize = isFloat ? 12 : 0;  // non-PCM data carries its frame count
    putId(out, "RIFF");
    putU32(out, 4 + 8 + formatSize + factSize + 8 + dataBytes);
    putId(out, "WAVE");
    putId(out, "fmt ");
    putU32(out, formatSize);
    putU16(out, extensible ? kFormatExtensible : format.tag);
    putU16(out, format.channels);
    putU32(out, format.sampleRate);
    putU32(out, format.sampleRate * format.blockAlign);
    putU16(out, format.blockAlign);
    putU16(out, format.bitsPerSample);
    if (formatSize > kPlainFormatSize)
        putU16(out, extensible ? kExtensionSize : 0);
    if (extensible) {
        putU16(out, format.bitsPerSample);
        putU32(out, format.channels >= 32 ? 0xFFFFFFFFu : (1u << format.channels) - 1);
        putU16(out, format.tag);
        out.insert(out.end(), kSubFormatTail, kSubFormatTail + sizeof kSubFormatTail);
    }
    if (isFloat) {
        putId(out, "fact");
        putU32(out, 4);
        putU32(out, frames);
    }
    putId(out, "data");
    putU32(out, dataBytes);
}

}  // namespace

WavReader::~WavReader() {
    if (file)
        std::fclose(file);
}

bool WavReader::fail(const std::string& reason, std::string& error) const {
    error = "cannot read '" + path + "': " + reason;
    return false;
}

bool WavReader::open(const std::string& wavPath, std::string& error) {
    // A reader opened again lets go of its earlier file first.
    if (file)
        std::fclose(file);
    path = wavPath;
    file = LargeFile::openForReading(path);
    if (!file)
        return fail(std::string("cannot open: ") + std::strerror(errno), error);
    ChunkScan scan;
    std::string reason;
    if (!scanChunks(file, scan, reason) || !checkFormat(scan.format, reason))
        return fail(reason, error);
    if (!seekTo(file, scan.dataOffset))
        return fail("cannot seek to the 'data' chunk", error);
    format = scan.format;
    // A trailing partial frame is dropped rather than read past.
    frames = static_cast<size_t>(scan.dataSize / format.blockAlign);
    return true;
}

std::string WavReader::description() const {
    std::string kind = format.tag == kFormatFloat ? "32-bit float" : std::to_string(format.bitsPerSample) + "-bit PCM";
    return kind + ", " + (format.channels == 1 ? "mono" : "stereo") + ", " + std::to_string(format.sampleRate) + " Hz";
}

bool WavReader::read(AudioClip& block, int count, std::string& error) {
    size_t size = static_cast<size_t>(count) * format.blockAlign;
    bytes.resize(size);
    if (!file || std::fread(bytes.data(), 1, size, file) != size)
        return fail("read error", error);
    size_t bytesPerSample = format.bitsPerSample / 8;
    for (int frame = 0; frame < count; ++frame) {
        const uint8_t* p = bytes.data() + static_cast<size_t>(frame) * format.blockAlign;
        for (int channel = 0; channel < format.channels; ++channel) {
            block.channels[channel][frame] = decodeSample(p + channel * bytesPerSample, format);
        }
    }
    return true;
}

WavWriter::~WavWriter() {
    if (!file)
        return;
    std::fclose(file);
    removeUnfinished();
}

void WavWriter::removeUnfinished() {
    // Only a file of our own making: an output that is a device (/dev/null,
    // NUL) must outlive a failed run.
    if (removable)
        std::remove(path.c_str());
}

bool WavWriter::fail(const std::string& reason, std::string& error) {
    if (file) {
        std::fclose(file);
        file = nullptr;
        removeUnfinished();
    }
    error = "cannot write '" + path + "': " + reason;
    return false;
}

bool WavWriter::open(const std::string& wavPath, int channels, int sampleRate, size_t frames,
                     WavSampleFormat sampleFormat, std::string& error) {
    path = wavPath;
    format = sampleFormat;
    bool isFloat = format == WavSampleFormat::Float32;
    uint32_t bytesPerSample = isFloat ? 4 : 2;
    uint64_t bytesPerFrame = static_cast<uint64_t>(std::max(channels, 0)) * bytesPerSample;
    if (channels <= 0 || bytesPerFrame > 0xFFFF || sampleRate <= 0 ||
        static_cast<uint64_t>(sampleRate) * bytesPerFrame > kMaxRiffPayload) {
        return fail(
            std::to_string(channels) + " channels at " + std::to_string(sampleRate) + " Hz do not fit a WAV file",
            error);
    }
    uint64_t dataBytes = bytesPerFrame * frames;
    if (dataBytes + kMaxHeaderSize > kMaxRiffPayload)
        return fail("too long for a WAV file (4 GB limit)", error);
    WavFormat header;
    header.tag = isFloat ? kFormatFloat : kFormatPcm;
    header.channels = static_cast<uint16_t>(channels);
    header.sampleRate = static_cast<uint32_t>(sampleRate);
    header.blockAlign = static_cast<uint16_t>(bytesPerFrame);
    header.bitsPerSample = static_cast<uint16_t>(bytesPerSample * 8);
    file = std::fopen(path.c_str(), "wb");
    if (!file)
        return fail(std::strerror(errno), error);
    std::error_code unknown;
    removable = std::filesystem::is_regular_file(path, unknown);
    bytes.clear();
    appendHeader(bytes, header, static_cast<uint32_t>(frames), static_cast<uint32_t>(dataBytes));
    if (std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
        return fail("write error (disk full?)", error);
    }
    return true;
}

bool WavWriter::write(const AudioClip& block, int count, std::string& error) {
    bytes.clear();
    for (int frame = 0; frame < count; ++frame) {
        for (const std::vector<float>& channel : block.channels) {
            if (format == WavSampleFormat::Float32) {
                uint32_t bits;
                std::memcpy(&bits, &channel[frame], sizeof bits);
                putU32(bytes, bits);
            } else {
                putU16(bytes, static_cast<uint16_t>(encodePcm16(channel[frame], clipped)));
            }
        }
    }
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
        return fail("write error (disk full?)", error);
    }
    return true;
}

bool WavWriter::finish(std::string& error) {
    FILE* done = file;
    file = nullptr;
    if (done && std::fclose(done) == 0)
        return true;
    removeUnfinished();
    return fail("write error (disk full?)", error);
}

const char* WavWriter::formatName(WavSampleFormat format) {
    return format == WavSampleFormat::Float32 ? "32-bit float" : "16-bit PCM";
}
