#include "tools/HostCommands.h"

#include <cstdio>

#include "tools/DemoPhrase.h"
#include "tools/EditorWindow.h"
#include "tools/FilePaths.h"
#include "tools/PluginBench.h"
#include "tools/PluginReport.h"
#include "tools/PngFile.h"
#include "tools/ResponsePicture.h"
#include "tools/ResponsePlot.h"
#include "tools/Validator.h"
#include "tools/WavFile.h"

namespace {
// Long enough for an editor to create its views and paint them.
const unsigned kEditorPaintMilliseconds = 1000;
}  // namespace

int HostCommands::run() {
    switch (options.mode) {
    case HostMode::Help:
        CommandLine::printUsage(false);
        return kExitDone;
    case HostMode::Info:
        return showInfo();
    case HostMode::Demo:
        return renderDemo();
    case HostMode::ProcessFile:
        return processFile();
    case HostMode::EditorPng:
        return saveEditorPicture();
    case HostMode::Gui:
        return runGui();
    case HostMode::Bench:
        return runBench();
    case HostMode::ResponsePng:
        return saveResponsePicture();
    case HostMode::Validate:
        return Validator(options).run();
    case HostMode::ValidateGroup:
        return Validator(options).runGroup(options.validateGroup);
    }
    return kExitUsage;
}

int HostCommands::fail(const std::string& message) const {
    std::fflush(stdout);
    std::fprintf(stderr, "quavix-host: %s\n", message.c_str());
    return kExitFailed;
}

int HostCommands::loadPlugin(int sampleRate) {
    std::string error;
    host.configure(sampleRate, options.blockSize);
    if (!host.load(options.pluginPath, error))
        return fail(error);
    PluginReport(host).printIdentity();
    int status = applyParameters();
    if (status == kExitDone)
        PluginReport(host).printParameters();
    return status;
}

int HostCommands::applyParameters() {
    PluginReport report(host);
    for (const ParameterSetting& setting : options.parameters) {
        if (setting.index >= host.record()->numParams) {
            std::fflush(stdout);
            std::fprintf(stderr, "quavix-host: parameter index %d out of range: '%s' has %d parameters\n",
                         setting.index, options.pluginPath.c_str(), host.record()->numParams);
            return kExitUsage;
        }
        host.setParameter(setting.index, setting.value);
        std::printf("Set parameter %s\n", report.describeParameter(setting.index).c_str());
    }
    return kExitDone;
}

int HostCommands::showInfo() { return loadPlugin(options.sampleRate); }

RenderSettings HostCommands::renderSettings() const {
    RenderSettings settings;
    settings.blockSize = options.blockSize;
    settings.controller = options.controller;
    settings.showProgress = true;
    if (options.sweep)
        settings.controllerCurve = OfflineRenderer::linearSweep(options.sweepStart, options.sweepEnd);
    return settings;
}

int HostCommands::renderDemo() {
    DemoPhrase phrase(options.sampleRate);
    AudioClip guitar = phrase.render();
    int status = loadPlugin(options.sampleRate);
    if (status != kExitDone)
        return status;
    RenderSettings settings = renderSettings();
    if (!options.sweep)
        settings.controllerCurve = phrase.pedal();
    std::printf("Demo: a funky guitar riff of %.1f s at %d Hz, the wah pedal on controller %d\n", phrase.seconds(),
                options.sampleRate, options.controller);
    return renderToFile(OfflineRenderer::clipSource(guitar), guitar.numChannels(), guitar.numFrames(),
                        guitar.sampleRate, settings, options.demoOutput);
}

int HostCommands::processFile() {
    if (FilePaths::sameFile(options.inputPath, options.outputPath)) {
        return fail("refusing to write '" + options.outputPath + "': it is the input file '" + options.inputPath +
                    "'; choose another output file");
    }
    WavReader input;
    std::string error;
    if (!input.open(options.inputPath, error))
        return fail(error);
    int status = loadPlugin(input.sampleRate());
    if (status != kExitDone)
        return status;
    printInputNotes(input);
    BlockSource source = [&input](AudioClip& block, int frames, std::string& readError) {
        return input.read(block, frames, readError);
    };
    return renderToFile(source, input.numChannels(), input.numFrames(), input.sampleRate(), renderSettings(),
                        options.outputPath);
}

