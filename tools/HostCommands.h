// The tool's jobs, one per mode of the command line, each loading the
// plug-in, telling what it is, and then doing its work.
#pragma once

#include <string>

#include "tools/CommandLine.h"
#include "tools/OfflineRenderer.h"
#include "tools/PluginHost.h"

class WavReader;

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
    int saveResponsePicture();
    int runGui();
    int runBench();

    // Loads and configures the plug-in, prints its identity, applies the
    // parameter settings and prints the parameters; an exit code.
    int loadPlugin(int sampleRate);
    int applyParameters();
    RenderSettings renderSettings() const;
    void printInputNotes(const WavReader& input) const;
    int renderToFile(const BlockSource& source, int inputChannels, size_t numFrames, int sampleRate,
                     const RenderSettings& settings, const std::string& outputPath);
    int fail(const std::string& message) const;

    const HostOptions& options;
    PluginHost host;
};
