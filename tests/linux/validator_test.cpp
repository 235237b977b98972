// quavix-host --validate on quavix.so and on the test plug-in with faults
// planted: Quavix passes at the quickest and the default strictness, and
// every planted fault is failed by the group meant to catch it, at the
// strictness its check runs or fails from, with the run going on after.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
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

// The heap allocations the processing group counted inside processReplacing,
// or -1 when its figures do not say.
long allocationsCounted(const std::string& output) {
    const std::string name = "\n    heap allocations in processReplacing ";
    std::string report = groupReport(output, "Processing");
    size_t at = report.find(name);
    if (at == std::string::npos)
        return -1;
    return std::strtol(report.c_str() + at + name.size(), nullptr, 10);
}

const char* const kGroups[] = {"Identity and record", "Parameters", "Dispatcher fuzz", "Processing",
                               "Sample rates",        "MIDI",       "Threads",         "Editor",
                               "Instances",           "State",      "Host habits"};

TEST_F(Validator, QuavixPassesEveryGroupAtTheQuickestAndTheDefaultStrictness) {
    // Without an X display the editor groups say why they skip instead of passing.
    const char* display = std::getenv("DISPLAY");
    const std::string savedDisplay = display ? display : "";
    unsetenv("DISPLAY");
    for (int strictness : {1, 5}) {
        SCOPED_TRACE(strictness);
        const std::string level = "--strictness " + std::to_string(strictness);
        ToolRun run = validate(pluginPath(), level + " --seed 5");
        EXPECT_EQ(run.exitCode, 0) << run.output;
        EXPECT_NE(run.output.find("Rerun with: quavix-host --validate"), std::string::npos);
        EXPECT_NE(run.output.find(level + " --seed 5"), std::string::npos);
        for (const char* group : kGroups)
            EXPECT_FALSE(groupReport(run.output, group).empty()) << group;
        EXPECT_EQ(run.output.find("  FAIL  "), std::string::npos) << run.output;
        EXPECT_NE(lastLine(run.output).find(" passed, 0 failed"), std::string::npos) << run.output;
        EXPECT_NE(groupReport(run.output, "Editor").find("skip  open/idle/close cycles"), std::string::npos);
        EXPECT_NE(groupReport(run.output, "Editor").find("needs an X display"), std::string::npos) << run.output;
        EXPECT_EQ(allocationsCounted(run.output), 0) << groupReport(run.output, "Processing");
        // The thread check is a long one: the quick run leaves it out and says from when it runs.
        std::string threads = groupReport(run.output, "Threads");
        if (strictness == 1) {
            EXPECT_NE(threads.find("skip  processing, automation every 32 samples and the editor, each on its own "
                                   "thread: runs from strictness 4"),
                      std::string::npos)
                << threads;
        } else {
            EXPECT_NE(threads.find("no editor thread"), std::string::npos) << threads;
            EXPECT_EQ(threads.find("runs from strictness"), std::string::npos) << threads;
        }
    }
    if (display)
        setenv("DISPLAY", savedDisplay.c_str(), 1);
}

struct PlantedFault {
    const char* fault;
    const char* group;
    const char* caught;  // what the failure in that group says
    int strictness;      // the least at which the check that catches it runs or fails
    bool alone;          // no other group fails
};

