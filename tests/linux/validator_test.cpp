// quavix-host --validate on quavix.so and on the test plug-in with faults
// planted: Quavix passes at the quickest strictness, and every planted fault
// is failed by the group meant to catch it, with the run going on after.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sstream>
#include <vector>

#include "tests/linux/support/ToolProcess.h"

namespace {

using hosttool::PluginFault;
using hosttool::pluginPath;
using hosttool::testPluginPath;
using hosttool::ToolRun;

class Validator : public hosttool::HostToolTest {
protected:
    ToolRun validate(const std::string& plugin, const std::string& extra = "") const {
        std::vector<std::string> arguments = {"--validate", plugin};
        std::istringstream words(extra);
        for (std::string word; words >> word;)
            arguments.push_back(word);
        return host(arguments);
    }
};

// The report of one group: from its "== Title" line to the next group's.
std::string groupReport(const std::string& output, const std::string& title) {
    size_t start = output.find("\n== " + title + " (");
    if (start == std::string::npos)
        return "";
    size_t end = output.find("\n== ", start + 1);
    return output.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string lastLine(const std::string& output) {
    size_t end = output.find_last_not_of('\n');
    if (end == std::string::npos)
        return "";
    size_t start = output.rfind('\n', end);
    start = start == std::string::npos ? 0 : start + 1;
    return output.substr(start, end - start + 1);
}

const char* const kGroups[] = {"Identity and record", "Parameters", "Dispatcher fuzz", "Processing",
                               "Sample rates",        "MIDI",       "Threads",         "Editor",
                               "Instances",           "State"};

TEST_F(Validator, QuavixPassesEveryGroupAtTheQuickestStrictness) {
    // Without an X display the editor groups say why they skip instead of passing.
    const char* display = std::getenv("DISPLAY");
    const std::string savedDisplay = display ? display : "";
    unsetenv("DISPLAY");
    ToolRun run = validate(pluginPath(), "--strictness 1 --seed 5");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("Rerun with: quavix-host --validate"), std::string::npos);
    EXPECT_NE(run.output.find("--strictness 1 --seed 5"), std::string::npos);
    for (const char* group : kGroups)
        EXPECT_FALSE(groupReport(run.output, group).empty()) << group;
    EXPECT_EQ(run.output.find("  FAIL  "), std::string::npos) << run.output;
    EXPECT_NE(lastLine(run.output).find(" passed, 0 failed"), std::string::npos) << run.output;
    EXPECT_NE(groupReport(run.output, "Editor").find("skip  open/idle/close cycles"), std::string::npos);
    EXPECT_NE(groupReport(run.output, "Editor").find("needs an X display"), std::string::npos) << run.output;
    EXPECT_NE(groupReport(run.output, "Threads").find("no editor thread"), std::string::npos);
    if (display)
        setenv("DISPLAY", savedDisplay.c_str(), 1);
}

struct PlantedFault {
    const char* fault;
    const char* group;
    const char* caught;  // what the failure in that group says
};

TEST_F(Validator, EachPlantedFaultFailsTheGroupMeantToCatchItAndTheRunGoesOn) {
    const std::string plugin = testPluginPath();
    ASSERT_FALSE(plugin.empty()) << "QUAVIX_TEST_PLUGIN must name the test plug-in";
    const PlantedFault faults[] = {
        {"label-overrun", "Identity and record", "while asking effGetParamLabel for parameter 0"},
        {"label-overrun", "Parameters", "effGetParamLabel"},
        {"read-past", "Processing", "while processReplacing 1 frames into buffers that end at a guard page"},
        {"sticky-nan", "Processing", "after a block of NaN the output stays not finite"},
        {"opcode-crash", "Dispatcher fuzz", "while opcode 74 (effSetPanLaw)"},
    };
    for (const PlantedFault& planted : faults) {
        SCOPED_TRACE(planted.fault);
        PluginFault fault(planted.fault);
        ToolRun run = validate(plugin, "--strictness 1 --seed 9");
        EXPECT_EQ(run.exitCode, 1) << run.output;
        std::string report = groupReport(run.output, planted.group);
        EXPECT_NE(report.find("  FAIL  "), std::string::npos) << run.output;
        EXPECT_NE(report.find(planted.caught), std::string::npos) << report;
        EXPECT_NE(lastLine(run.output).find(" failed"), std::string::npos);
        EXPECT_EQ(lastLine(run.output).find(" 0 failed"), std::string::npos) << lastLine(run.output);
        // A crash in one group does not end the run: the last group still reports.
        EXPECT_FALSE(groupReport(run.output, "State").empty()) << run.output;
    }
}

TEST_F(Validator, TheSamePluginWithoutFaultsPassesWhereTheFaultsFailed) {
    ToolRun run = validate(testPluginPath(), "--strictness 1 --seed 9");
    for (const char* group : {"Parameters", "Dispatcher fuzz", "Processing"}) {
        EXPECT_EQ(groupReport(run.output, group).find("  FAIL  "), std::string::npos) << run.output;
    }
}

TEST_F(Validator, BadArgumentsAndMissingPluginsEndWithAMessage) {
    EXPECT_EQ(validate(pluginPath(), "--strictness 0").exitCode, 2);
    EXPECT_EQ(validate(pluginPath(), "--strictness 11").exitCode, 2);
    EXPECT_EQ(validate(pluginPath(), "--seed -3").exitCode, 2);
    ToolRun missing = validate("/nonexistent/plugin.so", "--strictness 1");
    EXPECT_EQ(missing.exitCode, 1) << missing.output;
    EXPECT_NE(missing.output.find("not run: the plug-in does not load"), std::string::npos) << missing.output;
    EXPECT_NE(lastLine(missing.output).find("0 passed, 1 failed"), std::string::npos) << missing.output;
}

}  // namespace
