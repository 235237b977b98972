// Runs audio through the plug-in block by block, as a host's offline render
// does: an event list with the controller's value before each block, then
// the block itself. Input comes from a source and output goes to a sink one
// block at a time, so a file of any length streams through.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "tools/media/AudioClip.h"
#include "tools/hosting/HostedPlugin.h"

// The controller value (0..127) to send before block `block` of `numBlocks`.
using ControllerCurve = std::function<int(size_t block, size_t numBlocks)>;
// Fills the start of each of block's channels with the next `frames` frames.
using BlockSource = std::function<bool(AudioClip& block, int frames, std::string& error)>;
// Takes the start of each of block's channels as the next `frames` frames.
using BlockSink = std::function<bool(const AudioClip& block, int frames, std::string& error)>;

struct RenderSettings {
    // The modulation wheel.
    static constexpr int kDefaultController = 1;

    int blockSize = PluginSetup::kDefaultBlockSize;
    int controller = kDefaultController;
    ControllerCurve controllerCurve;  // empty: no MIDI at all
    bool showProgress = false;
};

class OfflineRenderer {
public:
    // More channels than this is a broken record, not a plug-in.
    static const int kMaxChannels = 64;
    // On the first MIDI channel.
    static const uint8_t kControlChange = 0xB0;

    OfflineRenderer(HostedPlugin& host, RenderSettings settings);

    // False, with a message naming the plug-in, for channel counts no
    // render can use.
    bool checkChannels(std::string& error) const;
    // Sends numFrames frames of inputChannels channels (1 or 2) from source
    // through the plug-in to sink, which gets the plug-in's output count of
    // channels. The plug-in must be configured for the audio's rate and at
    // least this block size; it is switched on and off here.
    bool render(int inputChannels, size_t numFrames, const BlockSource& source, const BlockSink& sink,
                std::string& error);

    // A straight controller move from start to end, reaching end on the last block.
    static ControllerCurve linearSweep(int start, int end);
    // Reads a clip held in memory from its start; the clip must outlive it.
    static BlockSource clipSource(const AudioClip& clip);
    // How audio of fileChannels meets the plug-in's inputs and outputs, for
    // every case other than one to one; empty for that.
    static std::string describeRouting(int fileChannels, int numInputs, int numOutputs);

private:
    bool renderBlock(size_t block, size_t numBlocks, int frames, const BlockSource& source, const BlockSink& sink,
                     std::string& error);
    void allocate(int inputChannels, int numInputs, int numOutputs);
    void fillInputs(int frames);
    void sendController(size_t block, size_t numBlocks);
    void showProgress(size_t done, size_t total);

    HostedPlugin& host;
    RenderSettings settings;
    AudioClip sourceBlock;
    AudioClip inputBlock;
    AudioClip outputBlock;
    std::vector<float*> inputPointers;
    std::vector<float*> outputPointers;
    int lastPercent = -1;
};
