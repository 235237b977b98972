// What the tool tells about a loaded plug-in of any format before it does
// anything with it: its identity, the format's own details, and every
// parameter with its range, default and read-out.
#pragma once

#include <string>

#include "tools/hosting/HostedPlugin.h"

class PluginSummary {
public:
    explicit PluginSummary(HostedPlugin& plugin) : plugin(plugin) {}

    void printIdentity() const;
    void printParameters() const;
    // One parameter as `index "name" = read-out (value)`.
    std::string describeParameter(int index) const;

private:
    HostedPlugin& plugin;
};
