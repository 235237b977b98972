#include "tools/response/ResponseCommand.h"

#include <cstdio>

#include "tools/hosting/FilePaths.h"
#include "tools/response/ResponsePicture.h"
#include "tools/response/ResponsePlot.h"

int ResponseCommand::run(const ResponseOptions& options) {
    std::string error;
    if (!ResponsePlot::available(error))
        return fail(error);
    if (FilePaths::sameFile(options.pngPath, options.plugin.path)) {
        return fail("refusing to write '" + options.pngPath + "': it is the plug-in '" + options.plugin.path + "'");
    }
    int status = kExitDone;
    std::unique_ptr<HostedPlugin> plugin = loadPlugin(options.plugin, options.plugin.sampleRate, status);
    if (!plugin)
        return status;
    ResponsePicture picture(*plugin, options);
    if (!picture.plan(error))
        return refuse(error);
    return picture.draw(error) ? kExitDone : fail(error);
}
