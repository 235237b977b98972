// command-line: the host tool's argument parser on any arguments (the input
// split at its zero bytes). Arguments that make no job are refused with a
// message; a job that is accepted holds only values in the ranges the
// tool's usage gives, and the same arguments parse the same again. A path
// may be anything: the system refuses one that names no file, with a
// message of its own.
#include <cmath>
#include <string>
#include <vector>

#include "tests/fuzz/Invariant.h"
#include "tools/cli/Command.h"
#include "tools/cli/CommandLine.h"

using namespace quavixfuzz;

namespace {

constexpr size_t kMaxArguments = 32;
constexpr int kMaxSweepCurves = 20;

std::vector<std::string> argumentsOf(const uint8_t* data, size_t size) {
    std::vector<std::string> arguments{"quavix-host"};
    std::string current;
    for (size_t i = 0; i < size && arguments.size() < kMaxArguments; ++i) {
        if (data[i] == 0) {
            arguments.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(data[i]);
        }
    }
    if (!current.empty() && arguments.size() < kMaxArguments)
        arguments.push_back(current);
    return arguments;
}

bool parse(std::vector<std::string> arguments, Command& command, std::string& error) {
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(&argument[0]);
    argv.push_back(nullptr);
    return CommandLine::parse(static_cast<int>(arguments.size()), argv.data(), command, error);
}

bool inRange(double value, double low, double high) { return value >= low && value <= high; }

void requireSettings(const std::vector<ParameterSetting>& settings) {
    for (const ParameterSetting& setting : settings)
        require(setting.index >= 0 && isUnit(setting.value), "parameter %d set to %g", setting.index,
                static_cast<double>(setting.value));
}

void requirePlugin(const PluginOptions& plugin) {
    require(inRange(plugin.blockSize, 1, 65536), "a block of %d frames", plugin.blockSize);
    require(inRange(plugin.sampleRate, 8000, 768000), "a rate of %d Hz", plugin.sampleRate);
    requireSettings(plugin.parameters);
}

void requireRender(const RenderOptions& render) {
    require(inRange(render.controller, 0, 127), "controller %d", render.controller);
    require(inRange(render.sweepStart, 0, 127) && inRange(render.sweepEnd, 0, 127), "a sweep from %d to %d",
            render.sweepStart, render.sweepEnd);
}

void requireScale(double scale) { require(scale == 0.0 || inRange(scale, 0.25, 8.0), "a display scale of %g", scale); }

void requireSweeps(const std::vector<ParameterSweep>& sweeps) {
    long curves = 1;
    for (const ParameterSweep& sweep : sweeps) {
        require(sweep.index >= 0 && isUnit(sweep.from) && isUnit(sweep.to), "a sweep of parameter %d from %g to %g",
                sweep.index, static_cast<double>(sweep.from), static_cast<double>(sweep.to));
        require(inRange(sweep.count, 1, kMaxSweepCurves), "a sweep of %d curves", sweep.count);
        curves *= sweep.count;
        require(curves <= kMaxSweepCurves, "%ld curves", curves);
    }
}

void requireJob(const Command& command) {
    switch (command.mode) {
    case HostMode::Info:
        requirePlugin(command.as<PluginOptions>());
        break;
    case HostMode::Demo:
        requirePlugin(command.as<DemoOptions>().plugin);
        requireRender(command.as<DemoOptions>().render);
        break;
    case HostMode::ProcessFile:
        requirePlugin(command.as<FileOptions>().plugin);
        requireRender(command.as<FileOptions>().render);
        break;
    case HostMode::EditorPng:
        requirePlugin(command.as<EditorPictureOptions>().plugin);
        requireScale(command.as<EditorPictureOptions>().scale);
        break;
    case HostMode::Gui:
        requirePlugin(command.as<GuiOptions>().plugin);
        requireScale(command.as<GuiOptions>().scale);
        require(std::isfinite(command.as<GuiOptions>().closeAfterSeconds) &&
                    command.as<GuiOptions>().closeAfterSeconds >= 0.0,
                "closing after %g s", command.as<GuiOptions>().closeAfterSeconds);
        break;
    case HostMode::Bench:
        require(!command.as<BenchOptions>().plugins.empty(), "a benchmark of nothing");
        require(inRange(command.as<BenchOptions>().settings.rounds, 1, 1000), "%d rounds",
                command.as<BenchOptions>().settings.rounds);
        for (const BenchEntry& entry : command.as<BenchOptions>().plugins)
            requireSettings(entry.parameters);
        break;
    case HostMode::EditorBench:
        requirePlugin(command.as<EditorBenchOptions>().plugin);
        require(inRange(command.as<EditorBenchOptions>().rounds, 1, 1000), "%d rounds",
                command.as<EditorBenchOptions>().rounds);
        break;
    case HostMode::ResponsePng:
        requirePlugin(command.as<ResponseOptions>().plugin);
        requireSweeps(command.as<ResponseOptions>().sweeps);
        break;
    case HostMode::Validate:
    case HostMode::ValidateGroup:
        require(inRange(command.as<ValidateOptions>().strictness, ValidationSettings::kMinStrictness,
                        ValidationSettings::kMaxStrictness),
                "strictness %d", command.as<ValidateOptions>().strictness);
        break;
    case HostMode::Stress:
        require(inRange(command.as<StressOptions>().instances, 1, 1024) &&
                    inRange(command.as<StressOptions>().seconds, 0.1, 86400.0),
                "%d instances for %g s", command.as<StressOptions>().instances, command.as<StressOptions>().seconds);
        break;
    case HostMode::Compare:  // two paths, which may be anything
    case HostMode::Help:
    case HostMode::Version:
        break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string> arguments = argumentsOf(data, size);
    Command command, again;
    std::string error, againError;
    const bool accepted = parse(arguments, command, error);
    require(parse(arguments, again, againError) == accepted && error == againError && command.mode == again.mode,
            "the same arguments parse differently");
    if (!accepted) {
        require(!error.empty(), "arguments refused without a message");
        return 0;
    }
    requireJob(command);
    return 0;
}
