#include "tools/cli/OptionTable.h"

#include <cstdio>
#include <sstream>

#include "tools/cli/ValueParsing.h"

namespace {

const int kMaxBlockSize = 65536;
const int kMinSampleRate = 8000;
const int kMaxSampleRate = 768000;
const int kMaxRounds = 1000;
// Curves per swept parameter: more would crowd the picture past reading.
const int kMaxSweepSteps = 20;
// Factors --scale sends; the plug-in brings them into its own range.
const double kMinEditorScale = 0.25;
const double kMaxEditorScale = 8.0;
const double kMaxCloseAfterSeconds = 1e6;
// Each instance of --stress has a thread of its own.
const int kMaxStressInstances = 1024;
const double kMinStressSeconds = 0.1;
const double kMaxStressSeconds = 86400.0;

// The help in words around the figures the code holds, so that it cannot
// tell of another default or limit than the one in force.
template <typename... Parts>
std::string told(const Parts&... parts) {
    std::ostringstream text;
    (text << ... << parts);
    return text.str();
}

constexpr CommandSet kRendering = commandBit(HostMode::Demo) | commandBit(HostMode::ProcessFile);
// Every command that loads one plug-in and sets it up before its job.
constexpr CommandSet kSettingUp = kRendering | commandBit(HostMode::Info) | commandBit(HostMode::EditorPng) |
                                  commandBit(HostMode::Gui) | commandBit(HostMode::ResponsePng);
constexpr CommandSet kRunning = kSettingUp | commandBit(HostMode::Bench) | commandBit(HostMode::EditorBench);
constexpr CommandSet kEditors = commandBit(HostMode::EditorPng) | commandBit(HostMode::Gui);
constexpr CommandSet kBenches = commandBit(HostMode::Bench) | commandBit(HostMode::EditorBench);
constexpr CommandSet kValidating = commandBit(HostMode::Validate) | commandBit(HostMode::ValidateGroup);
constexpr CommandSet kResponse = commandBit(HostMode::ResponsePng);
constexpr CommandSet kStress = commandBit(HostMode::Stress);

bool editorScale(const char* value, ParsedArguments& parsed, std::string& expected) {
    double scale = 0.0;
    if (!ValueParsing::real(value, kMinEditorScale, kMaxEditorScale, scale)) {
        char range[96];
        std::snprintf(range, sizeof range, "a factor from %g to %g: 1 is 100%%, 2 is 200%%", kMinEditorScale,
                      kMaxEditorScale);
        expected = range;
        return false;
    }
    parsed.given.editorPicture.scale = parsed.given.gui.scale = scale;
    return true;
}

bool benchRounds(const char* value, ParsedArguments& parsed, std::string&) {
    int rounds = 0;
    if (!ValueParsing::integer(value, 1, kMaxRounds, rounds))
        return false;
    parsed.given.bench.settings.rounds = parsed.given.editorBench.rounds = rounds;
    return true;
}

const std::vector<OptionRow> kOptions = {
    {"--param", "INDEX=VALUE", kSettingUp, "set a parameter (normalized 0..1) before the job; repeatable",
     [](const char* value, ParsedArguments& parsed, std::string&) {
         ParameterSetting setting = {0, 0.0f};
         parsed.plugin.parameters.push_back(setting);
         return ValueParsing::parameter(value, parsed.plugin.parameters.back());
     }},
    {"--block", "N", kRunning,
     told("block size in frames, 1..", kMaxBlockSize, " (default ", PluginSetup::kDefaultBlockSize, ")"),
     [](const char* value, ParsedArguments& parsed, std::string&) {
         return ValueParsing::integer(value, 1, kMaxBlockSize, parsed.plugin.blockSize);
     }},
    {"--rate", "R", kRunning,
     told("sample rate (default ", PluginSetup::kDefaultSampleRate, "); a file is processed at its own rate"),
     [](const char* value, ParsedArguments& parsed, std::string&) {
         return parsed.plugin.rateGiven =
                    ValueParsing::integer(value, kMinSampleRate, kMaxSampleRate, parsed.plugin.sampleRate);
     }},
    {"--cc", "NUMBER", kRendering,
     told("MIDI controller for --sweep and the demo, 0..", HostedPlugin::kHighestController, " (default ",
          RenderSettings::kDefaultController, ")"),
     [](const char* value, ParsedArguments& parsed, std::string&) {
         return ValueParsing::integer(value, 0, HostedPlugin::kHighestController, parsed.render.controller);
     }},
    {"--sweep", "START:END", kRendering,
     told("move the controller from START to END (0..", HostedPlugin::kHighestController,
          ") across the\nfile: one control change before each block"),
     [](const char* value, ParsedArguments& parsed, std::string&) {
         return parsed.render.sweep = ValueParsing::controllerSweep(value, parsed.render);
     }},
    {"--pcm16", nullptr, kRendering, "write 16-bit PCM instead of 32-bit float",
     [](const char*, ParsedArguments& parsed, std::string&) { return parsed.render.pcm16 = true; }},
    {"--demo-out", "FILE", commandBit(HostMode::Demo),
     told("where the demo goes (default ", DemoOptions::kDefaultOutputPath, ")"),
     [](const char* value, ParsedArguments& parsed, std::string&) {
         parsed.given.demo.outputPath = value;
         return true;
     }},
    {"--close-after", "SECONDS", commandBit(HostMode::Gui), "close the window by itself after that time",
     [](const char* value, ParsedArguments& parsed, std::string&) {
         return ValueParsing::real(value, 0.001, kMaxCloseAfterSeconds, parsed.given.gui.closeAfterSeconds);
     }},
    {"--scale", "F", kEditors,
     "tell the editor the display's scale (1 is 100%, 2 is 200%),\nas hosts do through their vendor request",
     editorScale},
    {"--rounds", "N", kBenches,
     told("rounds of measurement, 1..", kMaxRounds, " (default ", BenchSettings::kDefaultRounds, ")"), benchRounds},
    {"--strictness", "N", kValidating,
     told(ValidationSettings::kMinStrictness, " (quick) .. ", ValidationSettings::kMaxStrictness, " (long), default ",
          ValidationSettings::kDefaultStrictness),
     [](const char* value, ParsedArguments& parsed, std::string&) {
         return ValueParsing::integer(value, ValidationSettings::kMinStrictness, ValidationSettings::kMaxStrictness,
                                      parsed.given.validate.strictness);
     }},
    {"--seed", "S", kValidating, "the random stream of an earlier run, to repeat it",
     [](const char* value, ParsedArguments& parsed, std::string&) {
         return parsed.given.validate.seedGiven = ValueParsing::seed(value, parsed.given.validate.seed);
     }},
    {"--instances", "N", kStress,
     told("instances, each on its own audio thread, 1..", kMaxStressInstances, " (default ",
          StressOptions::kDefaultInstances, ")"),
     [](const char* value, ParsedArguments& parsed, std::string&) {
         return ValueParsing::integer(value, 1, kMaxStressInstances, parsed.given.stress.instances);
     }},
    {"--seconds", "S", kStress,
     told("how long the session plays, ", kMinStressSeconds, "..", kMaxStressSeconds, " (default ",
          StressOptions::kDefaultSeconds, ")"),
     [](const char* value, ParsedArguments& parsed, std::string&) {
         return ValueParsing::real(value, kMinStressSeconds, kMaxStressSeconds, parsed.given.stress.seconds);
     }},
    {"--sweep-param", "INDEX=FROM:TO:COUNT", kResponse,
     told("one curve at each of COUNT values (1..", kMaxSweepSteps,
          ") from FROM to TO\n(0..1); repeatable, giving a curve for every combination\n(at most ",
          ResponsePlot::kMaxCurves, ")"),
     [](const char* value, ParsedArguments& parsed, std::string& expected) {
         std::vector<ParameterSweep>& sweeps = parsed.given.response.sweeps;
         sweeps.push_back(ParameterSweep{0, 0.0f, 0.0f, 1});
         if (!ValueParsing::parameterSweep(value, kMaxSweepSteps, sweeps.back()))
             return false;
         // Refused here, before anything is loaded, as every other bad option is.
         expected = tooManyCurves(sweeps);
         return expected.empty();
     }},
    {"--show-param", "INDEX", kResponse, "name that parameter's starting read-out under the curves;\nrepeatable",
     [](const char* value, ParsedArguments& parsed, std::string&) {
         parsed.given.response.shownParameters.push_back(0);
         return ValueParsing::integer(value, 0, 0x7FFFFFFF, parsed.given.response.shownParameters.back());
     }},
};

}  // namespace

const std::vector<OptionRow>& OptionTable::all() { return kOptions; }

const OptionRow* OptionTable::find(const std::string& name) {
    for (const OptionRow& row : kOptions) {
        if (name == row.name)
            return &row;
    }
    return nullptr;
}
