// Prints the digest of the reference run on one line: through the effect
// linked into this program, or, given a library path (Windows build), through
// that library's exported entry point as a host would load it.
#include <cinttypes>
#include <cstdio>

#include "tests/reference/EffectSource.h"
#include "tests/reference/ReferenceSignal.h"

namespace {

int printDigest(AEffect* effect, const char* /*what*/) {
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

int main(int argc, char** argv) { return reference::withEffect(argc, argv, "quavix_reference", printDigest); }
