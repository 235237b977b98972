// The texts an option's value is written in: numbers within a range,
// parameter settings and sweeps. Each is false for a text that is not
// wholly of its form or lies outside the range.
#pragma once

#include <string>
#include <vector>

#include "tools/hosting/PluginOptions.h"
#include "tools/render/RenderCommands.h"
#include "tools/response/ResponseCommand.h"

class ValueParsing {
public:
    static bool integer(const char* text, int low, int high, int& result);
    static bool real(const char* text, double low, double high, double& result);
    static bool seed(const char* text, unsigned long long& result);
    // "INDEX=VALUE", the value 0..1
    static bool parameter(const std::string& text, ParameterSetting& setting);
    // "0=0.5,3=1"
    static bool settingList(const std::string& text, std::vector<ParameterSetting>& settings);
    // "INDEX=FROM:TO:COUNT", COUNT 1..mostSteps
    static bool parameterSweep(const std::string& text, int mostSteps, ParameterSweep& sweep);
    // "START:END", controller values 0..127
    static bool controllerSweep(const std::string& text, RenderOptions& options);
};
