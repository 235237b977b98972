#include "tools/cli/CommandLine.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

const int kMaxBlockSize = 65536;
const int kMinSampleRate = 8000;
const int kMaxSampleRate = 768000;

const int kMaxBenchRounds = 1000;
// Curves per swept parameter: more would crowd the picture past reading.
const int kMaxSweepSteps = 20;
// Factors --scale sends; the plug-in brings them into its own range.
const double kMinEditorScale = 0.25;
const double kMaxEditorScale = 8.0;
// Each instance of --stress has a thread of its own.
const int kMaxStressInstances = 1024;
const double kMinStressSeconds = 0.1;
const double kMaxStressSeconds = 86400.0;

const char* const kUsage =
    "usage:\n"
    "  quavix-host PLUGIN IN.wav OUT.wav [options]    process a WAV file\n"
    "  quavix-host PLUGIN [--demo-out FILE] [options] render the built-in demo\n"
    "  quavix-host PLUGIN --info [--param ...]        identity and parameters only\n"
    "  quavix-host --bench PLUGIN[@SETTINGS] ...      compare the processing cost of plug-ins\n"
    "  quavix-host --editor-bench PLUGIN              time the editor's first paint and redraw at 1x and 2x\n"
    "  quavix-host --editor-png FILE PLUGIN [--scale F]  save a picture of the editor\n"
    "  quavix-host --response-png FILE PLUGIN [--sweep-param ...]\n"
    "                                                 measure and draw the magnitude response (Linux)\n"
    "  quavix-host --gui PLUGIN [--scale F]           open the editor in a window\n"
    "  quavix-host --validate PLUGIN [--strictness N] [--seed S]\n"
    "                                                 put a plug-in through a torture run\n"
    "  quavix-host --stress PLUGIN [--instances N] [--seconds S]\n"
    "                                                 hold a plug-in under a session's load\n"
    "  quavix-host --help\n"
    "  quavix-host --version\n"
    "\n"
    "PLUGIN is a VST 2.4 plug-in library: a DLL for quavix-host.exe (dist/win32 for\n"
    "32-bit plug-ins, dist/win64 for 64-bit ones), a .so for the Linux quavix-host.\n"
    "The tool prints its identity, capabilities and parameters before anything else.\n"
    "\n"
    "options:\n"
    "  --param INDEX=VALUE  set a parameter (normalized 0..1) before the job; repeatable\n"
    "  --block N            block size in frames, 1..65536 (default 512)\n"
    "  --cc NUMBER          MIDI controller for --sweep and the demo, 0..127 (default 1)\n"
    "  --sweep START:END    move the controller from START to END (0..127) across the\n"
    "                       file: one control change before each block\n"
    "  --rate R             sample rate of the demo, --info, --bench, --gui and\n"
    "                       --editor-png (default 44100); a file is processed at its own rate\n"
    "  --pcm16              write 16-bit PCM instead of 32-bit float\n"
    "  --demo-out FILE      where the demo goes (default quavix-demo.wav)\n"
    "  --close-after SECONDS  with --gui: close the window by itself after that time\n"
    "  --scale F            with --gui and --editor-png: tell the editor the display's scale\n"
    "                       (1 is 100%, 2 is 200%), as hosts do through their vendor request\n"
    "  --rounds N           with --bench and --editor-bench: rounds of measurement, 1..1000\n"
    "                       (default 9)\n"
    "  --strictness N       with --validate: 1 (quick) .. 10 (long), default 5\n"
    "  --seed S             with --validate: the random stream of an earlier run, to repeat it\n"
    "  --instances N        with --stress: instances, each on its own audio thread, 1..1024\n"
    "                       (default 64)\n"
    "  --seconds S          with --stress: how long the session plays, 0.1..86400 (default 10)\n"
    "  --sweep-param INDEX=FROM:TO:COUNT  with --response-png: one curve at each of COUNT\n"
    "                       values (1..20) from FROM to TO (0..1); repeatable, giving a curve\n"
    "                       for every combination (at most 20)\n"
    "  --show-param INDEX   with --response-png: name that parameter's starting read-out\n"
    "                       under the curves; repeatable\n"
    "\n"
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
    "Exit codes: 0 done, 1 failed (file, plug-in or editor), 2 wrong arguments.\n";

