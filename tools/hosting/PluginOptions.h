// What every command that hosts one plug-in shares: the options that name
// it and set it up, parsed once for all of them, and loading it as every
// such command starts: in whichever format its path names, its identity
// printed, the settings applied and its parameters printed.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tools/hosting/ExitCodes.h"
#include "tools/hosting/HostedPlugin.h"

// --param INDEX=VALUE, or one pair of a benchmark's PLUGIN@INDEX=VALUE,...
// The value is a position 0..1 across the parameter's range.
struct ParameterSetting {
    int index;
    float value;
};

struct PluginOptions {
    std::string path;
    std::vector<ParameterSetting> parameters;
    int blockSize = PluginSetup::kDefaultBlockSize;
    int sampleRate = PluginSetup::kDefaultSampleRate;
    bool rateGiven = false;
};

// Loads the plug-in at that rate, prints its identity, applies the
// settings and prints the parameters; null with status set to an exit code
// when it cannot.
std::unique_ptr<HostedPlugin> loadPlugin(const PluginOptions& options, int sampleRate, int& status);
// Sets each of the settings, printing each after the indent unless it is null; false with a message naming
// the plug-in when one names no parameter.
bool applySettings(HostedPlugin& plugin, const std::vector<ParameterSetting>& settings, const char* indent,
                   std::string& error);
