// What every system's loader does alike before its own call: reading the
// file's header, so that a library of another system or word size is
// refused in words that name the tool to use.
#include "tools/hosting/PluginModule.h"

#include <cstdint>
#include <vector>

#include "tools/hosting/FilePaths.h"

bool PluginModule::openChecked(const std::string& path, std::string& fullPath, std::string& error) {
    std::vector<uint8_t> header;
    if (!LibraryFormat::readHeader(path, header, error))
        return false;
    error = LibraryFormat::refusal(path, header, nativeTarget());
    if (!error.empty())
        return false;
    fullPath = FilePaths::fullPath(path);
    return open(fullPath, path, error);
}
