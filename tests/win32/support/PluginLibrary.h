// A plug-in library loaded the way a host loads it: by path, with its entry
// point found by name. Header-only, so that the reference and benchmark
// programs share it without joining every test program.
#pragma once

#include <windows.h>

#include "framework/VstInterface.h"

typedef AEffect*(VSTCALLBACK* PluginEntry)(audioMasterCallback audioMaster);

class PluginLibrary {
public:
    explicit PluginLibrary(const char* path) : module(path ? LoadLibraryA(path) : nullptr) {
        loadError = module ? 0 : GetLastError();
    }
    ~PluginLibrary() {
        if (module) {
            FreeLibrary(module);
        }
    }
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    bool loaded() const { return module != nullptr; }
    unsigned long error() const { return loadError; }

    // The exported function of that name as an entry point, or null.
    PluginEntry entry(const char* name) const {
        if (!module) {
            return nullptr;
        }
        void* address = reinterpret_cast<void*>(GetProcAddress(module, name));
        return reinterpret_cast<PluginEntry>(address);
    }

private:
    HMODULE module;
    unsigned long loadError;
};
