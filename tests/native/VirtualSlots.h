// Where a virtual operation sits in its class's table. Slot order is binary
// contract: a host or a plug-in built elsewhere calls by position. With the
// Itanium C++ ABI (GCC on Linux and on mingw) a pointer to a virtual member
// holds 1 + its byte offset in the table; the destructor takes the first two
// slots.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace quavixtest {

constexpr std::ptrdiff_t kDestructorSlots = 2;

struct RawMemberPointer {
    std::uintptr_t ptr;
    std::ptrdiff_t adjust;
};

// The slot of a virtual member function; -1 for one that is not virtual.
template <typename MemberPointer>
std::ptrdiff_t slotOf(MemberPointer member) {
    static_assert(sizeof(MemberPointer) == sizeof(RawMemberPointer), "Itanium member pointers");
    RawMemberPointer raw;
    std::memcpy(&raw, &member, sizeof(raw));
    if ((raw.ptr & 1u) == 0)
        return -1;
    return static_cast<std::ptrdiff_t>((raw.ptr - 1) / sizeof(void*));
}

template <typename... Members>
std::vector<std::ptrdiff_t> slotsOf(Members... members) {
    return {slotOf(members)...};
}

// The operations must take the slots first, first + 1, ... in the order given.
inline void expectConsecutive(const std::vector<std::ptrdiff_t>& slots, std::ptrdiff_t first, const char* family) {
    for (size_t i = 0; i < slots.size(); ++i)
        EXPECT_EQ(slots[i], first + static_cast<std::ptrdiff_t>(i)) << family << ", operation number " << i;
}

}  // namespace quavixtest
