#include "tools/hosting/process/FloatingPoint.h"

#if defined(__SSE__) || defined(__x86_64__) || defined(_M_X64)
#include <xmmintrin.h>
#define HOST_HAS_MXCSR 1
#endif

namespace {

const uint32_t kExceptionFlags = 0x3F;
const uint32_t kFlushToZero = 0x8000;
const uint32_t kDenormalsAreZero = 0x0040;

}  // namespace

uint32_t floatingPointState() {
#if defined(HOST_HAS_MXCSR)
    // The exception flags are sticky results, not state a plug-in sets.
    return _mm_getcsr() & ~kExceptionFlags;
#else
    return 0;
#endif
}

void restoreFloatingPointState(uint32_t state) {
#if defined(HOST_HAS_MXCSR)
    _mm_setcsr(state | (_mm_getcsr() & kExceptionFlags));
#else
    (void)state;
#endif
}

DenormalsFlushed::DenormalsFlushed() : saved(floatingPointState()) {
    restoreFloatingPointState(saved | kFlushToZero | kDenormalsAreZero);
}
