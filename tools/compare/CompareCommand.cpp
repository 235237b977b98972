#include "tools/compare/CompareCommand.h"

#include <cstdio>
#include <memory>

#include "tools/compare/PluginComparison.h"
#include "tools/hosting/PluginLoader.h"
#include "tools/hosting/ExitCodes.h"

namespace {

std::unique_ptr<HostedPlugin> opened(const std::string& path, std::string& error) {
    std::unique_ptr<HostedPlugin> plugin =
        PluginLoader::open(path, {CompareStimulus::kSampleRate, CompareStimulus::kMaxBlock}, error);
    if (plugin)
        std::printf("%s: \"%s\", %s\n", path.c_str(), plugin->name().c_str(), formatName(plugin->format()));
    return plugin;
}

}  // namespace

int CompareCommand::run(const CompareOptions& options) {
    std::string error;
    std::unique_ptr<HostedPlugin> first = opened(options.first, error);
    std::unique_ptr<HostedPlugin> second = first ? opened(options.second, error) : nullptr;
    if (!second)
        return fail(error);
    error = PluginComparison::mismatch(*first, *second);
    if (!error.empty())
        return fail(error);
    for (int index = 0; index < first->parameterCount(); ++index) {
        const std::string a = first->parameterInfo(index).name, b = second->parameterInfo(index).name;
        if (a != b)
            std::printf("Note: parameter %d is \"%s\" in one and \"%s\" in the other\n", index, a.c_str(), b.c_str());
    }
    const CompareStimulus stimulus(first->parameterCount());
    std::printf(
        "Stimulus: %d frames at %d Hz in %lu blocks of 1 to %d frames: noise with parameter changes, "
        "silence, impulses, noise with controller sweeps\n",
        stimulus.frames(), CompareStimulus::kSampleRate, static_cast<unsigned long>(stimulus.blocks().size()),
        CompareStimulus::kMaxBlock);
    const ComparisonResult result = PluginComparison::compare(*first, *second, stimulus);
    std::printf("%s\n", result.line().c_str());
    return result.differing == 0 ? kExitDone : kExitFailed;
}
