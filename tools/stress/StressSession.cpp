#include "tools/stress/StressSession.h"

#include <algorithm>
#include <cstdio>

#include "tools/hosting/FilePaths.h"
#include "tools/hosting/PluginLoader.h"
#include "tools/hosting/PluginOptions.h"
#include "tools/hosting/process/HeapCount.h"
#include "tools/hosting/process/LockCount.h"
#include "tools/render/OfflineRenderer.h"
#include "tools/stress/ResidentMemory.h"

namespace {

using Clock = StressInstance::Clock;

// Every audio thread is started before the first block is due.
const std::chrono::milliseconds kLeadIn(50);
// Room for the blocks of the session's length, and a few a thread may start
// while the others are told to stop.
const size_t kSpareBlocks = 16;
// The main thread's turn: the editor's messages and idle, then a look at the time.
const unsigned kSliceMilliseconds = 50;
const std::chrono::seconds kProgressInterval(3);
// Each parameter sweeps 0 to 1 and back in this many blocks (2 s), each
// from its own place in the sweep.
const long kSweepBlocks = 1500;
const long kPhaseStep = 97;

float sweep(long step) {
    const long half = kSweepBlocks / 2;
    const long position = step % kSweepBlocks;
    return static_cast<float>(position < half ? position : kSweepBlocks - position) / static_cast<float>(half);
}

}  // namespace

StressSession::StressSession(const StressOptions& stressOptions) : options(stressOptions) {
    results.instances = options.instances;
    results.seconds = options.seconds;
}

StressSession::~StressSession() { stopAll(); }

int StressSession::load() {
    results.residentBeforeLoading = ResidentMemory::bytes();
    results.lockingCounted = HeapCount::available() && LockCount::available();
    for (int i = 0; i < options.instances; ++i) {
        int status = loadInstance(i);
        if (status != kExitDone)
            return status;
    }
    results.pluginName = instances[0]->host().name();
    if (results.pluginName.empty())
        results.pluginName = FilePaths::fileName(options.pluginPath);
    return kExitDone;
}

int StressSession::loadInstance(int i) {
    std::unique_ptr<HostedPlugin> host;
    if (i == 0) {
        PluginOptions first;
        first.path = options.pluginPath;
        first.blockSize = StressInstance::kBlockFrames;
        int status = kExitDone;
        host = loadPlugin(first, StressInstance::kSampleRate, status);
        if (!host)
            return status;
    } else {
        std::string error;
        host =
            PluginLoader::open(options.pluginPath, {StressInstance::kSampleRate, StressInstance::kBlockFrames}, error);
        if (!host)
            return fail("instance " + std::to_string(i + 1) + " of " + std::to_string(options.instances) + ": " +
                        error);
    }
    const int inputs = host->inputCount(), outputs = host->outputCount();
    if (inputs < 0 || outputs < 0 || inputs > OfflineRenderer::kMaxChannels ||
        outputs > OfflineRenderer::kMaxChannels) {
        return fail("refusing '" + options.pluginPath + "': " + std::to_string(inputs) + " inputs and " +
                    std::to_string(outputs) + " outputs are no audio layout to process");
    }
    instances.emplace_back(new StressInstance(static_cast<unsigned>(i + 1)));
    instances.back()->attach(std::move(host));
    return kExitDone;
}

void StressSession::run() {
    openEditor();
    const size_t maxBlocks =
        static_cast<size_t>(options.seconds * StressInstance::kSampleRate / StressInstance::kBlockFrames) +
        kSpareBlocks;
    for (std::unique_ptr<StressInstance>& instance : instances)
        instance->prepare(maxBlocks);
    results.residentAtStart = ResidentMemory::bytes();
    std::printf("Playing %d instances for %g s, progress on standard error\n", options.instances, options.seconds);
    std::fflush(stdout);
    // The threads' periods are spread across a block, as the callbacks of
    // independent devices fall, rather than all waking at one instant: on a
    // machine with fewer cores than threads, the last of a crowd woken at
    // once would start late for want of a core, whatever the plug-in does.
    const Clock::time_point first = Clock::now() + kLeadIn;
    const long count = static_cast<long>(instances.size());
    for (long i = 0; i < count; ++i)
        instances[static_cast<size_t>(i)]->play(first + StressInstance::kBlockPeriod * i / count, stopping);
    automation = std::thread([this]() { automate(); });
    waitAndReport(first);
    stopAll();
    results.residentAfter = ResidentMemory::bytes();
    if (editor)
        editor->close();
    editor.reset();
    gather();
}

