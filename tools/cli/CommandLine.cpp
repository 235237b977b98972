#include "tools/cli/CommandLine.h"

#include <cstdio>
#include <vector>

#include "tools/cli/CommandTable.h"
#include "tools/cli/OptionTable.h"
#include "tools/hosting/PluginLoader.h"

namespace {

const char* const kPluginText =
    "PLUGIN is a plug-in of any of three formats, told by its path: a .clap file is a\n"
    "CLAP plug-in, a folder (a .lv2 bundle) or a URI such as urn:morvella:quavix an\n"
    "LV2 one (Linux only), any other file a VST 2.4 library: a DLL for\n"
    "quavix-host.exe (dist/win32 for 32-bit plug-ins, dist/win64 for 64-bit ones), a\n"
    ".so for the Linux quavix-host. --editor-png, --gui and --editor-bench open the\n"
    "editors of VST 2.4 and CLAP plug-ins only so far; --validate runs on LV2 and\n"
    "CLAP plug-ins the groups written for every format. The tool prints the plug-in's identity,\n"
    "capabilities and parameters before anything else.\n";

const char* const kCommandsText =
    "Input: 16-bit or 24-bit PCM or 32-bit float WAV, mono or stereo, any rate and\n"
    "any length: it streams through, with progress shown on long files. A mono\n"
    "input feeds every plug-in input; a stereo one feeds the first two, or their\n"
    "mix to a plug-in with one input. The output has the plug-in's output\n"
    "channels and is never written over the input.\n"
    "\n"
    "Bench: the same stereo noise, in full blocks of --block frames at --rate, runs\n"
    "through each plug-in in turn, set up as a host sets it up and with flush-to-zero\n"
    "and denormals-are-zero on, as hosts process; every round gives each plug-in\n"
    "1048576 frames, so that the machine's moods fall on all of them alike. One line\n"
    "per plug-in: the median cost in nanoseconds per stereo frame, the best round,\n"
    "and the ratio to the first plug-in. A mono plug-in runs as two instances, one\n"
    "per channel; instruments (no inputs) are refused. SETTINGS are INDEX=VALUE\n"
    "pairs (normalized 0..1) separated by commas, set before processing, e.g.\n"
    "  quavix-host --bench quavix.so other.so@0=0.5,3=1\n"
    "\n"
    "Editor bench: the editor opened at a display scale of 1 and of 2 (the plug-in must\n"
    "take one), each round timing, at each scale, effEditOpen until the window shows the\n"
    "whole panel, and a full repaint until it shows it again; medians, side by side,\n"
    "with the ratio of 2x to 1x.\n"
    "\n"
    "Response: the plug-in's first output for an impulse on its first input, 65536\n"
    "samples at --rate, read at log-spaced frequencies from 20 Hz to 20 kHz, and an\n"
    "exponential sine sweep as a check; the tool prints how far the two disagree.\n"
    "Without --param or --sweep-param, one curve as the plug-in loads.\n"
    "\n"
    "Stress: N instances at 48000 Hz in blocks of 64 frames, each on its own audio\n"
    "thread at real-time priority where the system grants it, paced by the clock (a\n"
    "block every 1.333 ms), with two control changes in every block, every parameter\n"
    "of every instance automated once per block from another thread, and the first\n"
    "instance's editor open. It reports the processing time per block (median, 99.9th\n"
    "percentile, worst), deadline misses (a block done after the next was due),\n"
    "calls into the allocator (allocations and frees) and locks on the audio threads\n"
    "while processing (Linux only), and resident memory before and after, ending\n"
    "with one line:\n"
    "  stress: N instances, B blocks, M deadline misses, A allocations, L locks on audio threads\n"
    "\n"
    "Compare: one deterministic stimulus through both plug-ins, whatever their\n"
    "formats: noise with parameter changes between blocks of 1 to 2048 frames,\n"
    "silence, impulses, and noise with controller sweeps; every output sample's bits\n"
    "compared, ending with one line:\n"
    "  compare: identical N samples\n"
    "  compare: DIFFERENT K of N samples (first at frame F channel C: a vs b)\n"
    "\n"
    "Exit codes: 0 done, 1 failed (file, plug-in or editor), 2 wrong arguments.\n";

// Where the help of an option, and the summary of a command, begin.
const int kOptionColumn = 23;
const int kCommandColumn = 51;

const int kLineWidth = 80;

// The words of the text in lines that end by the line width, starting at the column.
std::string wrapped(const std::string& text, int column) {
    std::string lines, word;
    int length = column;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != ' ') {
            word += text[i];
            continue;
        }
        if (length > column && length + 1 + static_cast<int>(word.size()) > kLineWidth) {
            lines += "\n";
            length = column;
        } else if (length > column) {
            lines += ' ';
            ++length;
        }
        lines += word;
        length += static_cast<int>(word.size());
        word.clear();
    }
    return lines;
}

// Each line of the text after the first starts at the column.
void printIndented(FILE* out, const std::string& text, int column) {
    for (char c : text) {
        std::fputc(c, out);
        if (c == '\n')
            std::fprintf(out, "%*s", column, "");
    }
    std::fputc('\n', out);
}

