// Whether two plug-ins, of any formats, sound the same to the bit: each
// plays the stimulus from a fresh start, and every output sample of one is
// held against the other's.
#pragma once

#include <string>
#include <vector>

#include "tools/compare/CompareStimulus.h"
#include "tools/hosting/HostedPlugin.h"

struct ComparisonResult {
    long samples = 0;
    long differing = 0;
    int firstFrame = 0;
    int firstChannel = 0;
    float first[2] = {0.0f, 0.0f};  // the two plug-ins' samples there

    // The last line --compare prints.
    std::string line() const;
};

class PluginComparison {
public:
    // Why the two cannot be compared (their audio ports or parameter counts
    // differ), or empty.
    static std::string mismatch(HostedPlugin& a, HostedPlugin& b);
    // Both started, played and stopped here.
    static ComparisonResult compare(HostedPlugin& a, HostedPlugin& b, const CompareStimulus& stimulus);
    // Each output channel, whole, as the plug-in played the stimulus.
    static std::vector<std::vector<float>> render(HostedPlugin& plugin, const CompareStimulus& stimulus);
};