void StressSession::openEditor() {
    PluginEditor* panel = instances[0]->host().editor();
    std::string reason;
    if (!panel) {
        results.editor = std::string("none: the tool opens no editor of ") + formatName(instances[0]->host().format()) +
                         " plug-ins yet";
    } else if (!panel->available(reason)) {
        results.editor = "none: " + reason;
    } else if (!EditorWindow::available(reason)) {
        results.editor = "none: " + reason;
    } else {
        editor.reset(new EditorWindow(*panel, EditorWindow::Kind::Popup));
        if (!editor->open(reason)) {
            editor.reset();
            results.editor = "none: it did not open: " + reason;
            return;
        }
        results.editor = "instance 1's, open on the main thread, idle every " +
                         std::to_string(EditorWindow::kIdleMilliseconds) + " ms, showing what the automation moves";
    }
}

void StressSession::automate() {
    Clock::time_point due = Clock::now();
    for (long pass = 0; !stopping.load(); ++pass) {
        for (size_t i = 0; i < instances.size(); ++i) {
            HostedPlugin& host = instances[i]->host();
            const int count = host.parameterCount();
            for (int index = 0; index < count; ++index)
                host.setPosition(index, sweep(pass + kPhaseStep * (index + static_cast<long>(i))));
            results.automationChanges += count > 0 ? count : 0;
        }
        ++results.automationPasses;
        due += StressInstance::kBlockPeriod;
        const Clock::time_point now = Clock::now();
        if (now < due)
            std::this_thread::sleep_until(due);
        else
            due = now;
    }
}

void StressSession::waitAndReport(Clock::time_point first) {
    const Clock::time_point end =
        first + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(options.seconds));
    Clock::time_point nextReport = first + kProgressInterval;
    while (Clock::now() < end) {
        if (editor)
            editor->pump(kSliceMilliseconds);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(kSliceMilliseconds));
        if (Clock::now() < nextReport)
            continue;
        long blocks = 0, misses = 0;
        for (const std::unique_ptr<StressInstance>& instance : instances) {
            blocks += instance->blocks();
            misses += instance->misses();
        }
        std::chrono::duration<double> elapsed = Clock::now() - first;
        std::fprintf(stderr, "stress: %.0f of %g s, %ld blocks, %ld deadline misses so far\n", elapsed.count(),
                     options.seconds, blocks, misses);
        nextReport += kProgressInterval;
    }
}

void StressSession::stopAll() {
    stopping = true;
    for (std::unique_ptr<StressInstance>& instance : instances)
        instance->join();
    if (automation.joinable())
        automation.join();
}

void StressSession::gather() {
    std::vector<float> durations;
    int refused = 0;
    for (const std::unique_ptr<StressInstance>& instance : instances) {
        results.blocks += instance->blocks();
        results.misses += instance->misses();
        results.overruns += instance->overruns();
        results.latestWakeMicroseconds =
            std::max(results.latestWakeMicroseconds, static_cast<double>(instance->latestWakeMicroseconds()));
        results.allocations += instance->allocations();
        results.locks += instance->locks();
        durations.insert(durations.end(), instance->blockMicroseconds().begin(), instance->blockMicroseconds().end());
        if (!instance->priorityRefusal().empty() && refused++ == 0)
            results.priorityRefusal = instance->priorityRefusal();
    }
    if (refused > 0)
        results.priorityRefusal +=
            " (" + std::to_string(refused) + " of " + std::to_string(instances.size()) + " threads)";
    results.summarise(durations);
}
