#include "tools/cli/CommandTable.h"

#include <QuavixVersion.h>  // made by the build from the VERSION file
#include <cstdio>

#include "tools/cli/CommandLine.h"
#include "tools/cli/ValueParsing.h"

namespace {

PluginOptions hosted(ParsedArguments& parsed) {
    PluginOptions plugin = parsed.plugin;
    plugin.path = parsed.operands.empty() ? "" : parsed.operands[0];
    return plugin;
}

std::string benchPlugins(const Command& command) {
    std::string names;
    for (const BenchEntry& entry : command.bench.plugins)
        names += (names.empty() ? "" : "', '") + entry.path;
    return names;
}

// PLUGIN[@SETTINGS]: settings start with a digit after the last '@'; any
// other '@' belongs to the file's name.
bool benchEntries(const std::vector<std::string>& operands, BenchOptions& bench, std::string& error) {
    for (const std::string& operand : operands) {
        BenchEntry entry;
        entry.path = operand;
        size_t at = operand.rfind('@');
        if (at != std::string::npos && at + 1 < operand.size() && operand[at + 1] >= '0' && operand[at + 1] <= '9') {
            entry.path = operand.substr(0, at);
            if (!ValueParsing::settingList(operand.substr(at + 1), entry.parameters)) {
                error = "bad settings for " + entry.path + ": '" + operand.substr(at + 1) +
                        "' (expected INDEX=VALUE,... with values 0..1)";
                return false;
            }
        }
        bench.plugins.push_back(entry);
    }
    return true;
}

std::string none(const Command&) { return ""; }

const std::vector<CommandRow> kCommands = {
    {HostMode::ProcessFile, nullptr, nullptr, "processing a file", Operands::PluginAndTwoFiles,
     "quavix-host PLUGIN IN.wav OUT.wav [options]", "process a WAV file",
     [](ParsedArguments& parsed, Command& command, std::string&) {
         command.file.plugin = hosted(parsed);
         command.file.render = parsed.render;
         command.file.inputPath = parsed.operands[1];
         command.file.outputPath = parsed.operands[2];
         return true;
     },
     [](const Command& command) { return RenderCommands::processFile(command.file); },
     [](const Command& command) { return command.file.plugin.path; }},
    {HostMode::Demo, nullptr, nullptr, "the demo", Operands::Plugin, "quavix-host PLUGIN [options]",
     "render the built-in demo",
     [](ParsedArguments& parsed, Command& command, std::string&) {
         command.demo = parsed.given.demo;
         command.demo.plugin = hosted(parsed);
         command.demo.render = parsed.render;
         return true;
     },
     [](const Command& command) { return RenderCommands::renderDemo(command.demo); },
     [](const Command& command) { return command.demo.plugin.path; }},
    {HostMode::Info, "--info", nullptr, "--info", Operands::Plugin, "quavix-host PLUGIN --info [options]",
     "identity and parameters only",
     [](ParsedArguments& parsed, Command& command, std::string&) {
         command.info = hosted(parsed);
         return true;
     },
     [](const Command& command) { return RenderCommands::showInfo(command.info); },
     [](const Command& command) { return command.info.path; }},
    {HostMode::Bench, "--bench", nullptr, "--bench", Operands::Plugins,
     "quavix-host --bench PLUGIN[@SETTINGS] ... [options]", "compare the processing cost of plug-ins",
     [](ParsedArguments& parsed, Command& command, std::string& error) {
         command.bench = parsed.given.bench;
         command.bench.settings.sampleRate = parsed.plugin.sampleRate;
         command.bench.settings.blockSize = parsed.plugin.blockSize;
         return benchEntries(parsed.operands, command.bench, error);
     },
     [](const Command& command) { return BenchCommand::run(command.bench); }, benchPlugins},
    {HostMode::EditorBench, "--editor-bench", nullptr, "--editor-bench", Operands::Plugin,
     "quavix-host --editor-bench PLUGIN [options]", "time the editor's first paint and redraw at 1x and 2x",
     [](ParsedArguments& parsed, Command& command, std::string&) {
         command.editorBench = parsed.given.editorBench;
         command.editorBench.plugin = hosted(parsed);
         return true;
     },
     [](const Command& command) { return EditorBench::run(command.editorBench); },
     [](const Command& command) { return command.editorBench.plugin.path; }},
    {HostMode::EditorPng, "--editor-png", "FILE", "--editor-png", Operands::Plugin,
     "quavix-host --editor-png FILE PLUGIN [options]", "save a picture of the editor",
     [](ParsedArguments& parsed, Command& command, std::string&) {
         command.editorPicture = parsed.given.editorPicture;
         command.editorPicture.plugin = hosted(parsed);
         command.editorPicture.pngPath = parsed.commandValue;
         return true;
     },
     [](const Command& command) { return EditorCommands::savePicture(command.editorPicture); },
     [](const Command& command) { return command.editorPicture.plugin.path; }},
    {HostMode::ResponsePng, "--response-png", "FILE", "--response-png", Operands::Plugin,
     "quavix-host --response-png FILE PLUGIN [options]", "measure and draw the magnitude response (Linux)",
     [](ParsedArguments& parsed, Command& command, std::string&) {
         command.response = parsed.given.response;
         command.response.plugin = hosted(parsed);
         command.response.pngPath = parsed.commandValue;
         return true;
     },
     [](const Command& command) { return ResponseCommand::run(command.response); },
     [](const Command& command) { return command.response.plugin.path; }},
    {HostMode::Gui, "--gui", nullptr, "--gui", Operands::Plugin, "quavix-host --gui PLUGIN [options]",
     "open the editor in a window",
     [](ParsedArguments& parsed, Command& command, std::string&) {
         command.gui = parsed.given.gui;
         command.gui.plugin = hosted(parsed);
         return true;
     },
     [](const Command& command) { return EditorCommands::runGui(command.gui); },
     [](const Command& command) { return command.gui.plugin.path; }},
    {HostMode::Validate, "--validate", nullptr, "--validate", Operands::Plugin,
     "quavix-host --validate PLUGIN [options]", "put a plug-in through a torture run",
     [](ParsedArguments& parsed, Command& command, std::string&) {
         command.validate = parsed.given.validate;
         command.validate.pluginPath = hosted(parsed).path;
         return true;
     },
     [](const Command& command) { return Validator(command.validate).run(); },
     [](const Command& command) { return command.validate.pluginPath; }},
    // The child's side of --validate on Windows, which cannot fork: one group in this process.
    {HostMode::ValidateGroup, "--validate-group", "ID", "--validate-group", Operands::Plugin, nullptr, nullptr,
     [](ParsedArguments& parsed, Command& command, std::string&) {
         command.validate = parsed.given.validate;
         command.validate.pluginPath = hosted(parsed).path;
         command.validate.group = parsed.commandValue;
         return true;
     },
     [](const Command& command) { return Validator(command.validate).runGroup(command.validate.group); },
     [](const Command& command) { return command.validate.pluginPath; }},
    {HostMode::Stress, "--stress", nullptr, "--stress", Operands::Plugin, "quavix-host --stress PLUGIN [options]",
     "hold a plug-in under a session's load",
     [](ParsedArguments& parsed, Command& command, std::string&) {
         command.stress = parsed.given.stress;
         command.stress.pluginPath = hosted(parsed).path;
         return true;
     },
     [](const Command& command) { return StressCommand::run(command.stress); },
     [](const Command& command) { return command.stress.pluginPath; }},
    {HostMode::Help, "--help", nullptr, "--help", Operands::None, "quavix-host --help", "this text",
     [](ParsedArguments&, Command&, std::string&) { return true; },
     [](const Command&) {
         CommandLine::printUsage(false);
         return kExitDone;
     },
     none},
    {HostMode::Version, "--version", nullptr, "--version", Operands::None, "quavix-host --version",
     "the tool's version", [](ParsedArguments&, Command&, std::string&) { return true; },
     [](const Command&) {
         std::printf("quavix-host %s\n", QUAVIX_VERSION);
         return kExitDone;
     },
     none},
};

}  // namespace

const std::vector<CommandRow>& CommandTable::all() { return kCommands; }

const CommandRow& CommandTable::of(HostMode mode) {
    for (const CommandRow& row : kCommands) {
        if (row.mode == mode)
            return row;
    }
    return kCommands.front();
}

const CommandRow* CommandTable::selectedBy(const std::string& option) {
    for (const CommandRow& row : kCommands) {
        if (row.selector && option == row.selector)
            return &row;
    }
    return nullptr;
}

std::string CommandTable::titles(CommandSet commands) {
    std::vector<const char*> named;
    for (const CommandRow& row : kCommands) {
        if ((commands & commandBit(row.mode)) && row.synopsis)
            named.push_back(row.title);
    }
    std::string text;
    for (size_t i = 0; i < named.size(); ++i)
        text += std::string(i == 0 ? "" : i + 1 == named.size() ? " and " : ", ") + named[i];
    return text;
}
