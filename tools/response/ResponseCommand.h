// --response-png: a plug-in's magnitude response measured and drawn, at
// the settings the sweeps ask for.
#pragma once

#include <string>
#include <vector>

#include "tools/hosting/PluginOptions.h"
#include "tools/response/ResponsePlot.h"

// --sweep-param INDEX=FROM:TO:COUNT: COUNT values evenly from FROM to TO.
struct ParameterSweep {
    int index;
    float from;
    float to;
    int count;

    float valueAt(int step) const {
        return count > 1 ? static_cast<float>(from + (to - from) * static_cast<double>(step) / (count - 1)) : from;
    }
};

// The curves the sweeps make together, one for every combination; stops
// counting past what one picture can show, so no product overflows.
inline size_t curveCount(const std::vector<ParameterSweep>& sweeps) {
    const size_t most = static_cast<size_t>(ResponsePlot::kMaxCurves);
    size_t curves = 1;
    for (const ParameterSweep& sweep : sweeps) {
        curves *= static_cast<size_t>(sweep.count);
        if (curves > most)
            return most + 1;
    }
    return curves;
}

// Why one picture cannot show that many curves, or empty when it can.
inline std::string tooManyCurves(const std::vector<ParameterSweep>& sweeps) {
    if (curveCount(sweeps) <= static_cast<size_t>(ResponsePlot::kMaxCurves))
        return "";
    return "the sweeps make more than the " + std::to_string(ResponsePlot::kMaxCurves) + " curves one picture can show";
}

struct ResponseOptions {
    PluginOptions plugin;
    std::string pngPath;                 // --response-png FILE
    std::vector<ParameterSweep> sweeps;  // --sweep-param
    // Parameters whose starting read-out the picture names (--show-param).
    std::vector<int> shownParameters;
};

class ResponseCommand {
public:
    // An exit code.
    static int run(const ResponseOptions& options);
};
