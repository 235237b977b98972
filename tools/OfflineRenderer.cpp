#include "tools/OfflineRenderer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {
// Progress is worth showing only when a render takes a noticeable while.
const double kProgressMinSeconds = 20.0;
}  // namespace

OfflineRenderer::OfflineRenderer(PluginHost& host, RenderSettings settings) : host(host), settings(std::move(settings)) {}

ControllerCurve OfflineRenderer::linearSweep(int start, int end) {
    return [start, end](size_t block, size_t numBlocks) {
        double position = numBlocks > 1 ? static_cast<double>(block) / static_cast<double>(numBlocks - 1) : 0.0;
        return static_cast<int>(std::lround(start + (end - start) * position));
    };
}

bool OfflineRenderer::render(const AudioClip& input, AudioClip& output, std::string& error) {
    AEffect* plugin = host.record();
    if (!plugin || plugin->numOutputs < 1 || plugin->numOutputs > kMaxChannels || plugin->numInputs < 0 ||
        plugin->numInputs > kMaxChannels) {
        error = "plug-in '" + host.path() + "' has no usable audio outputs (" +
                std::to_string(plugin ? plugin->numInputs : 0) + " inputs, " +
                std::to_string(plugin ? plugin->numOutputs : 0) + " outputs)";
        return false;
    }
    allocate(plugin->numInputs, plugin->numOutputs);
    size_t total = input.numFrames();
    size_t numBlocks = (total + settings.blockSize - 1) / settings.blockSize;
    bool progress = settings.showProgress && input.seconds() >= kProgressMinSeconds;
    output.sampleRate = input.sampleRate;
    output.resize(plugin->numOutputs, total);

    host.start();
    for (size_t block = 0; block < numBlocks; ++block) {
        size_t start = block * settings.blockSize;
        int frames = static_cast<int>(std::min<size_t>(settings.blockSize, total - start));
        fillInputs(input, start, frames);
        sendController(block, numBlocks);
        host.process(inputPointers.data(), outputPointers.data(), frames);
        for (int channel = 0; channel < plugin->numOutputs; ++channel) {
            std::copy_n(outputBuffers[channel].begin(), frames, output.channels[channel].begin() + start);
        }
        if (progress) showProgress(start + frames, total);
    }
    host.stop();
    if (progress) std::fprintf(stderr, "\n");
    return true;
}

void OfflineRenderer::allocate(int numInputs, int numOutputs) {
    // At least one buffer each, so that a plug-in never sees a null array.
    inputBuffers.assign(std::max(numInputs, 1), std::vector<float>(settings.blockSize, 0.0f));
    outputBuffers.assign(std::max(numOutputs, 1), std::vector<float>(settings.blockSize, 0.0f));
    inputPointers.clear();
    outputPointers.clear();
    for (std::vector<float>& buffer : inputBuffers) inputPointers.push_back(buffer.data());
    for (std::vector<float>& buffer : outputBuffers) outputPointers.push_back(buffer.data());
}

// Mono feeds every input; stereo feeds the first two (a single input gets
// their mix); further inputs stay silent.
void OfflineRenderer::fillInputs(const AudioClip& input, size_t start, int frames) {
    int channels = input.numChannels();
    for (size_t i = 0; i < inputBuffers.size(); ++i) {
        std::vector<float>& buffer = inputBuffers[i];
        for (int frame = 0; frame < frames; ++frame) {
            size_t at = start + frame;
            float value = 0.0f;
            if (channels == 1) value = input.channels[0][at];
            else if (inputBuffers.size() == 1) value = 0.5f * (input.channels[0][at] + input.channels[1][at]);
            else if (static_cast<int>(i) < channels) value = input.channels[i][at];
            buffer[frame] = value;
        }
    }
}

void OfflineRenderer::sendController(size_t block, size_t numBlocks) {
    if (!settings.controllerCurve) return;
    int value = std::max(0, std::min(127, settings.controllerCurve(block, numBlocks)));
    midi.clear();
    midi.addControlChange(0, settings.controller, value);
    host.dispatch(effProcessEvents, 0, 0, midi.events());
}

void OfflineRenderer::showProgress(size_t done, size_t total) {
    int percent = static_cast<int>(100.0 * static_cast<double>(done) / static_cast<double>(total));
    if (percent == lastPercent) return;
    lastPercent = percent;
    std::fprintf(stderr, "\rprocessing: %3d%%", percent);
    std::fflush(stderr);
}
