// --bench: the processing cost of plug-ins side by side.
#pragma once

#include <vector>

#include "tools/bench/PluginBench.h"

struct BenchOptions {
    std::vector<BenchEntry> plugins;  // PLUGIN[@SETTINGS] ...
    BenchSettings settings;           // --rate, --block and --rounds
};

class BenchCommand {
public:
    // Measures every plug-in that takes part; an exit code.
    static int run(const BenchOptions& options);
};