TEST_F(Validator, EachPlantedFaultFailsTheGroupMeantToCatchItAndTheRunGoesOn) {
    const std::string plugin = testPluginPath();
    ASSERT_FALSE(plugin.empty()) << "QUAVIX_TEST_PLUGIN must name the test plug-in";
    const PlantedFault faults[] = {
        {"label-overrun", "Identity and record", "while asking effGetParamLabel for parameter 0", 1, false},
        {"label-overrun", "Parameters", "effGetParamLabel", 1, false},
        {"read-past", "Processing", "while processReplacing 1 frames into buffers that end at a guard page", 1, false},
        {"sticky-nan", "Processing", "after a block of NaN the output stays not finite", 1, false},
        {"opcode-crash", "Dispatcher fuzz", "while opcode 74 (effSetPanLaw)", 4, false},
        {"allocates", "Processing", "FAIL  no heap allocation inside processReplacing", 7, false},
        {"rate-nan", "Sample rates", "set back to 44100 Hz after 0 Hz: the output is not finite", 2, true},
        {"sysex-past", "MIDI", "during check 'system-exclusive events with real buffers'", 2, true},
        {"race", "Threads", "blocks came out not finite", 4, true},
        {"editor-rect", "Editor",
         "effEditGetRect answers 200 x 100 before the editor opens and 300 x 150 while it is open", 1, true},
        {"unscaled-rect", "Editor",
         "at display scale 1.5, effEditGetRect answers 200 x 100, not 1.5 times the 200 x 100 it answers at 1", 1,
         true},
        {"stale-window", "Editor",
         "after the display scale went from 1 to 2 with the editor open, effEditGetRect answers 400 x 200, but the "
         "editor neither asked the host for that size nor brought its window to it (200 x 100)",
         1, true},
        {"bad-scale", "Editor",
         "the display scale NaN before the editor opens changes effEditGetRect from 300 x 150 to", 2, true},
        {"shared-values", "Instances", "the two share state", 1, true},
        {"chunk-loses", "State", "an instance given another's state sounds different from block 0 on", 2, true},
        {"old-rule", "Host habits", "effFlagsIsSynth is set on a plug-in whose category is effect", 1, true},
    };
    for (const PlantedFault& planted : faults) {
        SCOPED_TRACE(planted.fault);
        PluginFault fault(planted.fault);
        ToolRun run = validate(plugin, "--strictness " + std::to_string(planted.strictness) + " --seed 9");
        EXPECT_EQ(run.exitCode, 1) << run.output;
        std::string report = groupReport(run.output, planted.group);
        EXPECT_NE(report.find("  FAIL  "), std::string::npos) << run.output;
        EXPECT_NE(report.find(planted.caught), std::string::npos) << report;
        EXPECT_NE(lastLine(run.output).find(" failed"), std::string::npos);
        EXPECT_EQ(lastLine(run.output).find(" 0 failed"), std::string::npos) << lastLine(run.output);
        // A crash in one group does not end the run: the last group still reports.
        EXPECT_FALSE(groupReport(run.output, "Host habits").empty()) << run.output;
        for (const char* other : kGroups) {
            if (planted.alone && planted.group != std::string(other)) {
                EXPECT_EQ(groupReport(run.output, other).find("  FAIL  "), std::string::npos) << other;
            }
        }
    }
}

struct ScaleCase {
    const char* plugin;  // "quavix", or the test plug-in's fault or mode
    int exitCode;
    const char* says;  // a line of the Editor group's report
};

// Each check of the display scale fails only the plug-in it is meant for.
// The editor checks need the X display the tests run on.
TEST_F(Validator, DisplayScalesAreCheckedWherePlugInsTakeThemAndEachFaultFailsOneCheck) {
    const char* const scales = "the editor at display scales 1, 1.5 and 2, and from 1 to 2 while open";
    const char* const bad = "display scales of NaN, 0 and below change nothing";
    const char* const rect = "effEditGetRect before and while open";
    const ScaleCase cases[] = {
        {"quavix", 0, "pass  the editor at display scales"},
        {"quavix", 0, "editor size at 1, then at 2 while open         330 x 354, then 660 x 708 (asked the host"},
        {"quavix", 0, "pass  display scales of NaN"},
        {"scales", 0, "pass  the editor at display scales"},
        {"scales", 0, "editor size at display scale 1.5               300 x 150"},
        {"scales", 0, "pass  display scales of NaN"},
        {"editor-rect", 1, "note  the plug-in does not take a display scale"},
        {"editor-rect", 1,
         "skip  the editor at display scales 1, 1.5 and 2, and from 1 to 2 while open: the plug-in "
         "does not take a display scale"},
        {"editor-rect", 1, "pass  display scales of NaN"},
        {"unscaled-rect", 1, "FAIL  the editor at display scales"},
        {"unscaled-rect", 1, "pass  display scales of NaN"},
        {"unscaled-rect", 1, "pass  effEditGetRect before and while open"},
        {"stale-window", 1, "FAIL  the editor at display scales"},
        {"stale-window", 1, "pass  display scales of NaN"},
        {"bad-scale", 1, "pass  the editor at display scales"},
        {"bad-scale", 1, "FAIL  display scales of NaN"},
    };
    // One run per plug-in serves all its rows.
    std::map<std::string, ToolRun> runs;
    for (const ScaleCase& row : cases) {
        SCOPED_TRACE(std::string(row.plugin) + ": " + row.says);
        const bool quavix = std::string(row.plugin) == "quavix";
        if (!runs.count(row.plugin)) {
            PluginFault fault(quavix ? "none" : row.plugin);
            runs[row.plugin] = validate(quavix ? pluginPath() : testPluginPath(), "--strictness 2 --seed 9");
        }
        const ToolRun& run = runs[row.plugin];
        EXPECT_EQ(run.exitCode, row.exitCode) << run.output;
        const std::string editor = groupReport(run.output, "Editor");
        EXPECT_NE(editor.find(row.says), std::string::npos) << editor;
        // Every check is reported, none left out for want of a display.
        for (const char* check : {scales, bad, rect})
            EXPECT_NE(editor.find(check), std::string::npos) << check;
        EXPECT_EQ(editor.find("needs an X display"), std::string::npos) << editor;
    }
}

