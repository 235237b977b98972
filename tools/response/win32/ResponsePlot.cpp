#include "tools/response/ResponsePlot.h"

namespace {
// The Windows cross-build has no cairo to draw with.
const char* const kNoPlotting =
    "response pictures are available in the Linux build: run dist/linux-x86_64/quavix-host --response-png "
    "FILE PLUGIN on a Linux build of the plug-in";
}  // namespace

bool ResponsePlot::available(std::string& reason) {
    reason = kNoPlotting;
    return false;
}

bool ResponsePlot::write(const std::string&, const ResponseChart&, std::string& error) {
    error = kNoPlotting;
    return false;
}
