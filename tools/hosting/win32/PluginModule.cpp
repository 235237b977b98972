#include "tools/hosting/PluginModule.h"

#include <windows.h>

namespace {

std::string systemMessage(DWORD code) {
    char buffer[256] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buffer,
                                  sizeof buffer, nullptr);
    while (length > 0 && (buffer[length - 1] == '\n' || buffer[length - 1] == '\r' || buffer[length - 1] == ' ')) {
        buffer[--length] = 0;
    }
    std::string message = length > 0 ? buffer : "unknown error";
    // Some system texts expect the file name as an insert.
    size_t insert = message.find("%1");
    if (insert != std::string::npos)
        message.replace(insert, 2, "the file");
    return message + " (error " + std::to_string(code) + ")";
}

}  // namespace

LibraryFormat::Target PluginModule::nativeTarget() {
    return {LibraryFormat::System::Windows, static_cast<int>(sizeof(void*) * 8)};
}

bool PluginModule::open(const std::string& fullPath, const std::string& name, std::string& error) {
    close();
    // The altered search path lets a plug-in find DLLs that sit beside it.
    handle = LoadLibraryExA(fullPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!handle) {
        error = "cannot load plug-in '" + name + "': " + systemMessage(GetLastError());
        return false;
    }
    return true;
}

void* PluginModule::function(const char* symbol) const {
    return handle ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), symbol)) : nullptr;
}

void PluginModule::close() {
    if (handle)
        FreeLibrary(static_cast<HMODULE>(handle));
    handle = nullptr;
}
