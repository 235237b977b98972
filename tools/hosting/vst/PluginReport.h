// What a VST 2.4 plug-in's record and dispatcher tell of it beyond name and
// vendor, as text: the lines --info prints under the identity, and the
// flag, category and ID texts the validator's figures use.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tools/hosting/vst/PluginHost.h"

class PluginReport {
public:
    explicit PluginReport(PluginHost& host) : host(host) {}

    // Label and text, one pair a line.
    std::vector<std::pair<std::string, std::string>> details() const;

    static std::string decodeFlags(VstInt32 flags);
    static std::string uniqueIdText(VstInt32 id);
    static const char* categoryName(VstIntPtr category);

private:
    PluginHost& host;
};
