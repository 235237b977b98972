#include "tools/hosting/FilePaths.h"

#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace {

bool resolve(const std::string& path, std::string& resolved) {
    char buffer[PATH_MAX];
    if (!realpath(path.c_str(), buffer))
        return false;
    resolved = buffer;
    return true;
}

std::string currentDirectory() {
    std::vector<char> buffer(PATH_MAX);
    return getcwd(buffer.data(), buffer.size()) ? std::string(buffer.data()) : std::string(".");
}

}  // namespace

std::string FilePaths::fullPath(const std::string& path) {
    std::string resolved;
    if (path.empty() || resolve(path, resolved))
        return path.empty() ? path : resolved;
    // An output not written yet: its directory resolved, its name as given.
    size_t slash = path.find_last_of('/');
    std::string directory = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (resolve(directory, resolved))
        return (resolved == "/" ? "" : resolved) + "/" + name;
    return path[0] == '/' ? path : currentDirectory() + "/" + path;
}

bool FilePaths::sameFile(const std::string& first, const std::string& second) {
    if (fullPath(first) == fullPath(second))
        return true;
    struct stat a, b;
    return stat(first.c_str(), &a) == 0 && stat(second.c_str(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}
