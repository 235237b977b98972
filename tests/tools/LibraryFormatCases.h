// Library headers built in memory, of every system, word size and
// processor: the shared cases in LibraryFormatCases.cpp and each system's
// test program make their foreign libraries from them.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/hosting/LibraryFormat.h"

namespace libraryformat {

using Bytes = std::vector<uint8_t>;
using System = LibraryFormat::System;

const uint16_t kPeI386 = 0x014C;
const uint16_t kPeAmd64 = 0x8664;
const uint16_t kPeArm64 = 0xAA64;
const uint16_t kElfI386 = 3;
const uint16_t kElfX86_64 = 62;
const uint16_t kElfAArch64 = 183;
const uint8_t kElf32 = 1;
const uint8_t kElf64 = 2;
const uint16_t kElfSharedObject = 3;
const uint16_t kElfProgram = 2;
const size_t kPeOffset = 0x80;

inline void put16(Bytes& bytes, size_t at, uint16_t value) {
    bytes[at] = static_cast<uint8_t>(value);
    bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

// A DOS stub whose header points at a PE header for that machine.
inline Bytes peHeader(uint16_t machine, bool dll = true) {
    Bytes bytes(0x200, 0);
    bytes[0] = 'M';
    bytes[1] = 'Z';
    put16(bytes, 0x3C, kPeOffset);
    bytes[kPeOffset] = 'P';
    bytes[kPeOffset + 1] = 'E';
    put16(bytes, kPeOffset + 4, machine);
    put16(bytes, kPeOffset + 4 + 18, dll ? 0x2102 : 0x0102);  // characteristics: executable, 32-bit words, DLL
    return bytes;
}

inline Bytes elfHeader(uint8_t elfClass, uint16_t machine, uint16_t type = kElfSharedObject) {
    Bytes bytes(elfClass == kElf64 ? 64 : 52, 0);
    const uint8_t ident[] = {0x7F, 'E', 'L', 'F', elfClass, 1, 1};
    std::copy(ident, ident + sizeof ident, bytes.begin());
    put16(bytes, 16, type);
    put16(bytes, 18, machine);
    return bytes;
}

inline Bytes cut(Bytes bytes, size_t size) {
    bytes.resize(size);
    return bytes;
}

}  // namespace libraryformat
