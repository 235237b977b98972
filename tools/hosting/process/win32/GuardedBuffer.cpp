#include "tools/hosting/process/GuardedBuffer.h"

#include <windows.h>

size_t GuardedBuffer::pageSize() {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    return system.dwPageSize;
}

void* GuardedBuffer::mapPages(size_t total) {
    void* pages = VirtualAlloc(nullptr, total, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (!pages)
        return nullptr;
    DWORD previous = 0;
    if (!VirtualProtect(static_cast<char*>(pages) + total - pageSize(), pageSize(), PAGE_NOACCESS, &previous)) {
        VirtualFree(pages, 0, MEM_RELEASE);
        return nullptr;
    }
    return pages;
}

void GuardedBuffer::unmapPages(void* pages, size_t) { VirtualFree(pages, 0, MEM_RELEASE); }
