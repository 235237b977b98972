#include "tools/hosting/process/GuardedBuffer.h"

#include <sys/mman.h>
#include <unistd.h>

size_t GuardedBuffer::pageSize() { return static_cast<size_t>(sysconf(_SC_PAGESIZE)); }

void* GuardedBuffer::mapPages(size_t total) {
    void* pages = mmap(nullptr, total, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pages == MAP_FAILED)
        return nullptr;
    if (mprotect(static_cast<char*>(pages) + total - pageSize(), pageSize(), PROT_NONE) != 0) {
        munmap(pages, total);
        return nullptr;
    }
    return pages;
}

void GuardedBuffer::unmapPages(void* pages, size_t total) { munmap(pages, total); }
