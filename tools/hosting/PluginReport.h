// What the tool tells about a loaded plug-in before it does anything with
// it: identity, capabilities and every parameter.
#pragma once

#include <string>

#include "tools/hosting/PluginHost.h"

class PluginReport {
public:
    explicit PluginReport(PluginHost& host) : host(host) {}

    void printIdentity() const;
    void printParameters() const;
    // One parameter as "index name = read-out label (normalized)".
    std::string describeParameter(VstInt32 index) const;

    static std::string decodeFlags(VstInt32 flags);
    static std::string uniqueIdText(VstInt32 id);
    static const char* categoryName(VstIntPtr category);

private:
    void printCanDo() const;

    PluginHost& host;
};
