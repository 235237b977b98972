// The tool's commands, one per mode of the command line, each with the
// options it uses and nothing else.
#pragma once

#include <string>

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

// The command the command line asks for: only the options of its mode are
// filled in.
struct Command {
    HostMode mode = HostMode::Demo;
    PluginOptions info;
    DemoOptions demo;
    FileOptions file;
    EditorPictureOptions editorPicture;
    GuiOptions gui;
    BenchOptions bench;
    EditorBenchOptions editorBench;
    ResponseOptions response;
    ValidateOptions validate;  // --validate, and the hidden --validate-group
    StressOptions stress;
    CompareOptions compare;

    // The plug-in or plug-ins of the job, for messages that must name them.
    std::string hostedPlugins() const;
    // Loads the plug-in, tells what it is, and does the work; an exit code.
    int run() const;
};
