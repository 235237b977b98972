#include "tools/hosting/process/GuardedBuffer.h"

#include <cstring>
#include <utility>

GuardedBuffer::GuardedBuffer(size_t size) {
    size_t page = pageSize();
    size_t dataPages = (size + page - 1) / page;
    mapped = (dataPages + 1) * page;
    base = mapPages(mapped);
    if (!base) {
        mapped = 0;
        return;
    }
    bytes = size;
    // The data ends where the guard page begins.
    start = static_cast<char*>(base) + dataPages * page - size;
}

GuardedBuffer::~GuardedBuffer() { release(); }

GuardedBuffer::GuardedBuffer(GuardedBuffer&& other) noexcept { *this = std::move(other); }

GuardedBuffer& GuardedBuffer::operator=(GuardedBuffer&& other) noexcept {
    if (this != &other) {
        release();
        std::swap(base, other.base);
        std::swap(mapped, other.mapped);
        std::swap(start, other.start);
        std::swap(bytes, other.bytes);
    }
    return *this;
}

void GuardedBuffer::fill(unsigned char value) {
    if (start && bytes > 0)
        std::memset(start, value, bytes);
}

void GuardedBuffer::release() {
    if (base)
        unmapPages(base, mapped);
    base = nullptr;
    start = nullptr;
    mapped = bytes = 0;
}
