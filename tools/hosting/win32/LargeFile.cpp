#include "tools/hosting/LargeFile.h"

#include <share.h>

FILE* LargeFile::openForReading(const std::string& path) {
    // Denying others write access makes the system itself refuse to open
    // the input as an output, whatever name reaches it.
    return _fsopen(path.c_str(), "rb", _SH_DENYWR);
}

bool LargeFile::seek(FILE* file, uint64_t offset) {
    return _fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0;
}

uint64_t LargeFile::length(FILE* file) {
    if (_fseeki64(file, 0, SEEK_END) != 0)
        return 0;
    __int64 length = _ftelli64(file);
    return length > 0 ? static_cast<uint64_t>(length) : 0;
}
