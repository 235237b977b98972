// The Linux quavix-host on quavix.so: the behaviour every build shares
// (tests/tools/), how Linux answers the system's questions, and what only
// the Linux build does: refuse editor hosting without an X display, name
// the module and the signal of a plug-in that crashes, and count the
// allocations and locks a plug-in makes on the audio threads of --stress.
#include <fcntl.h>
#include <pthread.h>
#include <semaphore.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <thread>

#include "tests/linux/support/ToolProcess.h"
#include "tests/tools/HostToolCases.h"
#include "tests/tools/LibraryFormatCases.h"
#include "tools/hosting/process/HeapCount.h"
#include "tools/hosting/process/LockCount.h"

namespace hosttool {

bool pluginHasEditor() { return true; }

bool stressCountsLocking() { return true; }

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

struct StressCase {
    const char* fault;
    bool allocates;
    bool locks;
    bool overruns;  // every block takes longer than its time
};

// "stress: N instances, B blocks, M deadline misses, A allocations, L locks on audio threads", last.
struct StressLine {
    int instances = -1;
    long blocks = -1, misses = -1, allocations = -1, locks = -1;
    long overruns = -1;  // from "deadline misses: M of B blocks (...): P with processing longer than a block"
};

StressLine lastStressLine(const std::string& output) {
    StressLine line;
    std::string last = output.substr(output.rfind("\nstress: ") + 1);
    char end = 0;
    int fields = std::sscanf(last.c_str(),
                             "stress: %d instances, %ld blocks, %ld deadline misses, %ld allocations, %ld locks on "
                             "audio threads%c",
                             &line.instances, &line.blocks, &line.misses, &line.allocations, &line.locks, &end);
    if (fields != 6 || end != '\n')
        line.instances = -1;
    size_t misses = output.find("\ndeadline misses: ");
    size_t overruns = output.find("): ", misses);
    if (misses == std::string::npos || overruns == std::string::npos ||
        std::sscanf(output.c_str() + overruns, "): %ld with processing longer than a block", &line.overruns) != 1)
        line.instances = -1;
    return line;
}

TEST_F(HostToolTest, StressCatchesAllocationsLocksAndOverrunsOnTheAudioThreads) {
    ASSERT_FALSE(testPluginPath().empty()) << "QUAVIX_TEST_PLUGIN must name the test plug-in";
    const StressCase cases[] = {
        {"none", false, false, false},
        {"allocates", true, false, false},
        {"locks", false, true, false},
        {"slow", false, false, true},
    };
    const int instances = 3;
    const double seconds = 0.5;
    // Paced in real time: at most the blocks of that time, and the few a thread may start while told to stop.
    const long mostBlocks = static_cast<long>(instances * (seconds * 48000 / 64 + 16));
    for (const StressCase& row : cases) {
        SCOPED_TRACE(row.fault);
        PluginFault fault(row.fault);
        ToolRun run =
            host({"--stress", testPluginPath(), "--instances", std::to_string(instances), "--seconds", "0.5"});
        ASSERT_EQ(run.exitCode, kExitDone) << run.output;
        StressLine line = lastStressLine(run.output);
        ASSERT_EQ(line.instances, instances) << run.output;
        EXPECT_GT(line.blocks, 0) << run.output;
        EXPECT_LE(line.blocks, mostBlocks) << run.output;
        EXPECT_LE(line.misses, line.blocks) << run.output;
        // The planted fault allocates or locks in every block.
        EXPECT_EQ(line.allocations >= line.blocks, row.allocates) << run.output;
        EXPECT_EQ(line.allocations == 0, !row.allocates) << run.output;
        EXPECT_EQ(line.locks >= line.blocks, row.locks) << run.output;
        EXPECT_EQ(line.locks == 0, !row.locks) << run.output;
        // Misses may come from the machine; a plug-in that overruns misses every block itself.
        if (row.overruns) {
            EXPECT_EQ(line.misses, line.blocks) << run.output;
            EXPECT_EQ(line.overruns, line.blocks) << run.output;
        }
    }
}

struct LockTaker {
    const char* name;
    std::function<void()> takeAndRelease;
};

TEST(LockCount, EveryWayOfWaitingIsCountedInsideAScopeAndNowhereElse) {
    ASSERT_TRUE(LockCount::available());
    pthread_mutex_t mutex = PTHREAD_MUTEX_INITIALIZER;
    pthread_rwlock_t rwlock = PTHREAD_RWLOCK_INITIALIZER;
    pthread_spinlock_t spin;
    ASSERT_EQ(pthread_spin_init(&spin, PTHREAD_PROCESS_PRIVATE), 0);
    sem_t semaphore;
    ASSERT_EQ(sem_init(&semaphore, 0, 0), 0);
    std::mutex standard;
    const LockTaker takers[] = {
        {"pthread_mutex_lock", [&]() { pthread_mutex_lock(&mutex), pthread_mutex_unlock(&mutex); }},
        {"pthread_mutex_trylock", [&]() { pthread_mutex_trylock(&mutex), pthread_mutex_unlock(&mutex); }},
        {"std::mutex", [&]() { standard.lock(), standard.unlock(); }},
        {"pthread_rwlock_rdlock", [&]() { pthread_rwlock_rdlock(&rwlock), pthread_rwlock_unlock(&rwlock); }},
        {"pthread_rwlock_wrlock", [&]() { pthread_rwlock_wrlock(&rwlock), pthread_rwlock_unlock(&rwlock); }},
        {"pthread_spin_lock", [&]() { pthread_spin_lock(&spin), pthread_spin_unlock(&spin); }},
        {"sem_wait", [&]() { sem_post(&semaphore), sem_wait(&semaphore); }},
        {"sem_trywait", [&]() { sem_post(&semaphore), sem_trywait(&semaphore); }},
    };
    for (const LockTaker& taker : takers) {
        SCOPED_TRACE(taker.name);
        const unsigned long before = LockCount::counted();
        taker.takeAndRelease();
        EXPECT_EQ(LockCount::counted(), before);
        {
            LockCount::Counting counting;
            taker.takeAndRelease();
            LockCount::Paused paused;
            taker.takeAndRelease();
        }
        EXPECT_EQ(LockCount::counted(), before + 1);
    }
    pthread_spin_destroy(&spin);
    sem_destroy(&semaphore);
}

struct HeapUse {
    const char* name;
    std::function<void()> use;
    unsigned long allocations, releases;
};

TEST(HeapCount, FreesAreCountedApartFromAllocations) {
    ASSERT_TRUE(HeapCount::available());
    // Through volatile pointers, or the compiler drops pairs it can see through.
    void* (*volatile allocate)(size_t) = std::malloc;
    void* (*volatile zeroed)(size_t, size_t) = std::calloc;
    void (*volatile release)(void*) = std::free;
    const HeapUse uses[] = {
        {"malloc, free", [&]() { release(allocate(16)); }, 1, 1},
        {"calloc, free", [&]() { release(zeroed(4, 4)); }, 1, 1},
        {"free of null", [&]() { release(nullptr); }, 0, 0},
        {"two vectors, one of them grown",
         [&]() {
             std::vector<long> grown(1), more(1);
             grown.resize(100);
         },
         3, 3},
    };
    for (const HeapUse& row : uses) {
        SCOPED_TRACE(row.name);
        const unsigned long allocations = HeapCount::counted(), releases = HeapCount::released();
        row.use();
        {
            HeapCount::Counting counting;
            row.use();
        }
        EXPECT_EQ(HeapCount::counted() - allocations, row.allocations);
        EXPECT_EQ(HeapCount::released() - releases, row.releases);
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
