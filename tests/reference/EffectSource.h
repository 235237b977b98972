// Where a measuring program gets its effect: without an argument, the effect
// linked into the program; given a library path (a DLL on Windows, a shared
// object on Linux), that library's exported entry point as a host would load
// it.
#pragma once

#include <cstdio>

#include "framework/Entry.h"
#include "tests/reference/ReferenceSignal.h"

#if defined(_WIN32)
#include "tests/win32/support/PluginLibrary.h"
#else
#include <dlfcn.h>
#endif

namespace reference {

// Calls work(effect, description) and answers its exit code; 1 when the
// library does not load or has no entry point.
template <typename Work>
int withEffect(int argc, char** argv, const char* program, Work work) {
    if (argc < 2) {
        return work(VSTPluginMain(&host), "effect in this program");
    }
#if defined(_WIN32)
    PluginLibrary library(argv[1]);
    const PluginEntry entry = library.entry("VSTPluginMain");
    if (!entry) {
        std::fprintf(stderr, "%s: cannot load %s (error %lu)\n", program, argv[1], library.error());
        return 1;
    }
    return work(entry(&host), argv[1]);
#else
    void* library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    void* entry = library ? dlsym(library, "VSTPluginMain") : nullptr;
    if (!entry) {
        std::fprintf(stderr, "%s: cannot load %s (%s)\n", program, argv[1], dlerror());
        if (library) {
            dlclose(library);
        }
        return 1;
    }
    const int status = work(reinterpret_cast<AEffect* (*)(audioMasterCallback)>(entry)(&host), argv[1]);
    dlclose(library);
    return status;
#endif
}

}  // namespace reference
