#include "tools/response/ResponseCommand.h"

#include <cstdio>

#include "tools/hosting/FilePaths.h"
#include "tools/response/ResponsePicture.h"
#include "tools/response/ResponsePlot.h"

int ResponseCommand::run(const ResponseOptions& options) {
    PluginHost host;
    std::string error;
    if (!ResponsePlot::available(error))
        return fail(error);
    if (FilePaths::sameFile(options.pngPath, options.plugin.path)) {
        return fail("refusing to write '" + options.pngPath + "': it is the plug-in '" + options.plugin.path + "'");
    }
    int status = loadPlugin(host, options.plugin, options.plugin.sampleRate);
    if (status != kExitDone)
        return status;
    ResponsePicture picture(host, options);
    if (!picture.plan(error)) {
        std::fflush(stdout);
        std::fprintf(stderr, "quavix-host: %s\n", error.c_str());
        return kExitUsage;
    }
    return picture.draw(error) ? kExitDone : fail(error);
}
