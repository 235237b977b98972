// The tool's command line: which job to do and with what settings.
#pragma once

#include <string>
#include <vector>

enum class HostMode { Help, Demo, Info, ProcessFile, EditorPng, Gui, Bench, ResponsePng, Validate, ValidateGroup };

struct ParameterSetting {
    int index;
    float value;
};

// --sweep-param INDEX=FROM:TO:COUNT: COUNT values evenly from FROM to TO.
struct ParameterSweep {
    int index;
    float from;
    float to;
    int count;

    float valueAt(int step) const {
        return count > 1 ? static_cast<float>(from + (to - from) * static_cast<double>(step) / (count - 1)) : from;
    }
};

// A plug-in of the benchmark with the settings it is measured at.
struct BenchEntry {
    std::string path;
    std::vector<ParameterSetting> parameters;
};

struct HostOptions {
    HostMode mode = HostMode::Demo;
    std::string pluginPath;
    std::string inputPath;
    std::string outputPath;
    std::string demoOutput = "quavix-demo.wav";
    std::string pngPath;
    std::vector<ParameterSetting> parameters;
    std::vector<ParameterSweep> parameterSweeps;
    // Parameters whose starting read-out the response picture names.
    std::vector<int> shownParameters;
    int blockSize = 512;
    int controller = 1;
    bool sweep = false;
    int sweepStart = 0;
    int sweepEnd = 127;
    int sampleRate = 44100;
    bool rateGiven = false;
    bool pcm16 = false;
    double closeAfterSeconds = 0.0;  // 0: the window stays until closed
    std::vector<BenchEntry> benchPlugins;
    int benchRounds = 9;
    int strictness = 5;           // --validate: 1 quick .. 10 long
    unsigned long long seed = 0;  // --validate: the random stream, printed for reruns
    bool seedGiven = false;
    std::string validateGroup;  // the hidden --validate-group: one group in this process

    // The plug-in or plug-ins of the job, for messages that must name them.
    std::string hostedPlugins() const;
};

class CommandLine {
public:
    // False with a message for arguments that make no job.
    static bool parse(int argc, char** argv, HostOptions& options, std::string& error);
    static void printUsage(bool toStandardError);

private:
    static bool parseOption(const std::string& name, const char* value, HostOptions& options, std::string& error);
    static bool chooseMode(const std::vector<std::string>& positional, const std::vector<std::string>& modes,
                           HostOptions& options, std::string& error);
    static bool takesValue(const std::string& name);
    static bool parseBenchEntries(const std::vector<std::string>& positional, HostOptions& options, std::string& error);
};
