// Where a measuring program gets its effect: without an argument, the effect
// linked into the program; in the Windows build, given a library path, that
// library's exported entry point as a host would load it.
#pragma once

#include <cstdio>

#include "host/Entry.h"
#include "tests/reference/ReferenceSignal.h"

#if defined(_WIN32)
#include "tests/win32/support/PluginLibrary.h"
#endif

namespace reference {

// Calls work(effect, description) and answers its exit code; 1 when the
// library does not load, 2 for a path given to a build that cannot load one.
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
    (void)argv;
    std::fprintf(stderr, "%s: loading a library works only in the Windows build\n", program);
    return 2;
#endif
}

}  // namespace reference