bool parseInt(const char* text, int low, int high, int& result) {
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != 0 || value < low || value > high)
        return false;
    result = static_cast<int>(value);
    return true;
}

bool parseDouble(const char* text, double low, double high, double& result) {
    char* end = nullptr;
    errno = 0;
    double value = std::strtod(text, &end);
    if (errno != 0 || end == text || *end != 0 || !std::isfinite(value) || value < low || value > high)
        return false;
    result = value;
    return true;
}

bool parseParameter(const std::string& text, ParameterSetting& setting) {
    size_t equals = text.find('=');
    double value = 0.0;
    if (equals == std::string::npos || !parseInt(text.substr(0, equals).c_str(), 0, 1 << 20, setting.index) ||
        !parseDouble(text.c_str() + equals + 1, 0.0, 1.0, value)) {
        return false;
    }
    setting.value = static_cast<float>(value);
    return true;
}

// "0=0.5,3=1"
bool parseSettingList(const std::string& text, std::vector<ParameterSetting>& settings) {
    size_t start = 0;
    for (;;) {
        size_t comma = text.find(',', start);
        ParameterSetting setting = {0, 0.0f};
        if (!parseParameter(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start),
                            setting)) {
            return false;
        }
        settings.push_back(setting);
        if (comma == std::string::npos)
            return true;
        start = comma + 1;
    }
}

// "2=0:1:3"
bool parseParameterSweep(const std::string& text, ParameterSweep& sweep) {
    size_t equals = text.find('=');
    size_t first = text.find(':', equals == std::string::npos ? 0 : equals);
    size_t second = first == std::string::npos ? first : text.find(':', first + 1);
    double from = 0.0, to = 0.0;
    if (second == std::string::npos || !parseInt(text.substr(0, equals).c_str(), 0, 1 << 20, sweep.index) ||
        !parseDouble(text.substr(equals + 1, first - equals - 1).c_str(), 0.0, 1.0, from) ||
        !parseDouble(text.substr(first + 1, second - first - 1).c_str(), 0.0, 1.0, to) ||
        !parseInt(text.c_str() + second + 1, 1, kMaxSweepSteps, sweep.count)) {
        return false;
    }
    sweep.from = static_cast<float>(from);
    sweep.to = static_cast<float>(to);
    return true;
}

bool parseSweep(const std::string& text, RenderOptions& options) {
    size_t colon = text.find(':');
    return colon != std::string::npos && parseInt(text.substr(0, colon).c_str(), 0, 127, options.sweepStart) &&
           parseInt(text.c_str() + colon + 1, 0, 127, options.sweepEnd);
}

bool takesValue(const std::string& name) {
    if (name == "--strictness" || name == "--seed" || name == "--validate-group")
        return true;
    if (name == "--instances" || name == "--seconds")
        return true;
    return name == "--param" || name == "--block" || name == "--cc" || name == "--sweep" || name == "--rate" ||
           name == "--demo-out" || name == "--editor-png" || name == "--close-after" || name == "--rounds" ||
           name == "--response-png" || name == "--sweep-param" || name == "--show-param" || name == "--scale";
}

// The options in the order they come, before the mode is known: the ones
// every command that hosts a plug-in shares, and those the demo and file
// processing share, each parsed once; every other option straight into
// the options of its command. The chosen command takes what it uses.
class Parser {
public:
    bool option(const std::string& name, const char* value, std::string& error);
    bool choose(const std::vector<std::string>& positional, const std::vector<std::string>& modes, Command& command,
                std::string& error);

private:
    bool benchEntries(const std::vector<std::string>& positional, Command& command, std::string& error);

    PluginOptions plugin;
    RenderOptions render;
    Command given;
    double editorScale = 0.0;  // --scale; 0 when not given
    bool stressGiven = false;  // --instances or --seconds
};

