#include "framework/clap/ClapState.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "framework/clap/ClapInstance.h"
#include "framework/clap/Guarded.h"

namespace {

constexpr uint32_t kFormatVersion = 1;
constexpr size_t kHeaderBytes = 12;
constexpr size_t kEntryBytes = 8;

void putWord(std::vector<uint8_t>& bytes, uint32_t word, bool mostSignificantFirst = false) {
    for (int i = 0; i < 4; ++i) {
        const int shift = mostSignificantFirst ? 24 - 8 * i : 8 * i;
        bytes.push_back(static_cast<uint8_t>(word >> shift));
    }
}

uint32_t wordAt(const std::vector<uint8_t>& bytes, size_t at, bool mostSignificantFirst = false) {
    uint32_t word = 0;
    for (int i = 0; i < 4; ++i) {
        const int shift = mostSignificantFirst ? 24 - 8 * i : 8 * i;
        word |= static_cast<uint32_t>(bytes[at + i]) << shift;
    }
    return word;
}

uint32_t bitsOf(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}

float floatOf(uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

bool save(const clap_plugin_t* plugin, const clap_ostream_t* stream) {
    return guarded(false, [&] {
        ClapEffect& effect = ClapInstance::of(plugin)->effect();
        if (!stream || !stream->write) {
            return false;
        }
        std::vector<uint8_t> bytes;
        putWord(bytes, static_cast<uint32_t>(effect.uniqueId()), true);
        putWord(bytes, kFormatVersion);
        putWord(bytes, static_cast<uint32_t>(effect.numParameters()));
        for (int32_t i = 0; i < effect.numParameters(); ++i) {
            putWord(bytes, static_cast<uint32_t>(i));
            putWord(bytes, bitsOf(effect.parameter(i)));
        }
        // A stream may take fewer bytes than offered at a time.
        for (size_t written = 0; written < bytes.size();) {
            const int64_t wrote = stream->write(stream, bytes.data() + written, bytes.size() - written);
            if (wrote <= 0 || static_cast<uint64_t>(wrote) > bytes.size() - written) {
                return false;
            }
            written += static_cast<size_t>(wrote);
        }
        return true;
    });
}

// Reads the whole stream, but never more than limit + 1 bytes: one byte past
// the limit is enough to know the stream is too long for us.
bool readAll(const clap_istream_t* stream, size_t limit, std::vector<uint8_t>& bytes) {
    bytes.assign(limit + 1, 0);
    size_t filled = 0;
    while (filled < bytes.size()) {
        const int64_t got = stream->read(stream, bytes.data() + filled, bytes.size() - filled);
        if (got == 0) {
            break;
        }
        if (got < 0 || static_cast<uint64_t>(got) > bytes.size() - filled) {
            return false;
        }
        filled += static_cast<size_t>(got);
    }
    bytes.resize(filled);
    return filled <= limit;
}

// The values of a record of this effect, in parameter order; false for
// anything else.
bool decode(const std::vector<uint8_t>& bytes, ClapEffect& effect, std::vector<float>& values) {
    const size_t parameters = static_cast<size_t>(effect.numParameters());
    if (bytes.size() != kHeaderBytes + parameters * kEntryBytes ||
        wordAt(bytes, 0, true) != static_cast<uint32_t>(effect.uniqueId()) || wordAt(bytes, 4) != kFormatVersion ||
        wordAt(bytes, 8) != parameters) {
        return false;
    }
    values.assign(parameters, NAN);
    for (size_t entry = 0; entry < parameters; ++entry) {
        const size_t at = kHeaderBytes + entry * kEntryBytes;
        const uint32_t id = wordAt(bytes, at);
        const float value = floatOf(wordAt(bytes, at + 4));
        if (id >= parameters || !std::isnan(values[id]) || !(value >= 0.0f && value <= 1.0f)) {
            return false;
        }
        values[id] = value;
    }
    return true;
}

bool load(const clap_plugin_t* plugin, const clap_istream_t* stream) {
    return guarded(false, [&] {
        ClapInstance* instance = ClapInstance::of(plugin);
        ClapEffect& effect = instance->effect();
        std::vector<uint8_t> bytes;
        std::vector<float> values;
        const size_t longest = kHeaderBytes + static_cast<size_t>(effect.numParameters()) * kEntryBytes;
        if (!stream || !stream->read || !readAll(stream, longest, bytes) || !decode(bytes, effect, values)) {
            return false;
        }
        for (size_t i = 0; i < values.size(); ++i) {
            effect.setParameter(static_cast<int32_t>(i), values[i]);
        }
        if (instance->hostParams && instance->hostParams->rescan) {
            instance->hostParams->rescan(instance->host(), CLAP_PARAM_RESCAN_VALUES);
        }
        return true;
    });
}

}  // namespace

const clap_plugin_state_t& clapStateExtension() {
    static const clap_plugin_state_t extension{save, load};
    return extension;
}
