// Runs a whole clip through the plug-in block by block, as a host's offline
// render does: an event list with the controller's value before each block,
// then the block itself.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "tools/AudioClip.h"
#include "tools/MidiEventList.h"
#include "tools/PluginHost.h"

// The controller value (0..127) to send before block `block` of `numBlocks`.
using ControllerCurve = std::function<int(size_t block, size_t numBlocks)>;

struct RenderSettings {
    int blockSize = 512;
    int controller = 1;
    ControllerCurve controllerCurve;  // empty: no MIDI at all
    bool showProgress = false;
};

class OfflineRenderer {
public:
    // More channels than this is a broken record, not a plug-in.
    static const int kMaxChannels = 64;

    OfflineRenderer(PluginHost& host, RenderSettings settings);

    // The output has the plug-in's output count of channels and the input's
    // length and rate. The plug-in must be configured for the clip's rate and
    // at least this block size; it is switched on and off here.
    bool render(const AudioClip& input, AudioClip& output, std::string& error);

    // A straight controller move from start to end, reaching end on the last block.
    static ControllerCurve linearSweep(int start, int end);

private:
    void allocate(int numInputs, int numOutputs);
    void fillInputs(const AudioClip& input, size_t start, int frames);
    void sendController(size_t block, size_t numBlocks);
    void showProgress(size_t done, size_t total);

    PluginHost& host;
    RenderSettings settings;
    MidiEventList midi;
    std::vector<std::vector<float>> inputBuffers;
    std::vector<std::vector<float>> outputBuffers;
    std::vector<float*> inputPointers;
    std::vector<float*> outputPointers;
    int lastPercent = -1;
};