bool Parser::option(const std::string& name, const char* value, std::string& error) {
    bool valid = true;
    if (name == "--param") {
        ParameterSetting setting = {0, 0.0f};
        valid = parseParameter(value, setting);
        plugin.parameters.push_back(setting);
    } else if (name == "--block") {
        valid = parseInt(value, 1, kMaxBlockSize, plugin.blockSize);
    } else if (name == "--cc") {
        valid = parseInt(value, 0, 127, render.controller);
    } else if (name == "--sweep") {
        valid = render.sweep = parseSweep(value, render);
    } else if (name == "--rate") {
        valid = plugin.rateGiven = parseInt(value, kMinSampleRate, kMaxSampleRate, plugin.sampleRate);
    } else if (name == "--rounds") {
        valid = parseInt(value, 1, kMaxBenchRounds, given.bench.settings.rounds);
    } else if (name == "--close-after") {
        valid = parseDouble(value, 0.001, 1e6, given.gui.closeAfterSeconds);
    } else if (name == "--scale") {
        if (!parseDouble(value, kMinEditorScale, kMaxEditorScale, editorScale)) {
            char range[96];
            std::snprintf(range, sizeof range, " (a factor from %g to %g: 1 is 100%%, 2 is 200%%)", kMinEditorScale,
                          kMaxEditorScale);
            error = "bad value for --scale: '" + std::string(value) + "'" + range;
            return false;
        }
    } else if (name == "--demo-out") {
        given.demo.outputPath = value;
    } else if (name == "--editor-png") {
        given.editorPicture.pngPath = value;
    } else if (name == "--response-png") {
        given.response.pngPath = value;
    } else if (name == "--sweep-param") {
        ParameterSweep sweep = {0, 0.0f, 0.0f, 1};
        valid = parseParameterSweep(value, sweep);
        given.response.sweeps.push_back(sweep);
    } else if (name == "--show-param") {
        int index = 0;
        valid = parseInt(value, 0, 0x7FFFFFFF, index);
        given.response.shownParameters.push_back(index);
    } else if (name == "--strictness") {
        valid = parseInt(value, 1, 10, given.validate.strictness);
    } else if (name == "--seed") {
        char* end = nullptr;
        errno = 0;
        given.validate.seed = std::strtoull(value, &end, 10);
        valid = given.validate.seedGiven = errno == 0 && end != value && *end == 0 && value[0] != '-';
    } else if (name == "--validate-group") {
        given.validate.group = value;
    } else if (name == "--instances") {
        valid = stressGiven = parseInt(value, 1, kMaxStressInstances, given.stress.instances);
    } else if (name == "--seconds") {
        valid = stressGiven = parseDouble(value, kMinStressSeconds, kMaxStressSeconds, given.stress.seconds);
    } else if (name == "--validate" || name == "--stress") {
        // A mode without a value: choose takes it from the list of modes.
    } else if (name == "--pcm16") {
        render.pcm16 = true;
    } else if (name != "--help" && name != "--version" && name != "--info" && name != "--gui" && name != "--bench" &&
               name != "--editor-bench") {
        error = "unknown option " + name;
        return false;
    }
    if (!valid)
        error = "bad value for " + name + ": '" + value + "'";
    return valid;
}

