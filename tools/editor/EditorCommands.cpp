#include "tools/editor/EditorCommands.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "tools/hosting/EditorWindow.h"
#include "tools/media/PngFile.h"

namespace {
// Long enough for an editor to create its views and paint them.
const unsigned kEditorPaintMilliseconds = 1000;
}  // namespace

int EditorCommands::savePicture(const EditorPictureOptions& options) {
    PluginHost host;
    std::string unavailable;
    if (!EditorWindow::available(unavailable))
        return fail(unavailable);
    int status = loadPlugin(host, options.plugin, options.plugin.sampleRate);
    if (status != kExitDone)
        return status;
    host.start();
    EditorWindow window(host, EditorWindow::Kind::Popup);
    std::string error;
    if (!window.open(error))
        return fail(error);
    window.pump(kEditorPaintMilliseconds);
    window.settle();
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    if (!window.capture(width, height, rgb, error))
        return fail(error);
    window.close();
    if (!PngFile::write(options.pngPath, width, height, rgb, error))
        return fail(error);
    std::printf("Wrote %s (the editor, %d x %d pixels)\n", options.pngPath.c_str(), width, height);
    return kExitDone;
}

int EditorCommands::runGui(const GuiOptions& options) {
    PluginHost host;
    std::string unavailable;
    if (!EditorWindow::available(unavailable))
        return fail(unavailable);
    int status = loadPlugin(host, options.plugin, options.plugin.sampleRate);
    if (status != kExitDone)
        return status;
    host.start();
    EditorWindow window(host, EditorWindow::Kind::Captioned);
    std::string error;
    if (!window.open(error))
        return fail(error);
    std::printf("Editor open; parameter changes are printed as they come. Close the window to quit.\n");
    std::fflush(stdout);
    window.runUntilClosed(options.closeAfterSeconds);
    window.close();
    host.close();
    std::printf("Editor and plug-in closed\n");
    return kExitDone;
}
