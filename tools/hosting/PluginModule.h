// A plug-in library opened by path: the one step of loading a plug-in whose
// calls and error texts belong to the system. win32/ and linux/ beside it
// each implement it.
#pragma once

#include <string>

#include "tools/hosting/LibraryFormat.h"

class PluginModule {
public:
    // What this build of the tool loads: its system and its word size.
    static LibraryFormat::Target nativeTarget();

    PluginModule() = default;
    ~PluginModule() { close(); }
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    // Opens the library at fullPath; false with the system's reason, the
    // file named as `name`.
    bool open(const std::string& fullPath, const std::string& name, std::string& error);
    // Checks that the file at path is a library this build can load, then
    // opens it; false with a message naming it. fullPath is what was opened.
    bool openChecked(const std::string& path, std::string& fullPath, std::string& error);
    // The exported function (or data) of that name, or null.
    void* function(const char* symbol) const;
    void close();

private:
    // The system's handle (an HMODULE or a dlopen handle).
    void* handle = nullptr;
};
