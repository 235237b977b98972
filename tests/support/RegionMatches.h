// Compares a region of what a window or canvas shows with a picture, the
// same way on every system.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quavixtest {

// Compares the width x height area at (left, top) of what is seen (anything
// with at(x, y) in 0xRRGGBB) with a picture of that size in top-down rows;
// the message counts the differing pixels and names the first.
template <typename Seen>
::testing::AssertionResult regionMatches(const Seen& seen, int left, int top, const std::vector<uint32_t>& expected,
                                         int width, int height) {
    if (expected.size() != static_cast<size_t>(width) * height)
        return ::testing::AssertionFailure() << "no expected picture of " << width << " x " << height;
    int differing = 0;
    ::testing::Message first;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t want = expected[static_cast<size_t>(y) * width + x];
            const uint32_t got = seen.at(left + x, top + y);
            if (got != want && differing++ == 0)
                first << "first at (" << left + x << ", " << top + y << "): " << std::hex << got << ", expected "
                      << want;
        }
    if (differing)
        return ::testing::AssertionFailure() << differing << " pixels differ, " << first;
    return ::testing::AssertionSuccess();
}

}  // namespace quavixtest
