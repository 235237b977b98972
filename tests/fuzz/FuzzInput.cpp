#include "tests/fuzz/FuzzInput.h"

#include <cstring>
#include <limits>

namespace quavixfuzz {

namespace {

float fromBits(uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The values that break arithmetic most often, each one byte away.
const float kAwkwardFloats[] = {
    std::numeric_limits<float>::quiet_NaN(),
    -std::numeric_limits<float>::quiet_NaN(),
    std::numeric_limits<float>::infinity(),
    -std::numeric_limits<float>::infinity(),
    std::numeric_limits<float>::denorm_min(),
    -std::numeric_limits<float>::denorm_min(),
    std::numeric_limits<float>::min(),
    std::numeric_limits<float>::max(),
    -std::numeric_limits<float>::max(),
    0.0f,
    -0.0f,
    1.0f,
    -1.0f,
    0.5f,
    1.0000001f,
    -1e-7f,
    2.0f,
    1e9f,
    -1e9f,
    0.99999994f,
};
constexpr uint32_t kAwkwardCount = sizeof kAwkwardFloats / sizeof kAwkwardFloats[0];

}  // namespace

uint8_t FuzzInput::byte() { return position < size ? data[position++] : 0; }

uint16_t FuzzInput::u16() {
    const uint16_t low = byte();
    return static_cast<uint16_t>(low | (byte() << 8));
}

uint32_t FuzzInput::u32() {
    const uint32_t low = u16();
    return low | (static_cast<uint32_t>(u16()) << 16);
}

int32_t FuzzInput::inRange(int32_t first, int32_t last) {
    if (last <= first)
        return first;
    const uint64_t span = static_cast<uint64_t>(static_cast<int64_t>(last) - first) + 1;
    return static_cast<int32_t>(first + static_cast<int64_t>(u32() % span));
}

float FuzzInput::anyFloat() {
    const uint8_t kind = byte();
    if (kind < 64)
        return kAwkwardFloats[kind % kAwkwardCount];
    if (kind < 96)
        return fromBits(u32());
    // 1/65535 steps across -0.25..1.25: in range, at the ends and just past them.
    return -0.25f + 1.5f * static_cast<float>(u16()) / 65535.0f;
}

float FuzzInput::sample() {
    const uint8_t kind = byte();
    if (kind < 8)
        return kAwkwardFloats[kind % kAwkwardCount];
    return static_cast<float>(static_cast<int16_t>(u16())) / 21845.0f;
}

std::vector<uint8_t> FuzzInput::bytes(size_t maxLength) {
    const size_t length = maxLength ? u16() % (maxLength + 1) : 0;
    std::vector<uint8_t> result;
    result.reserve(length);
    for (size_t i = 0; i < length; ++i)
        result.push_back(byte());
    return result;
}

std::string FuzzInput::text(size_t maxLength) {
    std::string result;
    const size_t length = maxLength ? byte() % (maxLength + 1) : 0;
    for (size_t i = 0; i < length; ++i) {
        const char c = static_cast<char>(byte());
        if (c == 0)
            break;
        result += c;
    }
    return result;
}

}  // namespace quavixfuzz
