// Editor: opened, idled and closed over and over while a host automates
// and processes, its window taken away before effEditClose, and its size
// asked before and while it is open.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <string>
#include <thread>

#include "tools/hosting/EditorWindow.h"
#include "tools/hosting/ProcessResources.h"
#include "tools/validate/groups/GroupSupport.h"

namespace {

bool editorHostable(CheckContext& context, PluginHost& host) {
    std::string reason;
    if (!EditorWindow::available(reason)) {
        context.skip(reason);
        return false;
    }
    if (!host.hasEditor()) {
        context.skip("the plug-in has no editor (effFlagsHasEditor is clear)");
        return false;
    }
    // Hosts send what the editor automates straight back.
    host.setEcho(true);
    return true;
}

int editorCycles(int strictness) {
    // 100 at strictness 5, the least it runs at, and 1000 at 10.
    return static_cast<int>(std::lround(100.0 * std::pow(10.0, (strictness - 5) / 5.0)));
}

bool cycleEditor(CheckContext& context, PluginHost& host, int cycle) {
    EditorWindow window(host, EditorWindow::Kind::Popup);
    std::string error;
    context.doing("editor cycle %d: open", cycle);
    if (!window.open(error)) {
        context.fail("editor cycle %d: %s", cycle, error.c_str());
        return false;
    }
    context.doing("editor cycle %d: idle", cycle);
    window.pump(kIdleMilliseconds);
    host.dispatch(effEditIdle);
    context.doing("editor cycle %d: close", cycle);
    window.close();
    return true;
}

void editorCyclesWhileAutomated(CheckContext& context) {
    int inputs = 0, outputs = 0;
    std::unique_ptr<PluginHost> host = startedQuietly(context, kBlock, inputs, outputs);
    if (!host || !editorHostable(context, *host))
        return;
    const int cycles = editorCycles(context.strictness());
    std::atomic<long> steps{0};
    Automation automation(*host, context.next(), steps);
    // Processing goes on meanwhile: editors open while the audio runs.
    std::atomic<bool> stopping{false};
    std::atomic<long> blocks{0};
    // Read only after the audio thread has ended.
    long badBlocks = 0, firstBad = -1;
    float badPeak = 0.0f;
    const uint64_t audioSeed = context.next() | 1;
    std::thread audio([&]() {
        GuardedAudio in(inputs, kBlock), out(outputs, kBlock);
        ThreadRandom random{audioSeed};
        while (!stopping) {
            for (int c = 0; c < inputs; ++c) {
                for (int i = 0; i < kBlock; ++i)
                    in.channel(c)[i] = (random.unit() - 0.5f) * 2.0f * kNoiseLevel;
            }
            host->process(in.pointers(), out.pointers(), kBlock);
            float peak = out.peak();
            if (!(peak <= kBound)) {
                if (badBlocks++ == 0) {
                    firstBad = blocks.load();
                    badPeak = peak;
                }
            }
            steps.store(++blocks);
        }
    });
    const int warmUp = 3;
    ResourceCounts before;
    bool opened = true;
    for (int cycle = 0; cycle < cycles + warmUp && opened; ++cycle) {
        if (cycle == warmUp)
            before = ProcessResources::count();
        opened = cycleEditor(context, *host, cycle);
    }
    ResourceCounts after = ProcessResources::count();
    stopping = true;
    audio.join();
    automation.finish();
    context.figure("editor open/idle/close cycles", "%d (after %d to warm up)", cycles, warmUp);
    context.figure("blocks processed meanwhile / automation changes", "%ld / %ld", blocks.load(), automation.changes());
    if (badBlocks > 0) {
        context.fail(
            "%ld of %ld blocks came out not finite or past %g while the editor cycled; the first, block "
            "%ld, peaks at %g",
            badBlocks, blocks.load(), static_cast<double>(kBound), firstBad, static_cast<double>(badPeak));
    }
    if (!opened)
        return;
    long memory = static_cast<long>(after.privateBytes) - static_cast<long>(before.privateBytes);
    context.figure("private memory growth", "%ld KB (%.1f KB per cycle)", memory / 1024,
                   static_cast<double>(memory) / 1024.0 / cycles);
    if (memory > 1024L * 1024 && memory / cycles > 16 * 1024) {
        context.warn("private memory grew %ld KB over %d cycles", memory / 1024, cycles);
    }
    if (after.objects.size() != before.objects.size())
        return;
    // One object per cycle or more is a leak; a handful is a cache filling.
    const long tolerance = std::max(8L, static_cast<long>(cycles / 2));
    for (size_t kind = 0; kind < after.objects.size(); ++kind) {
        const ObjectCount& was = before.objects[kind];
        const ObjectCount& is = after.objects[kind];
        const long growth = static_cast<long>(is.count) - static_cast<long>(was.count);
        context.figure(is.kind + " before / after", "%u / %u (%+ld)", was.count, is.count, growth);
        if (growth >= tolerance)
            context.fail("%ld %s more after %d editor cycles: a leak per cycle", growth, is.kind.c_str(), cycles);
    }
}

void windowDestroyedFirst(CheckContext& context) {
    int inputs = 0, outputs = 0;
    std::unique_ptr<PluginHost> host = startedQuietly(context, kBlock, inputs, outputs);
    if (!host || !editorHostable(context, *host))
        return;
    for (int round = 0; round < 3; ++round) {
        EditorWindow window(*host, EditorWindow::Kind::Popup);
        std::string error;
        context.doing("round %d: opening the editor", round);
        if (!window.open(error)) {
            context.fail("round %d: %s", round, error.c_str());
            return;
        }
        window.pump(kIdleMilliseconds);
        context.doing("round %d: destroying the host window, then effEditClose", round);
        window.closeWindowFirst();
        context.doing("round %d: effEditIdle after the editor closed", round);
        host->dispatch(effEditIdle);
    }
    context.doing("opening the editor the ordinary way after all that");
    if (!cycleEditor(context, *host, 0))
        context.fail("the editor does not open again after its window was taken");
}

void editorRectStable(CheckContext& context) {
    int inputs = 0, outputs = 0;
    std::unique_ptr<PluginHost> host = startedQuietly(context, kBlock, inputs, outputs);
    if (!host || !editorHostable(context, *host))
        return;
    ERect* before = nullptr;
    host->dispatch(effEditGetRect, 0, 0, &before);
    int width = before ? before->right - before->left : 0, height = before ? before->bottom - before->top : 0;
    EditorWindow window(*host, EditorWindow::Kind::Popup);
    std::string error;
    context.doing("opening the editor to compare its rectangle");
    if (!window.open(error)) {
        context.fail("%s", error.c_str());
        return;
    }
    ERect* during = nullptr;
    host->dispatch(effEditGetRect, 0, 0, &during);
    window.close();
    if (!during) {
        context.fail("effEditGetRect gives no rectangle while the editor is open");
        return;
    }
    const int widthOpen = during->right - during->left, heightOpen = during->bottom - during->top;
    context.figure("editor size before / while open", "%d x %d / %d x %d", width, height, widthOpen, heightOpen);
    // Hosts size their window from the answer before effEditOpen; an editor
    // that grows on opening is cut off unless it asks for a new size.
    if (before && (widthOpen != width || heightOpen != height))
        context.fail("effEditGetRect answers %d x %d before the editor opens and %d x %d while it is open", width,
                     height, widthOpen, heightOpen);
}

}  // namespace

ValidationGroup editorGroup() {
    return {"editor",
            "Editor",
            {},
            {
                {"open/idle/close cycles while automated and processing", 5, editorCyclesWhileAutomated},
                {"the host destroys its window before effEditClose", 2, windowDestroyedFirst},
                {"effEditGetRect before and while open", 1, editorRectStable},
            }};
}
