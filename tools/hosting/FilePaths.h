// Path questions the tool asks before it loads or writes anything. Their
// answers follow the system's rules (case, links, drive letters), so
// win32/ and linux/ beside it each implement them.
#pragma once

#include <string>

class FilePaths {
public:
    // The absolute form of a path, also for a file not written yet; the path
    // itself when that fails.
    static std::string fullPath(const std::string& path);

    // True when both paths name one file: equal full paths (ignoring case
    // where the system does), or, when both exist, one file on disk reached
    // by two names.
    static bool sameFile(const std::string& first, const std::string& second);

    // The last part of a path, after either kind of separator.
    static std::string fileName(const std::string& path) {
        const size_t slash = path.find_last_of("/\\");
        return slash == std::string::npos ? path : path.substr(slash + 1);
    }
};
