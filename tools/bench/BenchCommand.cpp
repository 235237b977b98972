#include "tools/bench/BenchCommand.h"

#include <string>

#include "tools/hosting/PluginOptions.h"

int BenchCommand::run(const BenchOptions& options) {
    PluginBench bench(options.settings);
    int status = kExitDone;
    for (const BenchEntry& entry : options.plugins) {
        std::string error;
        if (bench.add(entry, error))
            continue;
        // Without the first there is nothing to compare the others with.
        if (bench.size() == 0)
            return fail(error + "; it is the benchmark's reference, so nothing was measured");
        status = fail(error + "; measuring the others");
    }
    bench.measure();
    bench.printTable();
    return status;
}
