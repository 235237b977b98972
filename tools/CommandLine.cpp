#include "tools/CommandLine.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

const int kMaxBlockSize = 65536;
const int kMinSampleRate = 8000;
const int kMaxSampleRate = 768000;

const char* const kUsage =
    "usage:\n"
    "  quavix-host.exe PLUGIN.dll IN.wav OUT.wav [options]   process a WAV file\n"
    "  quavix-host.exe PLUGIN.dll [--demo-out FILE] [options] render the built-in demo\n"
    "  quavix-host.exe PLUGIN.dll --info [--param ...]        identity and parameters only\n"
    "  quavix-host.exe --editor-png FILE PLUGIN.dll           save a picture of the editor\n"
    "  quavix-host.exe --gui PLUGIN.dll                       open the editor in a window\n"
    "  quavix-host.exe --help\n"
    "\n"
    "Loads any VST 2.4 plug-in DLL and prints its identity, capabilities and\n"
    "parameters before it does anything else.\n"
    "\n"
    "options:\n"
    "  --param INDEX=VALUE  set a parameter (normalized 0..1) before the job; repeatable\n"
    "  --block N            block size in frames, 1..65536 (default 512)\n"
    "  --cc NUMBER          MIDI controller for --sweep and the demo, 0..127 (default 1)\n"
    "  --sweep START:END    move the controller from START to END (0..127) across the\n"
    "                       file: one control change before each block\n"
    "  --rate R             sample rate of the demo, --info, --gui and --editor-png\n"
    "                       (default 44100); a file is processed at its own rate\n"
    "  --pcm16              write 16-bit PCM instead of 32-bit float\n"
    "  --demo-out FILE      where the demo goes (default quavix-demo.wav)\n"
    "  --close-after SECONDS  with --gui: close the window by itself after that time\n"
    "\n"
    "Input: 16-bit or 24-bit PCM or 32-bit float WAV, mono or stereo, any rate and\n"
    "any length: it streams through, with progress shown on long files. A mono\n"
    "input feeds every plug-in input; a stereo one feeds the first two, or their\n"
    "mix to a plug-in with one input. The output has the plug-in's output\n"
    "channels and is never written over the input.\n"
    "Exit codes: 0 done, 1 failed (file, plug-in or editor), 2 wrong arguments.\n";

bool parseInt(const char* text, int low, int high, int& result) {
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != 0 || value < low || value > high) return false;
    result = static_cast<int>(value);
    return true;
}

bool parseDouble(const char* text, double low, double high, double& result) {
    char* end = nullptr;
    errno = 0;
    double value = std::strtod(text, &end);
    if (errno != 0 || end == text || *end != 0 || !std::isfinite(value) || value < low || value > high) return false;
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

bool parseSweep(const std::string& text, HostOptions& options) {
    size_t colon = text.find(':');
    return colon != std::string::npos && parseInt(text.substr(0, colon).c_str(), 0, 127, options.sweepStart) &&
           parseInt(text.c_str() + colon + 1, 0, 127, options.sweepEnd);
}

}  // namespace

void CommandLine::printUsage(bool toStandardError) { std::fputs(kUsage, toStandardError ? stderr : stdout); }

bool CommandLine::takesValue(const std::string& name) {
    return name == "--param" || name == "--block" || name == "--cc" || name == "--sweep" || name == "--rate" ||
           name == "--demo-out" || name == "--editor-png" || name == "--close-after";
}

bool CommandLine::parse(int argc, char** argv, HostOptions& options, std::string& error) {
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
        if (argument == "--help" || argument == "--info" || argument == "--gui" || argument == "--editor-png" ||
            argument == "--demo-out") {
            modes.push_back(argument);
        }
        if (!parseOption(argument, value, options, error)) return false;
    }
    return chooseMode(positional, modes, options, error);
}

bool CommandLine::parseOption(const std::string& name, const char* value, HostOptions& options, std::string& error) {
    bool valid = true;
    if (name == "--param") {
        ParameterSetting setting = {0, 0.0f};
        valid = parseParameter(value, setting);
        options.parameters.push_back(setting);
    } else if (name == "--block") {
        valid = parseInt(value, 1, kMaxBlockSize, options.blockSize);
    } else if (name == "--cc") {
        valid = parseInt(value, 0, 127, options.controller);
    } else if (name == "--sweep") {
        valid = options.sweep = parseSweep(value, options);
    } else if (name == "--rate") {
        valid = options.rateGiven = parseInt(value, kMinSampleRate, kMaxSampleRate, options.sampleRate);
    } else if (name == "--close-after") {
        valid = parseDouble(value, 0.001, 1e6, options.closeAfterSeconds);
    } else if (name == "--demo-out") {
        options.demoOutput = value;
    } else if (name == "--editor-png") {
        options.pngPath = value;
    } else if (name == "--pcm16") {
        options.pcm16 = true;
    } else if (name != "--help" && name != "--info" && name != "--gui") {
        error = "unknown option " + name;
        return false;
    }
    if (!valid) error = "bad value for " + name + ": '" + value + "'";
    return valid;
}

bool CommandLine::chooseMode(const std::vector<std::string>& positional, const std::vector<std::string>& modes,
                             HostOptions& options, std::string& error) {
    for (const std::string& mode : modes) {
        if (mode == "--help") {
            options.mode = HostMode::Help;
            return true;
        }
    }
    if (modes.size() > 1) {
        error = modes[0] + " and " + modes[1] + " do not go together";
        return false;
    }
    std::string mode = modes.empty() ? "" : modes[0];
    size_t wanted = mode.empty() ? (positional.size() == 3 ? 3 : 1) : 1;
    if (positional.size() != wanted) {
        error = positional.empty() ? "no plug-in given" : "wrong number of file arguments";
        return false;
    }
    options.pluginPath = positional[0];
    if (mode == "--info") options.mode = HostMode::Info;
    else if (mode == "--gui") options.mode = HostMode::Gui;
    else if (mode == "--editor-png") options.mode = HostMode::EditorPng;
    else if (positional.size() == 3) options.mode = HostMode::ProcessFile;
    else options.mode = HostMode::Demo;
    if (options.mode == HostMode::ProcessFile) {
        options.inputPath = positional[1];
        options.outputPath = positional[2];
    }
    return true;
}
