// Prints the digest of the reference run on one line: through the effect
// linked into this program, or, given a library path (Windows build), through
// that library's exported entry point as a host would load it.
#include <cinttypes>
#include <cstdio>

#include "host/Entry.h"
#include "tests/reference/ReferenceSignal.h"

#if defined(_WIN32)
#include "tests/win32/support/PluginLibrary.h"
#endif

namespace {

int printDigest(AEffect* effect) {
    if (!effect) {
        std::fprintf(stderr, "quavix_reference: the entry point returned no effect\n");
        return 1;
    }
    const uint64_t digest = reference::renderDigest(effect);
    reference::dispatch(effect, effClose);
    std::printf("%016" PRIx64 "\n", digest);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return printDigest(VSTPluginMain(&reference::host));
    }
#if defined(_WIN32)
    PluginLibrary library(argv[1]);
    const PluginEntry entry = library.entry("VSTPluginMain");
    if (!entry) {
        std::fprintf(stderr, "quavix_reference: cannot load %s (error %lu)\n", argv[1], library.error());
        return 1;
    }
    return printDigest(entry(&reference::host));
#else
    (void)argv;
    std::fprintf(stderr, "quavix_reference: loading a library works only in the Windows build\n");
    return 2;
#endif
}
