// What the command line said, gathered before the command is known: the
// options every command that hosts one plug-in shares, those the demo and
// file processing share, each parsed once, and every other option straight
// into the options of its command. The chosen command takes what it uses.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/cli/Command.h"

using CommandSet = uint32_t;

constexpr CommandSet commandBit(HostMode mode) { return CommandSet(1) << static_cast<unsigned>(mode); }

// The options of single commands, filled as they come, before the command is known.
struct GivenOptions {
    DemoOptions demo;
    EditorPictureOptions editorPicture;
    GuiOptions gui;
    BenchOptions bench;
    EditorBenchOptions editorBench;
    ResponseOptions response;
    ValidateOptions validate;
    StressOptions stress;
};

struct ParsedArguments {
    std::vector<std::string> operands;  // the arguments that are no option
    std::string commandValue;           // --editor-png FILE, --response-png FILE, --validate-group ID
    PluginOptions plugin;               // --param, --block, --rate
    RenderOptions render;               // --cc, --sweep, --pcm16
    GivenOptions given;
};
