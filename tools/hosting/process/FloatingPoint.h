// The floating-point control state of the calling thread, as hosts set it
// on their audio threads and as processing must leave it: MXCSR on x86,
// nothing elsewhere.
#pragma once

#include <cstdint>

// The control bits, without the sticky exception flags; 0 where there is no MXCSR.
uint32_t floatingPointState();
void restoreFloatingPointState(uint32_t state);

// Flush-to-zero and denormals-are-zero, the MXCSR bits hosts set on their
// audio threads, for as long as it lives.
class DenormalsFlushed {
public:
    DenormalsFlushed();
    ~DenormalsFlushed() { restoreFloatingPointState(saved); }
    DenormalsFlushed(const DenormalsFlushed&) = delete;
    DenormalsFlushed& operator=(const DenormalsFlushed&) = delete;

private:
    uint32_t saved;
};
