// The host tool as a user meets it, on either system: the tool started as a
// child process on the plug-in under test, in a scratch directory of its
// own, with its exit code and everything it printed kept. What differs per
// system (starting a process, names that reach one file, a library without
// an entry point, a library of another system) is answered by the test
// program that includes this, in tests/win32/ or tests/linux/.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "tests/tools/WavBytes.h"

namespace hosttool {

const int kExitDone = 0;
const int kExitFailed = 1;
const int kExitUsage = 2;

struct ToolRun {
    int exitCode = -1;
    std::string output;  // standard output and standard error together

    bool says(const std::string& text) const { return output.find(text) != std::string::npos; }
};

// A file the tool must refuse for being built for another system or word size.
struct ForeignLibrary {
    std::string name;
    wavbytes::Bytes header;
    std::string expected;  // the message after the quoted path
};

// --- answered by each system's test program ---

// Full paths of the plug-in under test and of the tool.
std::string pluginPath();
std::string hostPath();
// Runs the tool with these arguments in that directory.
ToolRun runTool(const std::vector<std::string>& arguments, const std::string& directory);
// Whether the plug-in under test has an editor in this build.
bool pluginHasEditor();
// Whether this system's tool counts allocations and locks on audio threads.
bool stressCountsLocking();
// Other names, relative to the directory or absolute, that reach the file
// `name` in it; made there if they need to be.
std::vector<std::string> aliasesOf(const std::string& directory, const std::string& name);
// A file that writes go nowhere.
std::string nullDevice();
// Makes the file that long without writing the new bytes, so that they take no disk.
bool growSparse(const std::string& path, uint64_t length);
// A real library that exports neither entry point.
std::string libraryWithoutEntry();
std::vector<ForeignLibrary> foreignLibraries();

// --- the fixture ---

class HostToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(pluginPath().empty()) << "the environment must name the plug-in under test";
        std::error_code ignored;
        ASSERT_TRUE(std::filesystem::exists(hostPath(), ignored)) << "no host tool at " << hostPath();
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        // The 32-bit and 64-bit Windows programs share one temporary folder.
        std::string unique = std::to_string(sizeof(void*) * 8) + "-" +
                             std::to_string(std::chrono::system_clock::now().time_since_epoch().count());
        std::filesystem::path scratch = std::filesystem::temp_directory_path(ignored) /
                                        (std::string("quavix-host-test-") + test->name() + "-" + unique);
        std::filesystem::remove_all(scratch, ignored);
        std::filesystem::create_directories(scratch, ignored);
        directory = scratch.string();
        ASSERT_TRUE(fileExists(directory));
    }

    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(directory, ignored);
    }

    static bool fileExists(const std::string& path) {
        std::error_code ignored;
        return std::filesystem::exists(path, ignored);
    }

    std::string file(const std::string& name) const { return (std::filesystem::path(directory) / name).string(); }

    std::string writeWav(const std::string& name, const wavbytes::WavLayout& layout,
                         const std::vector<double>& samples) const {
        wavbytes::writeFile(file(name), wavbytes::makeWav(layout, samples));
        return file(name);
    }

    ToolRun host(const std::vector<std::string>& arguments) const { return runTool(arguments, directory); }

    ToolRun process(const std::string& in, const std::string& out, std::vector<std::string> options = {}) const {
        std::vector<std::string> arguments = {pluginPath(), in, out};
        arguments.insert(arguments.end(), options.begin(), options.end());
        return host(arguments);
    }

    wavbytes::Wav processed(const std::string& in, const std::string& outName,
                            std::vector<std::string> options = {}) const {
        ToolRun run = process(in, file(outName), options);
        EXPECT_EQ(run.exitCode, kExitDone) << run.output;
        return wavbytes::parseWav(wavbytes::readFile(file(outName)));
    }

    std::string directory;
};

}  // namespace hosttool