void printCommands(FILE* out) {
    std::fputs("usage:\n", out);
    for (const CommandRow& row : CommandTable::all()) {
        if (!row.synopsis)
            continue;
        const std::string synopsis = std::string("  ") + row.synopsis;
        if (static_cast<int>(synopsis.size()) < kCommandColumn)
            std::fprintf(out, "%-*s%s\n", kCommandColumn, synopsis.c_str(), row.summary);
        else
            std::fprintf(out, "%s\n%*s%s\n", synopsis.c_str(), kCommandColumn, "", row.summary);
    }
}

void printOptions(FILE* out) {
    std::fputs("options, each with the commands that take it:\n", out);
    for (const OptionRow& row : OptionTable::all()) {
        std::string name = std::string("  ") + row.name + (row.valueName ? std::string(" ") + row.valueName : "");
        if (static_cast<int>(name.size()) < kOptionColumn - 1)
            std::fprintf(out, "%-*s", kOptionColumn, name.c_str());
        else
            std::fprintf(out, "%s\n%*s", name.c_str(), kOptionColumn, "");
        const std::string commands = "[" + CommandTable::titles(row.commands) + "]";
        printIndented(out, row.help + "\n" + wrapped(commands, kOptionColumn), kOptionColumn);
    }
}

struct Given {
    ParsedArguments parsed;
    std::vector<const CommandRow*> commands;
    std::vector<const OptionRow*> options;
};

// One argument, with its value when it takes one; false with a message.
bool take(int argc, char** argv, int& i, Given& given, std::string& error) {
    const std::string argument = argv[i];
    const CommandRow* command = CommandTable::selectedBy(argument);
    const OptionRow* option = command ? nullptr : OptionTable::find(argument);
    if (!command && !option) {
        error = "unknown option " + argument;
        return false;
    }
    const char* value = "";
    if (command ? command->valueName : option->valueName) {
        if (i + 1 >= argc) {
            error = argument + " needs a value";
            return false;
        }
        value = argv[++i];
    }
    if (command) {
        given.commands.push_back(command);
        given.parsed.commandValue = value;
        return true;
    }
    given.options.push_back(option);
    std::string expected;
    if (option->apply(value, given.parsed, expected))
        return true;
    error = "bad value for " + argument + ": '" + value + "'" + (expected.empty() ? "" : " (" + expected + ")");
    return false;
}

// The command the arguments pick: by its option, or, without one, by the
// number of operands.
const CommandRow* chosen(const Given& given, std::string& error) {
    if (given.commands.size() > 1) {
        error =
            std::string(given.commands[0]->selector) + " and " + given.commands[1]->selector + " do not go together";
        return nullptr;
    }
    if (!given.commands.empty())
        return given.commands[0];
    return &CommandTable::of(given.parsed.operands.size() == 3 ? HostMode::ProcessFile : HostMode::Demo);
}

bool optionsBelong(const CommandRow& command, const Given& given, std::string& error) {
    for (const OptionRow* option : given.options) {
        if (option->commands & commandBit(command.mode))
            continue;
        error = std::string(option->name) + " does not go with " + command.title + "; it goes with " +
                CommandTable::titles(option->commands);
        return false;
    }
    return true;
}

bool operandsFit(const CommandRow& command, const std::vector<std::string>& operands, std::string& error) {
    switch (command.operands) {
    case Operands::None:
        if (!operands.empty())
            error = std::string(command.title) + " takes no other arguments: '" + operands[0] + "'";
        break;
    case Operands::Plugin:
    case Operands::PluginAndTwoFiles:
        if (operands.empty())
            error = "no plug-in given";
        else if (operands.size() != (command.operands == Operands::Plugin ? 1u : 3u))
            error = "wrong number of file arguments";
        break;
    case Operands::Plugins:
        if (operands.empty())
            error = std::string(command.title) + " needs at least one plug-in";
        break;
    }
    return error.empty();
}

}  // namespace

void CommandLine::printUsage(bool toStandardError) {
    FILE* out = toStandardError ? stderr : stdout;
    printCommands(out);
    std::fprintf(out, "\n%s\n", kPluginText);
    printOptions(out);
    std::fprintf(out, "\n%s", kCommandsText);
}

bool CommandLine::parse(int argc, char** argv, Command& command, std::string& error) {
    Given given;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.size() < 2 || argument.compare(0, 2, "--") != 0)
            given.parsed.operands.push_back(argument);
        else if (!take(argc, argv, i, given, error))
            return false;
    }
    const CommandRow* row = chosen(given, error);
    if (!row || !optionsBelong(*row, given, error) || !operandsFit(*row, given.parsed.operands, error))
        return false;
    if (CommandTable::opensEditors(row->mode)) {
        error = PluginLoader::withoutEditors(given.parsed.operands[0], row->title);
        if (!error.empty())
            return false;
    }
    command.mode = row->mode;
    return row->build(given.parsed, command, error);
}
