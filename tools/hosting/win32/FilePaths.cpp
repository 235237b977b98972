#include "tools/hosting/FilePaths.h"

#include <windows.h>

#include <vector>

namespace {

// Opens an existing file for its identity only (no read or write access).
HANDLE openForIdentity(const std::string& path) {
    return CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

bool sameIdentity(const std::string& first, const std::string& second) {
    HANDLE a = openForIdentity(first);
    HANDLE b = openForIdentity(second);
    BY_HANDLE_FILE_INFORMATION infoA, infoB;
    bool same = a != INVALID_HANDLE_VALUE && b != INVALID_HANDLE_VALUE && GetFileInformationByHandle(a, &infoA) &&
                GetFileInformationByHandle(b, &infoB) && infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber &&
                infoA.nFileIndexHigh == infoB.nFileIndexHigh && infoA.nFileIndexLow == infoB.nFileIndexLow;
    if (a != INVALID_HANDLE_VALUE)
        CloseHandle(a);
    if (b != INVALID_HANDLE_VALUE)
        CloseHandle(b);
    return same;
}

}  // namespace

std::string FilePaths::fullPath(const std::string& path) {
    DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return path;
    std::vector<char> buffer(needed + 1);
    DWORD length = GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0 || length >= buffer.size())
        return path;
    return std::string(buffer.data(), length);
}

bool FilePaths::sameFile(const std::string& first, const std::string& second) {
    if (lstrcmpiA(fullPath(first).c_str(), fullPath(second).c_str()) == 0)
        return true;
    return sameIdentity(first, second);
}
