// The command line as the tool reads it, parsed in this process: every
// option given to every command, taken where it belongs and refused by name
// everywhere else, with the commands that do take it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/cli/CommandLine.h"

namespace {

struct CommandCall {
    const char* key;
    const char* title;  // as refusals name it
    std::vector<std::string> arguments;
};

const CommandCall kCommands[] = {
    {"file", "processing a file", {"p.so", "in.wav", "out.wav"}},
    {"demo", "the demo", {"p.so"}},
    {"info", "--info", {"p.so", "--info"}},
    {"bench", "--bench", {"--bench", "p.so"}},
    {"editor-bench", "--editor-bench", {"--editor-bench", "p.so"}},
    {"editor-png", "--editor-png", {"--editor-png", "e.png", "p.so"}},
    {"response-png", "--response-png", {"--response-png", "r.png", "p.so"}},
    {"gui", "--gui", {"--gui", "p.so"}},
    {"validate", "--validate", {"--validate", "p.so"}},
    {"validate-group", "--validate-group", {"--validate-group", "identity", "p.so"}},
    {"help", "--help", {"--help"}},
    {"version", "--version", {"--version"}},
    {"stress", "--stress", {"--stress", "p.so"}},
    {"compare", "--compare", {"--compare", "a.so", "b.lv2"}},
};

struct OptionHome {
    std::vector<std::string> option;  // with a good value
    const char* takers;               // keys of the commands that take it
    const char* listed;               // how a refusal lists them
};

const char* const kHosting = "file demo info editor-png response-png gui";
const char* const kRunning = "file demo info bench editor-bench editor-png response-png gui";
const char* const kHostingListed = "processing a file, the demo, --info, --editor-png, --response-png and --gui";
const char* const kRunningListed =
    "processing a file, the demo, --info, --bench, --editor-bench, --editor-png, --response-png and --gui";

const OptionHome kOptions[] = {
    {{"--param", "0=0.5"}, kHosting, kHostingListed},
    {{"--block", "64"}, kRunning, kRunningListed},
    {{"--rate", "48000"}, kRunning, kRunningListed},
    {{"--cc", "7"}, "file demo", "processing a file and the demo"},
    {{"--sweep", "0:127"}, "file demo", "processing a file and the demo"},
    {{"--pcm16"}, "file demo", "processing a file and the demo"},
    {{"--demo-out", "d.wav"}, "demo", "the demo"},
    {{"--close-after", "2"}, "gui", "--gui"},
    {{"--scale", "2"}, "editor-png gui", "--editor-png and --gui"},
    {{"--rounds", "3"}, "bench editor-bench", "--bench and --editor-bench"},
    {{"--strictness", "3"}, "validate validate-group", "--validate"},
    {{"--seed", "9"}, "validate validate-group", "--validate"},
    {{"--sweep-param", "0=0:1:3"}, "response-png", "--response-png"},
    {{"--show-param", "1"}, "response-png", "--response-png"},
    {{"--instances", "2"}, "stress", "--stress"},
    {{"--seconds", "0.5"}, "stress", "--stress"},
};

bool takes(const OptionHome& home, const std::string& key) {
    return (" " + std::string(home.takers) + " ").find(" " + key + " ") != std::string::npos;
}

bool parse(std::vector<std::string> arguments, Command& command, std::string& error) {
    arguments.insert(arguments.begin(), "quavix-host");
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(&argument[0]);
    return CommandLine::parse(static_cast<int>(argv.size()), argv.data(), command, error);
}

TEST(CommandLine, EveryOptionIsTakenByItsCommandsAndRefusedByNameByEveryOther) {
    int refused = 0;
    for (const OptionHome& home : kOptions) {
        for (const CommandCall& call : kCommands) {
            SCOPED_TRACE(home.option[0] + " with " + call.key);
            std::vector<std::string> arguments = call.arguments;
            arguments.insert(arguments.end(), home.option.begin(), home.option.end());
            Command command;
            std::string error;
            const bool parsed = parse(arguments, command, error);
            if (takes(home, call.key)) {
                EXPECT_TRUE(parsed) << error;
                continue;
            }
            ++refused;
            EXPECT_FALSE(parsed);
            EXPECT_EQ(error, home.option[0] + " does not go with " + call.title + "; it goes with " + home.listed);
        }
    }
    // Sixteen options, fourteen commands, and the homes above.
    EXPECT_EQ(refused, 182);
}

TEST(CommandLine, EachOptionReachesTheCommandThatTakesIt) {
    Command command;
    std::string error;
    ASSERT_TRUE(
        parse({"p.so", "--demo-out", "d.wav", "--cc", "7", "--param", "1=0.25", "--rate", "48000"}, command, error))
        << error;
    EXPECT_EQ(command.mode, HostMode::Demo);
    EXPECT_EQ(command.as<DemoOptions>().outputPath, "d.wav");
    EXPECT_EQ(command.as<DemoOptions>().render.controller, 7);
    ASSERT_EQ(command.as<DemoOptions>().plugin.parameters.size(), 1u);
    EXPECT_EQ(command.as<DemoOptions>().plugin.parameters[0].index, 1);
    EXPECT_EQ(command.as<DemoOptions>().plugin.sampleRate, 48000);
    ASSERT_TRUE(parse({"--editor-bench", "p.so", "--rounds", "4"}, command, error)) << error;
    EXPECT_EQ(command.as<EditorBenchOptions>().rounds, 4);
    ASSERT_TRUE(parse({"--gui", "p.so", "--scale", "1.5", "--close-after", "3"}, command, error)) << error;
    EXPECT_EQ(command.as<GuiOptions>().scale, 1.5);
    EXPECT_EQ(command.as<GuiOptions>().closeAfterSeconds, 3.0);
    ASSERT_TRUE(parse({"--validate-group", "habits", "p.so", "--seed", "12"}, command, error)) << error;
    EXPECT_EQ(command.as<ValidateOptions>().group, "habits");
    EXPECT_EQ(command.as<ValidateOptions>().seed, 12u);
    EXPECT_EQ(command.hostedPlugins(), "p.so");
    ASSERT_TRUE(parse({"--bench", "a.so", "b.so@0=1,2=0.5"}, command, error)) << error;
    ASSERT_EQ(command.as<BenchOptions>().plugins.size(), 2u);
    EXPECT_EQ(command.as<BenchOptions>().plugins[1].parameters.size(), 2u);
    EXPECT_EQ(command.hostedPlugins(), "a.so', 'b.so");
}

// The fuzzer found 49 curves accepted here and refused only after the
// plug-in had loaded.
TEST(CommandLine, SweepsPastTwentyCurvesAreRefusedWhileParsing) {
    const struct {
        std::vector<std::string> sweeps;
        bool accepted;
    } kRows[] = {
        {{"0=0:1:20"}, true},
        {{"0=0:1:4", "1=0:1:5"}, true},
        {{"0=0:1:3", "1=0:1:7"}, false},
        {{"0=0:1:7", "0=0:1:7"}, false},
        {{"0=0:1:20", "1=0:1:1", "2=0:1:2"}, false},
    };
    for (const auto& row : kRows) {
        std::vector<std::string> arguments = {"--response-png", "r.png", "p.so"};
        for (const std::string& sweep : row.sweeps) {
            arguments.push_back("--sweep-param");
            arguments.push_back(sweep);
        }
        Command command;
        std::string error;
        SCOPED_TRACE(row.sweeps.back());
        EXPECT_EQ(parse(arguments, command, error), row.accepted);
        if (!row.accepted) {
            EXPECT_NE(error.find("more than the 20 curves one picture can show"), std::string::npos) << error;
        }
    }
}

}  // namespace
