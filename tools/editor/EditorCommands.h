// The commands that host a plug-in's editor: a picture of it (--editor-png)
// and a window a user can play with (--gui).
#pragma once

#include <string>

#include "tools/hosting/PluginOptions.h"

struct EditorPictureOptions {
    PluginOptions plugin;
    std::string pngPath;  // --editor-png FILE
    double scale = 0.0;   // --scale; 0: the host says nothing of it
};

struct GuiOptions {
    PluginOptions plugin;
    double closeAfterSeconds = 0.0;  // --close-after; 0: the window stays until closed
    double scale = 0.0;              // as for the picture
};

class EditorCommands {
public:
    // Each an exit code.
    static int savePicture(const EditorPictureOptions& options);
    static int runGui(const GuiOptions& options);
};
