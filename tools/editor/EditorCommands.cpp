#include "tools/editor/EditorCommands.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "tools/hosting/EditorWindow.h"
#include "tools/media/PngFile.h"

namespace {
// Long enough for an editor to create its views and paint them.
const unsigned kEditorPaintMilliseconds = 1000;

// The plug-in loaded and started as a host has it before opening its editor,
// told the display's scale when one is given; first of all, whether this
// system can show an editor at all.
// The command line lets only plug-ins of formats whose editors it hosts this far.
int startedForEditor(std::unique_ptr<HostedPlugin>& plugin, const PluginOptions& options, double scale) {
    std::string unavailable;
    if (!EditorWindow::available(unavailable))
        return fail(unavailable);
    int status = kExitDone;
    plugin = loadPlugin(options, options.sampleRate, status);
    if (!plugin)
        return status;
    plugin->start();
    if (scale > 0.0) {
        if (plugin->editor()->setScale(scale))
            std::printf("Scale %g sent to the editor\n", scale);
        else
            std::printf("The plug-in did not take the scale %g; its editor opens at its own size\n", scale);
    }
    return kExitDone;
}
}  // namespace

int EditorCommands::savePicture(const EditorPictureOptions& options) {
    std::unique_ptr<HostedPlugin> plugin;
    const int status = startedForEditor(plugin, options.plugin, options.scale);
    if (status != kExitDone)
        return status;
    EditorWindow window(*plugin->editor(), EditorWindow::Kind::Popup);
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
    std::unique_ptr<HostedPlugin> plugin;
    const int status = startedForEditor(plugin, options.plugin, options.scale);
    if (status != kExitDone)
        return status;
    EditorWindow window(*plugin->editor(), EditorWindow::Kind::Captioned);
    std::string error;
    if (!window.open(error))
        return fail(error);
    std::printf("Editor open; parameter changes are printed as they come. Close the window to quit.\n");
    std::fflush(stdout);
    window.runUntilClosed(options.closeAfterSeconds);
    window.close();
    plugin.reset();
    std::printf("Editor and plug-in closed\n");
    return kExitDone;
}
