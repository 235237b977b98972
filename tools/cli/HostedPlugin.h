// What every command that hosts one plug-in shares: the options that name
// it and set it up, parsed once for all of them, and loading it as every
// such command starts: configured, its identity printed, the settings
// applied and its parameters printed.
#pragma once

#include <string>
#include <vector>

#include "tools/cli/ExitCodes.h"
#include "tools/hosting/PluginHost.h"

// --param INDEX=VALUE, or one pair of a benchmark's PLUGIN@INDEX=VALUE,...
struct ParameterSetting {
    int index;
    float value;
};

struct PluginOptions {
    std::string path;
    std::vector<ParameterSetting> parameters;
    int blockSize = PluginHost::kDefaultBlockSize;
    int sampleRate = PluginHost::kDefaultSampleRate;
    bool rateGiven = false;
};

// Loads and configures the plug-in at that rate, prints its identity,
// applies the settings and prints the parameters; an exit code.
int loadPlugin(PluginHost& host, const PluginOptions& options, int sampleRate);
// Prints the message after everything printed before it; kExitFailed.
int fail(const std::string& message);