TEST_F(Validator, TheSamePluginWithoutFaultsPassesWhereTheFaultsFailed) {
    // At the highest strictness of the table above, so that every check that caught a fault runs.
    ToolRun run = validate(testPluginPath(), "--strictness 7 --seed 9");
    for (const char* group : kGroups) {
        EXPECT_FALSE(groupReport(run.output, group).empty()) << group;
        EXPECT_EQ(groupReport(run.output, group).find("  FAIL  "), std::string::npos) << run.output;
    }
    // The host's own allocations around and inside the calls are not the plug-in's.
    EXPECT_EQ(allocationsCounted(run.output), 0) << groupReport(run.output, "Processing");
}

TEST_F(Validator, AllocationsInProcessReplacingAreCountedAndOnlyWarnedOfBelowStrictness7) {
    PluginFault fault("allocates");
    ToolRun run = validate(testPluginPath(), "--strictness 6 --seed 9");
    std::string processing = groupReport(run.output, "Processing");
    // One buffer per call, through the C++ runtime of a library the tool loaded with dlopen.
    EXPECT_GT(allocationsCounted(run.output), 0) << processing;
    EXPECT_NE(processing.find("pass  no heap allocation inside processReplacing"), std::string::npos) << processing;
    EXPECT_NE(processing.find("(a failure from strictness 7)"), std::string::npos) << processing;
}

// Loud output is a plug-in's own business, as an equaliser's boost is; only
// output that is not finite fails, and the checks that heard it warn in dB.
TEST_F(Validator, LoudButFiniteOutputIsWarnedOfAndFailsNothing) {
    PluginFault fault("loud");
    ToolRun run = validate(testPluginPath(), "--strictness 3 --seed 9");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output.find("  FAIL  "), std::string::npos) << run.output;
    const std::string processing = groupReport(run.output, "Processing");
    for (const char* check : {"block sizes from 1 to 4096", "no heap allocation inside processReplacing"}) {
        const size_t at = processing.find(std::string("  pass  ") + check);
        ASSERT_NE(at, std::string::npos) << processing;
        // The line after the verdict.
        const size_t start = processing.find('\n', at + 1) + 1;
        const std::string warning = processing.substr(start, processing.find('\n', start) - start);
        EXPECT_NE(warning.find("warning: the output peaked past +60 dBFS (1000) "), std::string::npos) << warning;
        EXPECT_NE(warning.find("; the loudest, +9"), std::string::npos) << warning;
        EXPECT_NE(warning.find("from noise of 0.5"), std::string::npos) << warning;
    }
    EXPECT_NE(groupReport(run.output, "Sample rates").find("warning: "), std::string::npos) << run.output;
}

// Quavix's old controller rule: 1.0 stepped the number up and 0.0 down, so a
// host that sends a value twice, or restores the value it read, moved it.
TEST_F(Validator, TheOldControllerRuleFailsHostHabitsNamingParameter3) {
    PluginFault fault("old-rule");
    ToolRun run = validate(testPluginPath(), "--strictness 2 --seed 9");
    const std::string habits = groupReport(run.output, "Host habits");
    for (const char* check : {"FAIL  the instrument flag agrees with the category",
                              "FAIL  setting a value twice changes nothing the second time",
                              "FAIL  read-backs set into a fresh instance, in index and reverse order, restore it"}) {
        EXPECT_NE(habits.find(check), std::string::npos) << habits;
    }
    EXPECT_NE(habits.find("failure: setting parameter 3 to 1 a second time changes it: parameter 3 reads"),
              std::string::npos)
        << habits;
    EXPECT_NE(habits.find("failure: every parameter set to 1 twice, restored in index order: parameter 3 reads"),
              std::string::npos)
        << habits;
    // Only the controller is at fault: every failure names it, or the flag.
    std::istringstream lines(habits);
    int failures = 0;
    for (std::string line; std::getline(lines, line);) {
        if (line.find("failure: ") == std::string::npos)
            continue;
        ++failures;
        EXPECT_TRUE(line.find("parameter 3 ") != std::string::npos || line.find("effFlagsIsSynth") != std::string::npos)
            << line;
        for (const char* other : {"parameter 0 ", "parameter 1 ", "parameter 2 "})
            EXPECT_EQ(line.find(other), std::string::npos) << line;
    }
    EXPECT_GE(failures, 4) << habits;
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
