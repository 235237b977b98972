// The fuzzer's bytes read as the values a target needs. Reading past the
// end gives zeros, so every input, however short, decodes to some sequence
// and the same bytes always decode to the same one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quavixfuzz {

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data(data), size(size) {}

    bool empty() const { return position >= size; }
    size_t remaining() const { return empty() ? 0 : size - position; }

    uint8_t byte();
    uint16_t u16();
    uint32_t u32();
    int32_t i32() { return static_cast<int32_t>(u32()); }
    bool flag() { return (byte() & 1) != 0; }
    // A whole number in first..last, both ends counted.
    int32_t inRange(int32_t first, int32_t last);
    // One of count choices, 0..count-1.
    uint32_t choice(uint32_t count) { return count ? byte() % count : 0; }

    // Any float a host could send: NaN, infinities, subnormals, signed zeros,
    // values far out of range, raw bit patterns, and plain values near 0..1.
    float anyFloat();
    // Mostly ordinary values in -1.5..1.5, with the odd extreme: audio.
    float sample();
    // Up to maxLength bytes of any value, zero bytes included.
    std::vector<uint8_t> bytes(size_t maxLength);
    // Up to maxLength characters, stopping at the first zero byte.
    std::string text(size_t maxLength);

private:
    const uint8_t* data;
    size_t size;
    size_t position = 0;
};

}  // namespace quavixfuzz
