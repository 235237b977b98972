// The tool's jobs, one per mode of the command line, each loading the
// plug-in, telling what it is, and then doing its work.
#pragma once

#include <string>

#include "tools/AudioClip.h"
#include "tools/CommandLine.h"
#include "tools/OfflineRenderer.h"
#include "tools/PluginHost.h"

class HostCommands {
public:
    static const int kExitDone = 0;
    static const int kExitFailed = 1;
    static const int kExitUsage = 2;

    explicit HostCommands(const HostOptions& options) : options(options) {}

    int run();

private:
    int showInfo();
    int renderDemo();
    int processFile();
    int saveEditorPicture();
    int runGui();

    // Loads and configures the plug-in, prints its identity, applies the
    // parameter settings and prints the parameters; an exit code.
    int loadPlugin(int sampleRate);
    int applyParameters();
    RenderSettings renderSettings() const;
    bool renderAndWrite(const AudioClip& input, const RenderSettings& settings, const std::string& outputPath);
    void noteChannelMapping(const AudioClip& input) const;
    int fail(const std::string& message) const;

    const HostOptions& options;
    PluginHost host;
};
