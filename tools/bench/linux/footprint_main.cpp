// quavix-footprint [--instances N] [--scans N] PLUGIN...: what each plug-in
// costs a host at load, beside the first (see FootprintBench.h).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/bench/linux/FootprintBench.h"

namespace {

const char* const kUsage =
    "usage: quavix-footprint [--instances N] [--scans N] PLUGIN...\n"
    "  binary size, memory per instance beyond the first (N of them, 100 by default),\n"
    "  and the median of N cold scans (21 by default), each plug-in beside the first\n";

bool count(const char* text, int& value) {
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (!*text || *end || parsed < 1 || parsed > 10000)
        return false;
    value = int(parsed);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    FootprintOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--instances" || argument == "--scans") {
            int& value = argument == "--scans" ? options.scans : options.instances;
            if (i + 1 >= argc || !count(argv[++i], value)) {
                std::fprintf(stderr, "quavix-footprint: %s needs a count from 1 to 10000\n%s", argument.c_str(),
                             kUsage);
                return 2;
            }
        } else if (argument.rfind("--", 0) == 0) {
            std::fprintf(stderr, "quavix-footprint: unknown option %s\n%s", argument.c_str(), kUsage);
            return 2;
        } else {
            options.plugins.push_back(argument);
        }
    }
    if (options.plugins.empty()) {
        std::fprintf(stderr, "quavix-footprint: no plug-in given\n%s", kUsage);
        return 2;
    }
    FootprintBench bench(options);
    if (bench.run())
        return 0;
    std::fprintf(stderr, "quavix-footprint: %s could not be measured\n", options.plugins.front().c_str());
    return 1;
}
