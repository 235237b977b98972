#include "tools/response/ResponseCommand.h"

#include <cstdio>

#include "tools/hosting/FilePaths.h"
#include "tools/response/ResponsePicture.h"
#include "tools/response/ResponsePlot.h"

size_t curveCount(const std::vector<ParameterSweep>& sweeps) {
    size_t curves = 1;
    for (const ParameterSweep& sweep : sweeps) {
        curves *= static_cast<size_t>(sweep.count);
        if (curves > static_cast<size_t>(ResponsePlot::kMaxCurves))
            return static_cast<size_t>(ResponsePlot::kMaxCurves) + 1;
    }
    return curves;
}

std::string tooManyCurves(const std::vector<ParameterSweep>& sweeps) {
    if (curveCount(sweeps) <= static_cast<size_t>(ResponsePlot::kMaxCurves))
        return "";
    return "the sweeps make more than the " + std::to_string(ResponsePlot::kMaxCurves) + " curves one picture can show";
}

int ResponseCommand::run(const ResponseOptions& options) {
    std::string error;
    if (!ResponsePlot::available(error))
        return fail(error);
    if (FilePaths::sameFile(options.pngPath, options.plugin.path)) {
        return fail("refusing to write '" + options.pngPath + "': it is the plug-in '" + options.plugin.path + "'");
    }
    int status = kExitDone;
    // The command line lets only VST 2.4 plug-ins this far.
    std::unique_ptr<HostedPlugin> plugin = loadPlugin(options.plugin, options.plugin.sampleRate, status);
    if (!plugin)
        return status;
    ResponsePicture picture(*plugin->vstHost(), options);
    if (!picture.plan(error))
        return refuse(error);
    return picture.draw(error) ? kExitDone : fail(error);
}
