// The tool's commands, one per mode of the command line, each with the
// options it uses and nothing else.
#pragma once

#include <string>
#include <variant>

#include "tools/bench/BenchCommand.h"
#include "tools/bench/EditorBench.h"
#include "tools/compare/CompareCommand.h"
#include "tools/hosting/PluginOptions.h"
#include "tools/editor/EditorCommands.h"
#include "tools/render/RenderCommands.h"
#include "tools/response/ResponseCommand.h"
#include "tools/stress/StressCommand.h"
#include "tools/validate/Validator.h"

enum class HostMode {
    Help,
    Version,
    Demo,
    Info,
    ProcessFile,
    EditorPng,
    Gui,
    Bench,
    EditorBench,
    ResponsePng,
    Validate,
    ValidateGroup,
    Stress,
    Compare
};

// What one command works with: each takes its own options and nothing else.
using CommandOptions =
    std::variant<std::monostate, PluginOptions, DemoOptions, FileOptions, EditorPictureOptions, GuiOptions,
                 BenchOptions, EditorBenchOptions, ResponseOptions, ValidateOptions, StressOptions, CompareOptions>;

// The command the command line asks for, with the one options value of its mode.
struct Command {
    HostMode mode = HostMode::Demo;
    CommandOptions options;

    // The options of this command, which must be of that type.
    template <typename Options>
    const Options& as() const {
        return std::get<Options>(options);
    }

    // The plug-in or plug-ins of the job, for messages that must name them.
    std::string hostedPlugins() const;
    // Loads the plug-in, tells what it is, and does the work; an exit code.
    int run() const;
};
