#include "tools/hosting/PluginSummary.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

}  // namespace

void PluginSummary::printIdentity() const {
    std::vector<std::pair<std::string, std::string>> lines = {{"Plug-in", plugin.path()},
                                                              {"Format", formatName(plugin.format())},
                                                              {"Name", plugin.name()},
                                                              {"Vendor", plugin.vendor()}};
    const std::vector<std::pair<std::string, std::string>> details = plugin.formatDetails();
    lines.insert(lines.end(), details.begin(), details.end());
    size_t width = 0;
    for (const std::pair<std::string, std::string>& line : lines)
        width = std::max(width, line.first.size());
    for (const std::pair<std::string, std::string>& line : lines)
        std::printf("%-*s %s\n", static_cast<int>(width), line.first.c_str(), line.second.c_str());
    std::printf("Ports: parameters %d, inputs %d, outputs %d\n", plugin.parameterCount(), plugin.inputCount(),
                plugin.outputCount());
}

std::string PluginSummary::describeParameter(int index) const {
    const ParameterInfo info = plugin.parameterInfo(index);
    char value[32];
    std::snprintf(value, sizeof value, "%f", plugin.parameterValue(index));
    return std::to_string(index) + " \"" + info.name + "\" = " + plugin.readOut(index) + " (" + value + ")";
}

void PluginSummary::printParameters() const {
    std::printf("Parameters\n");
    std::printf("  %5s  %-24s %-16s %-9s %-16s %s\n", "index", "name", "range", "default", "read-out", "value");
    for (int index = 0; index < plugin.parameterCount(); ++index) {
        const ParameterInfo info = plugin.parameterInfo(index);
        const std::string range = number(info.minimum) + ".." + number(info.maximum) + (info.stepped ? " whole" : "");
        std::printf("  %5d  %-24s %-16s %-9s %-16s %f\n", index, info.name.c_str(), range.c_str(),
                    number(info.defaultValue).c_str(), plugin.readOut(index).c_str(), plugin.parameterValue(index));
    }
    std::fflush(stdout);
}
