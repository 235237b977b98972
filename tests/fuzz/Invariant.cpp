#include "tests/fuzz/Invariant.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace quavixfuzz {

void require(bool holds, const char* format, ...) {
    if (holds)
        return;
    std::va_list arguments;
    va_start(arguments, format);
    std::fputs("invariant broken: ", stderr);
    std::vfprintf(stderr, format, arguments);
    std::fputc('\n', stderr);
    va_end(arguments);
    std::abort();
}

bool isFiniteFloat(float value) { return std::isfinite(value); }

bool isUnit(float value) { return value >= 0.0f && value <= 1.0f; }

}  // namespace quavixfuzz
