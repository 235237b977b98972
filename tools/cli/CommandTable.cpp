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
    for (const BenchEntry& entry : command.as<BenchOptions>().plugins)
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
         FileOptions file;
         file.plugin = hosted(parsed);
         file.render = parsed.render;
         file.inputPath = parsed.operands[1];
         file.outputPath = parsed.operands[2];
         command.options = file;
         return true;
     },
     [](const Command& command) { return RenderCommands::processFile(command.as<FileOptions>()); },
     [](const Command& command) { return command.as<FileOptions>().plugin.path; }},
    {HostMode::Demo, nullptr, nullptr, "the demo", Operands::Plugin, "quavix-host PLUGIN [options]",
     "render the built-in demo",
     [](ParsedArguments& parsed, Command& command, std::string&) {
         DemoOptions demo = parsed.given.demo;
         demo.plugin = hosted(parsed);
         demo.render = parsed.render;
         command.options = demo;
         return true;
     },
     [](const Command& command) { return RenderCommands::renderDemo(command.as<DemoOptions>()); },
     [](const Command& command) { return command.as<DemoOptions>().plugin.path; }},
    {HostMode::Info, "--info", nullptr, "--info", Operands::Plugin, "quavix-host PLUGIN --info [options]",
     "identity and parameters only",
     [](ParsedArguments& parsed, Command& command, std::string&) {
         PluginOptions info;
         info = hosted(parsed);
         command.options = info;
         return true;
     },
     [](const Command& command) { return RenderCommands::showInfo(command.as<PluginOptions>()); },
     [](const Command& command) { return command.as<PluginOptions>().path; }},
    {HostMode::Bench, "--bench", nullptr, "--bench", Operands::Plugins,
     "quavix-host --bench PLUGIN[@SETTINGS] ... [options]", "compare the processing cost of plug-ins",
     [](ParsedArguments& parsed, Command& command, std::string& error) {
         BenchOptions bench = parsed.given.bench;
         bench.settings.sampleRate = parsed.plugin.sampleRate;
         bench.settings.blockSize = parsed.plugin.blockSize;
         const bool entered = benchEntries(parsed.operands, bench, error);
         command.options = bench;
         return entered;
     },
     [](const Command& command) { return BenchCommand::run(command.as<BenchOptions>()); }, benchPlugins},
    {HostMode::EditorBench, "--editor-bench", nullptr, "--editor-bench", Operands::Plugin,
     "quavix-host --editor-bench PLUGIN [options]", "time the editor's first paint and redraw at 1x and 2x",
     [](ParsedArguments& parsed, Command& command, std::string&) {
         EditorBenchOptions editorBench = parsed.given.editorBench;
         editorBench.plugin = hosted(parsed);
         command.options = editorBench;
         return true;
     },
     [](const Command& command) { return EditorBench::run(command.as<EditorBenchOptions>()); },
     [](const Command& command) { return command.as<EditorBenchOptions>().plugin.path; }},
    {HostMode::EditorPng, "--editor-png", "FILE", "--editor-png", Operands::Plugin,
     "quavix-host --editor-png FILE PLUGIN [options]", "save a picture of the editor",
     [](ParsedArguments& parsed, Command& command, std::string&) {
         EditorPictureOptions editorPicture = parsed.given.editorPicture;
         editorPicture.plugin = hosted(parsed);
         editorPicture.pngPath = parsed.commandValue;
         command.options = editorPicture;
         return true;
     },
     [](const Command& command) { return EditorCommands::savePicture(command.as<EditorPictureOptions>()); },
     [](const Command& command) { return command.as<EditorPictureOptions>().plugin.path; }},
    {HostMode::ResponsePng, "--response-png", "FILE", "--response-png", Operands::Plugin,
     "quavix-host --response-png FILE PLUGIN [options]", "measure and draw the magnitude response (Linux)",
     [](ParsedArguments& parsed, Command& command, std::string&) {
         ResponseOptions response = parsed.given.response;
         response.plugin = hosted(parsed);
         response.pngPath = parsed.commandValue;
         command.options = response;
         return true;
     },
     [](const Command& command) { return ResponseCommand::run(command.as<ResponseOptions>()); },
     [](const Command& command) { return command.as<ResponseOptions>().plugin.path; }},
    {HostMode::Gui, "--gui", nullptr, "--gui", Operands::Plugin, "quavix-host --gui PLUGIN [options]",
     "open the editor in a window",
     [](ParsedArguments& parsed, Command& command, std::string&) {
         GuiOptions gui = parsed.given.gui;
         gui.plugin = hosted(parsed);
         command.options = gui;
         return true;
     },
     [](const Command& command) { return EditorCommands::runGui(command.as<GuiOptions>()); },
     [](const Command& command) { return command.as<GuiOptions>().plugin.path; }},
    {HostMode::Validate, "--validate", nullptr, "--validate", Operands::Plugin,
     "quavix-host --validate PLUGIN [options]", "put a plug-in through a torture run",
     [](ParsedArguments& parsed, Command& command, std::string&) {
         ValidateOptions validate = parsed.given.validate;
         validate.pluginPath = hosted(parsed).path;
         command.options = validate;
         return true;
     },
     [](const Command& command) { return Validator(command.as<ValidateOptions>()).run(); },
     [](const Command& command) { return command.as<ValidateOptions>().pluginPath; }},
    // The child's side of --validate on Windows, which cannot fork: one group in this process.
    {HostMode::ValidateGroup, "--validate-group", "ID", "--validate-group", Operands::Plugin, nullptr, nullptr,
     [](ParsedArguments& parsed, Command& command, std::string&) {
         ValidateOptions validate = parsed.given.validate;
         validate.pluginPath = hosted(parsed).path;
         validate.group = parsed.commandValue;
         command.options = validate;
         return true;
     },
     [](const Command& command) {
         return Validator(command.as<ValidateOptions>()).runGroup(command.as<ValidateOptions>().group);
     },
     [](const Command& command) { return command.as<ValidateOptions>().pluginPath; }},
    {HostMode::Stress, "--stress", nullptr, "--stress", Operands::Plugin, "quavix-host --stress PLUGIN [options]",
     "hold a plug-in under a session's load",
     [](ParsedArguments& parsed, Command& command, std::string&) {
         StressOptions stress = parsed.given.stress;
         stress.pluginPath = hosted(parsed).path;
         command.options = stress;
         return true;
     },
     [](const Command& command) { return StressCommand::run(command.as<StressOptions>()); },
     [](const Command& command) { return command.as<StressOptions>().pluginPath; }},
    {HostMode::Compare, "--compare", nullptr, "--compare", Operands::Plugins, "quavix-host --compare PLUGIN PLUGIN",
     "whether two plug-ins of any formats sound the same, to the bit",
     [](ParsedArguments& parsed, Command& command, std::string& error) {
         CompareOptions compare;
         if (parsed.operands.size() != 2) {
             error = "--compare takes two plug-ins, not " + std::to_string(parsed.operands.size());
             return false;
         }
         compare.first = parsed.operands[0];
         compare.second = parsed.operands[1];
         command.options = compare;
         return true;
     },
     [](const Command& command) { return CompareCommand::run(command.as<CompareOptions>()); },
     [](const Command& command) {
         return command.as<CompareOptions>().first + "', '" + command.as<CompareOptions>().second;
     }},
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

constexpr CommandSet kEditors =
    commandBit(HostMode::EditorBench) | commandBit(HostMode::EditorPng) | commandBit(HostMode::Gui);

}  // namespace

bool CommandTable::opensEditors(HostMode mode) { return (kEditors & commandBit(mode)) != 0; }

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
