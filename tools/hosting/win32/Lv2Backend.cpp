// lilv is a Linux library: the Windows tools host no LV2 plug-in.
#include "tools/hosting/FormatBackends.h"

std::unique_ptr<HostedPlugin> openLv2Plugin(const std::string& bundleOrUri, const PluginSetup&, std::string& error) {
    error = "cannot open '" + bundleOrUri + "': LV2 plug-ins are hosted by the Linux quavix-host only";
    return nullptr;
}
