// A plug-in of any format, by the path or URI the user gives: the format
// follows from it (a .clap file, a .lv2 bundle folder or an LV2 URI, any
// other file a VST 2.4 library), and an unknown or broken one is refused
// with a message that names it.
#pragma once

#include <memory>
#include <string>

#include "tools/hosting/HostedPlugin.h"

class PluginLoader {
public:
    static PluginFormat formatOf(const std::string& path);
    // Why a command that hosts VST 2.4 plug-ins only cannot take the one at
    // that path, or empty.
    static std::string vstOnly(const std::string& path, const char* command);
    // Why a command that opens editors cannot take the one at that path (its
    // format's editors are not hosted), or empty.
    static std::string withoutEditors(const std::string& path, const char* command);
    // Null with the reason when it cannot be loaded.
    static std::unique_ptr<HostedPlugin> open(const std::string& path, const PluginSetup& setup, std::string& error);
};
