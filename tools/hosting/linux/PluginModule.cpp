#include "tools/hosting/PluginModule.h"

#include <dlfcn.h>

LibraryFormat::Target PluginModule::nativeTarget() {
    return {LibraryFormat::System::Linux, static_cast<int>(sizeof(void*) * 8)};
}

bool PluginModule::open(const std::string& fullPath, const std::string& name, std::string& error) {
    close();
    // Local symbols: two plug-ins built from one framework must not bind to
    // each other's functions.
    handle = dlopen(fullPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = dlerror();
        error = "cannot load plug-in '" + name + "': " + (reason ? reason : "unknown error");
        return false;
    }
    return true;
}

void* PluginModule::function(const char* symbol) const { return handle ? dlsym(handle, symbol) : nullptr; }

void PluginModule::close() {
    if (handle)
        dlclose(handle);
    handle = nullptr;
}
