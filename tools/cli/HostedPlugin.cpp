#include "tools/cli/HostedPlugin.h"

#include <cstdio>

#include "tools/hosting/PluginReport.h"

namespace {

int applyParameters(PluginHost& host, const PluginOptions& options) {
    PluginReport report(host);
    for (const ParameterSetting& setting : options.parameters) {
        if (setting.index >= host.record()->numParams) {
            std::fflush(stdout);
            std::fprintf(stderr, "quavix-host: parameter index %d out of range: '%s' has %d parameters\n",
                         setting.index, options.path.c_str(), host.record()->numParams);
            return kExitUsage;
        }
        host.setParameter(setting.index, setting.value);
        std::printf("Set parameter %s\n", report.describeParameter(setting.index).c_str());
    }
    return kExitDone;
}

}  // namespace

int loadPlugin(PluginHost& host, const PluginOptions& options, int sampleRate) {
    std::string error;
    host.configure(sampleRate, options.blockSize);
    if (!host.load(options.path, error))
        return fail(error);
    PluginReport(host).printIdentity();
    int status = applyParameters(host, options);
    if (status == kExitDone)
        PluginReport(host).printParameters();
    return status;
}

int fail(const std::string& message) {
    std::fflush(stdout);
    std::fprintf(stderr, "quavix-host: %s\n", message.c_str());
    return kExitFailed;
}
