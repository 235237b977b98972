#include "tools/hosting/PluginOptions.h"

#include <cstdio>

#include "tools/hosting/PluginLoader.h"
#include "tools/hosting/PluginSummary.h"

bool applySettings(HostedPlugin& plugin, const std::vector<ParameterSetting>& settings, const char* indent,
                   std::string& error) {
    PluginSummary summary(plugin);
    for (const ParameterSetting& setting : settings) {
        if (setting.index >= plugin.parameterCount()) {
            error = "parameter index " + std::to_string(setting.index) + " out of range: '" + plugin.path() + "' has " +
                    std::to_string(plugin.parameterCount()) + " parameters";
            return false;
        }
        plugin.setPosition(setting.index, setting.value);
        if (indent)
            std::printf("%sSet parameter %s\n", indent, summary.describeParameter(setting.index).c_str());
    }
    return true;
}

std::unique_ptr<HostedPlugin> loadPlugin(const PluginOptions& options, int sampleRate, int& status) {
    std::string error;
    std::unique_ptr<HostedPlugin> plugin = PluginLoader::open(options.path, {sampleRate, options.blockSize}, error);
    if (!plugin) {
        status = fail(error);
        return nullptr;
    }
    PluginSummary summary(*plugin);
    summary.printIdentity();
    if (!applySettings(*plugin, options.parameters, "", error)) {
        status = refuse(error);
        return nullptr;
    }
    summary.printParameters();
    status = kExitDone;
    return plugin;
}

int fail(const std::string& message) {
    std::fflush(stdout);
    std::fprintf(stderr, "quavix-host: %s\n", message.c_str());
    return kExitFailed;
}

int refuse(const std::string& message) {
    fail(message);
    return kExitUsage;
}
