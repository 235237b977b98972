// A buffer whose last byte sits right before a page the process may not
// touch, so that a plug-in reading or writing one byte past what it was
// given faults at once instead of quietly corrupting the host. The
// validator hands these out for texts, structures and audio. The page
// calls are the system's: linux/ maps, win32/ reserves.
#pragma once

#include <cstddef>

class GuardedBuffer {
public:
    GuardedBuffer() = default;
    // Zero-filled; bytes may be 0 (the data then points at the guard page).
    explicit GuardedBuffer(size_t bytes);
    ~GuardedBuffer();
    GuardedBuffer(GuardedBuffer&& other) noexcept;
    GuardedBuffer& operator=(GuardedBuffer&& other) noexcept;
    GuardedBuffer(const GuardedBuffer&) = delete;
    GuardedBuffer& operator=(const GuardedBuffer&) = delete;

    char* data() const { return start; }
    float* floats() const { return reinterpret_cast<float*>(start); }
    size_t size() const { return bytes; }
    bool valid() const { return base != nullptr; }
    void fill(unsigned char value);

    static size_t pageSize();

private:
    // Maps whole pages, the last one without access; null when memory is short.
    static void* mapPages(size_t total);
    static void unmapPages(void* pages, size_t total);
    void release();

    void* base = nullptr;
    size_t mapped = 0;
    char* start = nullptr;
    size_t bytes = 0;
};