bool Parser::choose(const std::vector<std::string>& positional, const std::vector<std::string>& modes, Command& command,
                    std::string& error) {
    for (const std::string& mode : modes) {
        if (mode == "--help") {
            command.mode = HostMode::Help;
            return true;
        }
        if (mode == "--version") {
            command.mode = HostMode::Version;
            return true;
        }
    }
    if (modes.size() > 1) {
        error = modes[0] + " and " + modes[1] + " do not go together";
        return false;
    }
    std::string mode = modes.empty() ? "" : modes[0];
    if ((!given.response.sweeps.empty() || !given.response.shownParameters.empty()) && mode != "--response-png") {
        error = "--sweep-param and --show-param go with --response-png only";
        return false;
    }
    if (editorScale > 0.0 && mode != "--gui" && mode != "--editor-png") {
        error = "--scale goes with --gui and --editor-png only";
        return false;
    }
    if (stressGiven && mode != "--stress") {
        error = "--instances and --seconds go with --stress only";
        return false;
    }
    if (mode == "--bench")
        return benchEntries(positional, command, error);
    size_t wanted = mode.empty() ? (positional.size() == 3 ? 3 : 1) : 1;
    if (positional.size() != wanted) {
        error = positional.empty() ? "no plug-in given" : "wrong number of file arguments";
        return false;
    }
    plugin.path = positional[0];
    if (mode == "--info") {
        command.mode = HostMode::Info;
        command.info = plugin;
    } else if (mode == "--gui") {
        command.mode = HostMode::Gui;
        command.gui = given.gui;
        command.gui.plugin = plugin;
        command.gui.scale = editorScale;
    } else if (mode == "--editor-bench") {
        command.mode = HostMode::EditorBench;
        command.editorBench.plugin = plugin;
        command.editorBench.rounds = given.bench.settings.rounds;
    } else if (mode == "--editor-png") {
        command.mode = HostMode::EditorPng;
        command.editorPicture = given.editorPicture;
        command.editorPicture.plugin = plugin;
        command.editorPicture.scale = editorScale;
    } else if (mode == "--validate" || mode == "--validate-group") {
        command.mode = mode == "--validate" ? HostMode::Validate : HostMode::ValidateGroup;
        command.validate = given.validate;
        command.validate.pluginPath = plugin.path;
    } else if (mode == "--stress") {
        command.mode = HostMode::Stress;
        command.stress = given.stress;
        command.stress.pluginPath = plugin.path;
    } else if (mode == "--response-png") {
        command.mode = HostMode::ResponsePng;
        command.response = given.response;
        command.response.plugin = plugin;
    } else if (positional.size() == 3) {
        command.mode = HostMode::ProcessFile;
        command.file.plugin = plugin;
        command.file.render = render;
        command.file.inputPath = positional[1];
        command.file.outputPath = positional[2];
    } else {
        command.mode = HostMode::Demo;
        command.demo = given.demo;
        command.demo.plugin = plugin;
        command.demo.render = render;
    }
    return true;
}

bool Parser::benchEntries(const std::vector<std::string>& positional, Command& command, std::string& error) {
    if (positional.empty()) {
        error = "--bench needs at least one plug-in";
        return false;
    }
    if (!plugin.parameters.empty()) {
        error = "with --bench, give settings per plug-in: PLUGIN@INDEX=VALUE,...";
        return false;
    }
    command.mode = HostMode::Bench;
    command.bench = given.bench;
    command.bench.settings.sampleRate = plugin.sampleRate;
    command.bench.settings.blockSize = plugin.blockSize;
    for (const std::string& argument : positional) {
        BenchEntry entry;
        entry.path = argument;
        // Settings start with a digit after the last '@'; any other '@' belongs to the file's name.
        size_t at = argument.rfind('@');
        if (at != std::string::npos && at + 1 < argument.size() && argument[at + 1] >= '0' && argument[at + 1] <= '9') {
            entry.path = argument.substr(0, at);
            if (!parseSettingList(argument.substr(at + 1), entry.parameters)) {
                error = "bad settings for " + entry.path + ": '" + argument.substr(at + 1) +
                        "' (expected INDEX=VALUE,... with values 0..1)";
                return false;
            }
        }
        command.bench.plugins.push_back(entry);
    }
    return true;
}

}  // namespace

void CommandLine::printUsage(bool toStandardError) { std::fputs(kUsage, toStandardError ? stderr : stdout); }

bool CommandLine::parse(int argc, char** argv, Command& command, std::string& error) {
    Parser parser;
    std::vector<std::string> positional;
    std::vector<std::string> modes;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument.size() < 2 || argument.compare(0, 2, "--") != 0) {
            positional.push_back(argument);
            continue;
        }
        const char* value = nullptr;
        if (takesValue(argument)) {
            if (i + 1 >= argc) {
                error = argument + " needs a value";
                return false;
            }
            value = argv[++i];
        }
        if (argument == "--help" || argument == "--version" || argument == "--info" || argument == "--gui" ||
            argument == "--editor-png" || argument == "--demo-out" || argument == "--bench" ||
            argument == "--editor-bench" || argument == "--response-png") {
            modes.push_back(argument);
        }
        if (argument == "--validate" || argument == "--validate-group" || argument == "--stress")
            modes.push_back(argument);
        if (!parser.option(argument, value, error))
            return false;
    }
    return parser.choose(positional, modes, command, error);
}
