// The host tool's own malloc family: each forwards to the C library's
// allocator under its internal name, so memory from either side may be
// freed by the other, and counts the call when the calling thread is
// inside a HeapCount::Counting scope. Being defined in the executable, these
// come first in the global symbol lookup, so a plug-in loaded with dlopen
// (and the C++ runtime it links, statically or not) allocates through them.
// free is counted apart: the validator judges allocations, a stress run
// every call into the allocator, whose locks a release takes as well.
#include "tools/hosting/process/HeapCount.h"

#include <malloc.h>

#include <cerrno>
#include <cstdlib>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* memory, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void* __libc_valloc(size_t size);
void* __libc_pvalloc(size_t size);
void __libc_free(void* memory);
}

namespace {

// Initial-exec: the executable's thread-local block exists before any
// allocation can happen, and reaching it must not allocate in turn.
__attribute__((tls_model("initial-exec"))) thread_local bool counting = false;
__attribute__((tls_model("initial-exec"))) thread_local unsigned long allocations = 0;
__attribute__((tls_model("initial-exec"))) thread_local unsigned long releases = 0;

inline void seen() {
    if (counting)
        ++allocations;
}

bool powerOfTwo(size_t value) { return value != 0 && (value & (value - 1)) == 0; }

}  // namespace

extern "C" {

void* malloc(size_t size) noexcept {
    seen();
    return __libc_malloc(size);
}

void* calloc(size_t count, size_t size) noexcept {
    seen();
    return __libc_calloc(count, size);
}

void* realloc(void* memory, size_t size) noexcept {
    seen();
    return __libc_realloc(memory, size);
}

void* memalign(size_t alignment, size_t size) noexcept {
    seen();
    return __libc_memalign(alignment, size);
}

void* aligned_alloc(size_t alignment, size_t size) noexcept {
    // As the C library answers an alignment it cannot honour.
    if (!powerOfTwo(alignment)) {
        errno = EINVAL;
        return nullptr;
    }
    seen();
    return __libc_memalign(alignment, size);
}

int posix_memalign(void** memory, size_t alignment, size_t size) noexcept {
    if (!powerOfTwo(alignment) || alignment % sizeof(void*) != 0)
        return EINVAL;
    seen();
    void* allocated = __libc_memalign(alignment, size);
    if (!allocated)
        return ENOMEM;
    *memory = allocated;
    return 0;
}

void* valloc(size_t size) noexcept {
    seen();
    return __libc_valloc(size);
}

void* pvalloc(size_t size) noexcept {
    seen();
    return __libc_pvalloc(size);
}

void free(void* memory) noexcept {
    if (counting && memory)
        ++releases;
    __libc_free(memory);
}

}  // extern "C"

namespace HeapCount {

bool available() {
    // Through a volatile pointer, or the compiler drops the pair as unused.
    void* (*volatile allocate)(size_t) = std::malloc;
    unsigned long before = allocations;
    void* memory = nullptr;
    {
        Counting scope;
        memory = allocate(1);
    }
    std::free(memory);
    return allocations > before;
}

bool& countingFlag() { return counting; }

unsigned long counted() { return allocations; }

unsigned long released() { return releases; }

}  // namespace HeapCount
