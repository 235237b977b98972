// --stress: a session's load on one plug-in (many instances on their own
// audio threads at 48 kHz in blocks of 64, automation on every parameter
// from another thread, control changes in every block, one editor open),
// and what it costs: time per block, deadline misses, allocations and
// locks on the audio threads, and memory.
#pragma once

#include <string>

struct StressOptions {
    static constexpr int kDefaultInstances = 64;
    static constexpr double kDefaultSeconds = 10;

    std::string pluginPath;
    int instances = kDefaultInstances;  // --instances
    double seconds = kDefaultSeconds;   // --seconds
};

class StressCommand {
public:
    // Runs the session and prints its figures; an exit code.
    static int run(const StressOptions& options);
};
