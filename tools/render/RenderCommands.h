// The commands that run audio through a plug-in or only tell what it is:
// --info, the built-in demo, and a WAV file processed into another.
#pragma once

#include <string>

#include "tools/hosting/PluginOptions.h"
#include "tools/render/OfflineRenderer.h"

// How the audio goes through: block size aside (the plug-in's options),
// the controller that moves and how, and the output's sample format.
struct RenderOptions {
    int controller = RenderSettings::kDefaultController;  // --cc
    bool sweep = false;                                   // --sweep START:END
    int sweepStart = 0;
    int sweepEnd = HostedPlugin::kHighestController;
    bool pcm16 = false;  // --pcm16
};

struct DemoOptions {
    static constexpr const char* kDefaultOutputPath = "quavix-demo.wav";

    PluginOptions plugin;
    RenderOptions render;
    std::string outputPath = kDefaultOutputPath;  // --demo-out
};

struct FileOptions {
    PluginOptions plugin;
    RenderOptions render;
    std::string inputPath;
    std::string outputPath;
};

class RenderCommands {
public:
    // Each an exit code.
    static int showInfo(const PluginOptions& options);
    static int renderDemo(const DemoOptions& options);
    static int processFile(const FileOptions& options);
};
