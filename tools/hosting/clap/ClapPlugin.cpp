#include "tools/hosting/FormatBackends.h"

std::unique_ptr<HostedPlugin> openClapPlugin(const std::string& path, const PluginSetup&, std::string& error) {
    error = "cannot open '" + path + "': this quavix-host hosts no CLAP plug-ins yet";
    return nullptr;
}
