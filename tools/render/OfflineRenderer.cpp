#include "tools/render/OfflineRenderer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {
// About 20 s at 48 kHz: anything shorter is done before a reader could follow.
const size_t kProgressMinFrames = 1000000;
}  // namespace

OfflineRenderer::OfflineRenderer(HostedPlugin& host, RenderSettings settings)
    : host(host), settings(std::move(settings)) {}

ControllerCurve OfflineRenderer::linearSweep(int start, int end) {
    return [start, end](size_t block, size_t numBlocks) {
        double position = numBlocks > 1 ? static_cast<double>(block) / static_cast<double>(numBlocks - 1) : 0.0;
        return static_cast<int>(std::lround(start + (end - start) * position));
    };
}

BlockSource OfflineRenderer::clipSource(const AudioClip& clip) {
    size_t position = 0;
    return [&clip, position](AudioClip& block, int frames, std::string&) mutable {
        for (int channel = 0; channel < clip.numChannels(); ++channel) {
            std::copy_n(clip.channels[channel].begin() + position, frames, block.channels[channel].begin());
        }
        position += frames;
        return true;
    };
}

std::string OfflineRenderer::describeRouting(int fileChannels, int numInputs, int numOutputs) {
    std::string inputs;
    if (numInputs == 0) {
        inputs = "the plug-in takes no input: the file gives only the length";
    } else if (fileChannels == 1 && numInputs > 1) {
        inputs = "the mono input feeds " + (numInputs == 2 ? std::string("both") : "all " + std::to_string(numInputs)) +
                 " plug-in inputs";
    } else if (fileChannels == 2 && numInputs == 1) {
        inputs = "the stereo input is mixed to the plug-in's one input";
    } else if (fileChannels == 2 && numInputs > 2) {
        inputs = "plug-in inputs 3 to " + std::to_string(numInputs) + " get silence";
    }
    if (numOutputs == fileChannels)
        return inputs;
    return (inputs.empty() ? "" : inputs + "; ") + "the output is " + AudioClip::layoutName(numOutputs);
}

bool OfflineRenderer::checkChannels(std::string& error) const {
    const int inputs = host.inputCount(), outputs = host.outputCount();
    if (outputs >= 1 && outputs <= kMaxChannels && inputs >= 0 && inputs <= kMaxChannels)
        return true;
    error = "plug-in '" + host.path() + "' has no usable audio outputs (" + std::to_string(inputs) + " inputs, " +
            std::to_string(outputs) + " outputs)";
    return false;
}

bool OfflineRenderer::render(int inputChannels, size_t numFrames, const BlockSource& source, const BlockSink& sink,
                             std::string& error) {
    if (!checkChannels(error))
        return false;
    allocate(inputChannels, host.inputCount(), host.outputCount());
    size_t blockSize = static_cast<size_t>(settings.blockSize);
    size_t numBlocks = (numFrames + blockSize - 1) / blockSize;
    bool progress = settings.showProgress && numFrames >= kProgressMinFrames;
    bool done = true;
    if (progress)
        std::fflush(stdout);  // what was said before comes before the progress line
    host.start();
    for (size_t block = 0; done && block < numBlocks; ++block) {
        size_t start = block * blockSize;
        int frames = static_cast<int>(std::min(blockSize, numFrames - start));
        done = renderBlock(block, numBlocks, frames, source, sink, error);
        if (progress)
            showProgress(start + frames, numFrames);
    }
    host.stop();
    if (progress)
        std::fputc('\n', stderr);
    return done;
}

bool OfflineRenderer::renderBlock(size_t block, size_t numBlocks, int frames, const BlockSource& source,
                                  const BlockSink& sink, std::string& error) {
    if (!source(sourceBlock, frames, error))
        return false;
    fillInputs(frames);
    sendController(block, numBlocks);
    host.process(inputPointers.data(), outputPointers.data(), frames);
    return sink(outputBlock, frames, error);
}

void OfflineRenderer::allocate(int inputChannels, int numInputs, int numOutputs) {
    size_t frames = static_cast<size_t>(settings.blockSize);
    sourceBlock.resize(std::max(inputChannels, 1), frames);
    // At least one buffer each, so that a plug-in never sees a null array.
    inputBlock.resize(std::max(numInputs, 1), frames);
    outputBlock.resize(std::max(numOutputs, 1), frames);
    inputPointers.clear();
    outputPointers.clear();
    for (std::vector<float>& buffer : inputBlock.channels)
        inputPointers.push_back(buffer.data());
    for (std::vector<float>& buffer : outputBlock.channels)
        outputPointers.push_back(buffer.data());
    lastPercent = -1;
}

// Mono feeds every input; stereo feeds the first two (a single input gets
// their mix); further inputs stay silent.
void OfflineRenderer::fillInputs(int frames) {
    const std::vector<std::vector<float>>& from = sourceBlock.channels;
    std::vector<std::vector<float>>& to = inputBlock.channels;
    for (size_t input = 0; input < to.size(); ++input) {
        for (int frame = 0; frame < frames; ++frame) {
            float value = 0.0f;
            if (from.size() == 1)
                value = from[0][frame];
            else if (to.size() == 1)
                value = 0.5f * (from[0][frame] + from[1][frame]);
            else if (input < from.size())
                value = from[input][frame];
            to[input][frame] = value;
        }
    }
}

void OfflineRenderer::sendController(size_t block, size_t numBlocks) {
    if (!settings.controllerCurve)
        return;
    int value = std::max(0, std::min(HostedPlugin::kHighestController, settings.controllerCurve(block, numBlocks)));
    host.sendMidi(0, kControlChange, static_cast<uint8_t>(settings.controller), static_cast<uint8_t>(value));
}

void OfflineRenderer::showProgress(size_t done, size_t total) {
    int percent = static_cast<int>(100.0 * static_cast<double>(done) / static_cast<double>(total));
    if (percent == lastPercent)
        return;
    lastPercent = percent;
    std::fprintf(stderr, "\rprocessing: %3d%%", percent);
    std::fflush(stderr);
}
