// Reading files of up to 4 GB through stdio, which needs 64-bit offsets
// beyond what fseek's long holds on Windows, and holding an input against
// writers while it is read. The calls are the system's: win32/ and
// linux/ each implement them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

class LargeFile {
public:
    // Opens for reading, binary; where the system can, others may not
    // write the file while it is open. Null with errno set when it fails.
    static FILE* openForReading(const std::string& path);
    static bool seek(FILE* file, uint64_t offset);
    // The file's length in bytes, 0 when it cannot be told; leaves the
    // position at the end.
    static uint64_t length(FILE* file);
};
