// The Linux quavix-host on quavix.so: the behaviour every build shares
// (tests/tools/), how Linux answers the system's questions, and what only
// the Linux build does: refuse editor hosting without an X display, and name
// the module and the signal of a plug-in that crashes.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "tests/linux/support/ToolProcess.h"
#include "tests/tools/HostToolCases.h"
#include "tests/tools/LibraryFormatCases.h"

namespace hosttool {

bool pluginHasEditor() { return true; }

std::string nullDevice() { return "/dev/null"; }

std::string libraryWithoutEntry() { return "/lib/x86_64-linux-gnu/libm.so.6"; }

bool growSparse(const std::string& path, uint64_t length) {
    return truncate(path.c_str(), static_cast<off_t>(length)) == 0;
}

std::vector<std::string> aliasesOf(const std::string& directory, const std::string& name) {
    std::filesystem::create_directory(directory + "/sub");
    std::string link = directory + "/link.wav", hardLink = directory + "/hard.wav";
    EXPECT_EQ(symlink(name.c_str(), link.c_str()), 0);
    EXPECT_EQ(::link((directory + "/" + name).c_str(), hardLink.c_str()), 0);
    return {name, "./" + name, "sub/../" + name, link, hardLink};
}

std::vector<ForeignLibrary> foreignLibraries() {
    using namespace libraryformat;
    return {
        {"QUAVIX.dll", peHeader(kPeI386), "is a 32-bit Windows plug-in; use dist/win32/quavix-host.exe under Wine"},
        {"QUAVIX64.dll", peHeader(kPeAmd64), "is a 64-bit Windows plug-in; use dist/win64/quavix-host.exe under Wine"},
    };
}

namespace {

// Takes the display away from the tools this test starts, and gives it back after.
class NoDisplay {
public:
    NoDisplay() : saved(std::getenv("DISPLAY") ? std::getenv("DISPLAY") : ""), had(std::getenv("DISPLAY")) {
        unsetenv("DISPLAY");
    }
    ~NoDisplay() {
        if (had)
            setenv("DISPLAY", saved.c_str(), 1);
    }

private:
    std::string saved;
    bool had;
};

TEST_F(HostToolTest, EditorHostingWithoutADisplayIsRefusedPlainly) {
    NoDisplay noDisplay;
    const std::vector<std::vector<std::string>> editorJobs = {
        {"--editor-png", file("editor.png"), pluginPath()},
        {"--gui", pluginPath(), "--close-after", "1"},
        {"--editor-bench", pluginPath()},
    };
    for (const std::vector<std::string>& job : editorJobs) {
        SCOPED_TRACE(job[0]);
        ToolRun run = host(job);
        EXPECT_EQ(run.exitCode, kExitFailed) << run.output;
        EXPECT_TRUE(run.says("editor hosting needs an X display")) << run.output;
    }
    EXPECT_FALSE(fileExists(file("editor.png")));
}

struct BenchCase {
    const char* fault;
    int exitCode;
    const char* says;
};

TEST_F(HostToolTest, PluginThatOnlyExportsMainBenchesAsTwoMonoInstancesUnlessItHasNoInputs) {
    ASSERT_FALSE(testPluginPath().empty()) << "QUAVIX_TEST_PLUGIN must name the test plug-in";
    const BenchCase cases[] = {
        {"none", kExitDone, "TestPlugin   "},
        {"none", kExitDone, "(mono: two instances per stereo frame, one per channel)"},
        {"synth", kExitFailed, "': it takes no audio input (an instrument or generator)"},
    };
    for (const BenchCase& row : cases) {
        SCOPED_TRACE(row.says);
        PluginFault fault(row.fault);
        ToolRun run = host({"--bench", pluginPath(), testPluginPath(), "--rounds", "1"});
        EXPECT_EQ(run.exitCode, row.exitCode) << run.output;
        EXPECT_TRUE(run.says(row.says)) << run.output;
        // Quavix is measured either way.
        ASSERT_FALSE(benchLines(run.output).empty()) << run.output;
        EXPECT_EQ(benchLines(run.output)[0].name, "Quavix");
    }
}

struct CrashCase {
    const char* fault;
    const char* report;
    const char* reached;           // the memory reached for: only memory faults have one
    std::vector<std::string> job;  // after the test plug-in's path
};

TEST_F(HostToolTest, CrashesNameTheSignalTheModuleAndThePlugin) {
    std::string in = writeWav("in.wav", wavbytes::WavLayout(), wavbytes::testSignal(1000, 2));
    const CrashCase cases[] = {
        {"segv", "SIGSEGV (invalid memory access)", "(reaching for 0x0000000000000000)", {in, file("out.wav")}},
        {"bus", "SIGBUS (bus error)", "(reaching for 0x", {in, file("out.wav")}},
        {"fpe", "SIGFPE (arithmetic fault)", "", {in, file("out.wav")}},
        {"ill", "SIGILL (illegal instruction)", "", {"--demo-out", file("out.wav")}},
    };
    for (const CrashCase& crash : cases) {
        SCOPED_TRACE(crash.fault);
        PluginFault fault(crash.fault);
        std::vector<std::string> arguments = {testPluginPath()};
        arguments.insert(arguments.end(), crash.job.begin(), crash.job.end());
        ToolRun run = host(arguments);
        EXPECT_EQ(run.exitCode, kExitFailed) << run.output;
        EXPECT_TRUE(run.says(std::string("quavix-host: crashed with ") + crash.report + " at address 0x"))
            << run.output;
        EXPECT_TRUE(run.says("in '" + testPluginPath() + "'")) << run.output;
        EXPECT_EQ(run.says("reaching for"), *crash.reached != 0) << run.output;
        EXPECT_TRUE(run.says(crash.reached)) << run.output;
        EXPECT_TRUE(run.says("while hosting '" + testPluginPath() + "'")) << run.output;
        // What was printed before the crash is not lost in a buffer.
        EXPECT_TRUE(run.says("Name           TestPlugin")) << run.output;
    }
}

}  // namespace
}  // namespace hosttool