void HostCommands::printInputNotes(const WavReader& input) const {
    std::printf("Input: %s (%s, %lu frames, %.2f s)\n", options.inputPath.c_str(), input.description().c_str(),
                static_cast<unsigned long>(input.numFrames()),
                static_cast<double>(input.numFrames()) / input.sampleRate());
    if (options.rateGiven && options.sampleRate != input.sampleRate()) {
        std::printf("Note: --rate %d ignored: the file is processed at its own rate, %d Hz\n", options.sampleRate,
                    input.sampleRate());
    }
    std::string routing =
        OfflineRenderer::describeRouting(input.numChannels(), host.record()->numInputs, host.record()->numOutputs);
    if (!routing.empty())
        std::printf("Note: %s\n", routing.c_str());
    if (options.sweep) {
        std::printf("Sweep: controller %d from %d to %d, one control change before each block of %d\n",
                    options.controller, options.sweepStart, options.sweepEnd, options.blockSize);
    }
}

int HostCommands::renderToFile(const BlockSource& source, int inputChannels, size_t numFrames, int sampleRate,
                               const RenderSettings& settings, const std::string& outputPath) {
    OfflineRenderer renderer(host, settings);
    WavWriter output;
    WavSampleFormat format = options.pcm16 ? WavSampleFormat::Pcm16 : WavSampleFormat::Float32;
    int channels = host.record()->numOutputs;
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

int HostCommands::saveEditorPicture() {
    std::string unavailable;
    if (!EditorWindow::available(unavailable))
        return fail(unavailable);
    int status = loadPlugin(options.sampleRate);
    if (status != kExitDone)
        return status;
    host.start();
    EditorWindow window(host, EditorWindow::Kind::Popup);
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

int HostCommands::saveResponsePicture() {
    std::string error;
    if (!ResponsePlot::available(error))
        return fail(error);
    if (FilePaths::sameFile(options.pngPath, options.pluginPath)) {
        return fail("refusing to write '" + options.pngPath + "': it is the plug-in '" + options.pluginPath + "'");
    }
    int status = loadPlugin(options.sampleRate);
    if (status != kExitDone)
        return status;
    ResponsePicture picture(host, options);
    if (!picture.plan(error)) {
        std::fflush(stdout);
        std::fprintf(stderr, "quavix-host: %s\n", error.c_str());
        return kExitUsage;
    }
    return picture.draw(error) ? kExitDone : fail(error);
}

int HostCommands::runGui() {
    std::string unavailable;
    if (!EditorWindow::available(unavailable))
        return fail(unavailable);
    int status = loadPlugin(options.sampleRate);
    if (status != kExitDone)
        return status;
    host.start();
    EditorWindow window(host, EditorWindow::Kind::Captioned);
    std::string error;
    if (!window.open(error))
        return fail(error);
    std::printf("Editor open; parameter changes are printed as they come. Close the window to quit.\n");
    std::fflush(stdout);
    window.runUntilClosed(options.closeAfterSeconds);
    window.close();
    host.close();
    std::printf("Editor and plug-in closed\n");
    return kExitDone;
}

int HostCommands::runBench() {
    BenchSettings settings;
    settings.sampleRate = options.sampleRate;
    settings.blockSize = options.blockSize;
    settings.rounds = options.benchRounds;
    PluginBench bench(settings);
    int status = kExitDone;
    for (const BenchEntry& entry : options.benchPlugins) {
        std::string error;
        if (bench.add(entry, error))
            continue;
        // Without the first there is nothing to compare the others with.
        if (bench.size() == 0)
            return fail(error + "; it is the benchmark's reference, so nothing was measured");
        status = fail(error + "; measuring the others");
    }
    bench.measure();
    bench.printTable();
    return status;
}
