// An invariant a fuzz target holds the code to. A broken one aborts with
// its message, so the fuzzer keeps the input as a crash like any other.
#pragma once

namespace quavixfuzz {

#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
void require(bool holds, const char* format, ...);

// Whether value is a number other than an infinity.
bool isFiniteFloat(float value);
// Whether value lies in 0..1 (and is therefore a number).
bool isUnit(float value);

}  // namespace quavixfuzz
