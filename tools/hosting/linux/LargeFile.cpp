#include "tools/hosting/LargeFile.h"

#include <sys/types.h>

// off_t is 64 bits in the x86-64 build; a 32-bit build would need
// _FILE_OFFSET_BITS=64 here.
static_assert(sizeof(off_t) >= 8, "WAV files up to 4 GB need 64-bit file offsets");

FILE* LargeFile::openForReading(const std::string& path) {
    // Linux has no share modes: FilePaths::sameFile keeps the output off the input.
    return std::fopen(path.c_str(), "rb");
}

bool LargeFile::seek(FILE* file, uint64_t offset) { return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0; }

uint64_t LargeFile::length(FILE* file) {
    if (fseeko(file, 0, SEEK_END) != 0)
        return 0;
    off_t length = ftello(file);
    return length > 0 ? static_cast<uint64_t>(length) : 0;
}
