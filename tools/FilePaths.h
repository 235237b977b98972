// Path questions the tool asks before it writes anything.
#pragma once

#include <string>

class FilePaths {
public:
    // The absolute form of a path (GetFullPathNameA); the path itself when
    // that fails.
    static std::string fullPath(const std::string& path);

    // True when both paths name one file: equal full paths ignoring case, or,
    // when both exist, one file on disk reached by two names.
    static bool sameFile(const std::string& first, const std::string& second);
};
