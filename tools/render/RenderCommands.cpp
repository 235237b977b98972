#include "tools/render/RenderCommands.h"

#include <cstdio>

#include "tools/hosting/FilePaths.h"
#include "tools/media/WavFile.h"
#include "tools/render/DemoPhrase.h"
#include "tools/render/OfflineRenderer.h"

namespace {

RenderSettings renderSettings(const PluginOptions& plugin, const RenderOptions& options) {
    RenderSettings settings;
    settings.blockSize = plugin.blockSize;
    settings.controller = options.controller;
    settings.showProgress = true;
    if (options.sweep)
        settings.controllerCurve = OfflineRenderer::linearSweep(options.sweepStart, options.sweepEnd);
    return settings;
}

void printInputNotes(HostedPlugin& host, const FileOptions& options, const WavReader& input) {
    std::printf("Input: %s (%s, %lu frames, %.2f s)\n", options.inputPath.c_str(), input.description().c_str(),
                static_cast<unsigned long>(input.numFrames()),
                static_cast<double>(input.numFrames()) / input.sampleRate());
    if (options.plugin.rateGiven && options.plugin.sampleRate != input.sampleRate()) {
        std::printf("Note: --rate %d ignored: the file is processed at its own rate, %d Hz\n",
                    options.plugin.sampleRate, input.sampleRate());
    }
    std::string routing = OfflineRenderer::describeRouting(input.numChannels(), host.inputCount(), host.outputCount());
    if (!routing.empty())
        std::printf("Note: %s\n", routing.c_str());
    if (options.render.sweep) {
        std::printf("Sweep: controller %d from %d to %d, one control change before each block of %d\n",
                    options.render.controller, options.render.sweepStart, options.render.sweepEnd,
                    options.plugin.blockSize);
    }
}

int renderToFile(HostedPlugin& host, const BlockSource& source, int inputChannels, size_t numFrames, int sampleRate,
                 const RenderSettings& settings, bool pcm16, const std::string& outputPath) {
    OfflineRenderer renderer(host, settings);
    WavWriter output;
    WavSampleFormat format = pcm16 ? WavSampleFormat::Pcm16 : WavSampleFormat::Float32;
    int channels = host.outputCount();
    std::string error;
    BlockSink sink = [&output](const AudioClip& block, int frames, std::string& writeError) {
        return output.write(block, frames, writeError);
    };
    if (!renderer.checkChannels(error) || !output.open(outputPath, channels, sampleRate, numFrames, format, error) ||
        !renderer.render(inputChannels, numFrames, source, sink, error) || !output.finish(error)) {
        return fail(error);
    }
    std::printf("Wrote %s (%s, %s, %d Hz, %lu frames, %.2f s)\n", outputPath.c_str(), WavWriter::formatName(format),
                AudioClip::layoutName(channels).c_str(), sampleRate, static_cast<unsigned long>(numFrames),
                static_cast<double>(numFrames) / sampleRate);
    if (output.clippedSamples() > 0) {
        std::printf("Warning: %lu samples were beyond full scale and were clipped\n",
                    static_cast<unsigned long>(output.clippedSamples()));
    }
    return kExitDone;
}

}  // namespace

int RenderCommands::showInfo(const PluginOptions& options) {
    int status = kExitDone;
    loadPlugin(options, options.sampleRate, status);
    return status;
}

int RenderCommands::renderDemo(const DemoOptions& options) {
    DemoPhrase phrase(options.plugin.sampleRate);
    AudioClip guitar = phrase.render();
    int status = kExitDone;
    std::unique_ptr<HostedPlugin> host = loadPlugin(options.plugin, options.plugin.sampleRate, status);
    if (!host)
        return status;
    RenderSettings settings = renderSettings(options.plugin, options.render);
    if (!options.render.sweep)
        settings.controllerCurve = phrase.pedal();
    std::printf("Demo: a funky guitar riff of %.1f s at %d Hz, the wah pedal on controller %d\n", phrase.seconds(),
                options.plugin.sampleRate, options.render.controller);
    return renderToFile(*host, OfflineRenderer::clipSource(guitar), guitar.numChannels(), guitar.numFrames(),
                        guitar.sampleRate, settings, options.render.pcm16, options.outputPath);
}

int RenderCommands::processFile(const FileOptions& options) {
    if (FilePaths::sameFile(options.inputPath, options.outputPath)) {
        return fail("refusing to write '" + options.outputPath + "': it is the input file '" + options.inputPath +
                    "'; choose another output file");
    }
    WavReader input;
    std::string error;
    if (!input.open(options.inputPath, error))
        return fail(error);
    int status = kExitDone;
    std::unique_ptr<HostedPlugin> host = loadPlugin(options.plugin, input.sampleRate(), status);
    if (!host)
        return status;
    printInputNotes(*host, options, input);
    BlockSource source = [&input](AudioClip& block, int frames, std::string& readError) {
        return input.read(block, frames, readError);
    };
    return renderToFile(*host, source, input.numChannels(), input.numFrames(), input.sampleRate(),
                        renderSettings(options.plugin, options.render), options.render.pcm16, options.outputPath);
}
