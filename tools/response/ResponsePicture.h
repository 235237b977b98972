// The --response-png job on a loaded plug-in: which settings to draw (the
// sweeps asked for; for Quavix, when nothing is asked, its three corners at
// each peak setting), their names in the plug-in's own read-outs, the
// measurements and what they say, and the picture.
#pragma once

#include <string>
#include <vector>

#include "tools/hosting/HostedPlugin.h"
#include "tools/response/ResponseCommand.h"
#include "tools/response/ResponsePlot.h"

class ResponsePicture {
public:
    ResponsePicture(HostedPlugin& host, const ResponseOptions& options);

    // False, with a message, for settings no picture can show: a parameter
    // the plug-in does not have, or more curves than the legend holds.
    bool plan(std::string& error);
    // Measures every setting, prints what it found and writes the picture.
    bool draw(std::string& error);

    // A read-out as a reader wants it: a number without trailing zeros,
    // then whatever follows it (the unit); the value itself when empty.
    static std::string readOut(const std::string& shown, double value);

private:
    struct Setting {
        std::vector<ParameterSetting> values;
        int family;
        int shade;
    };

    std::string legendHeading() const;
    // A parameter's read-out as the plug-in shows it now, after its name if asked.
    std::string describe(const ParameterSetting& setting, bool withName);
    std::string curveLabel(const Setting& setting);
    // The command line's settings that no sweep changes, for the picture; empty without any.
    std::string fixedSettings();
    std::string title() const;
    std::string subtitle(double disagreement) const;

    HostedPlugin& host;
    const ResponseOptions& options;
    std::vector<ParameterSweep> sweeps;
    std::vector<Setting> settings;
};
