// Editor: opened, idled and closed over and over while a host automates
// and processes, its window taken away before effEditClose, its size asked
// before and while it is open, and drawn at the display scales hosts send.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <string>
#include <thread>

#include "tools/hosting/EditorWindow.h"
#include "tools/hosting/process/ProcessResources.h"
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
    float loudest = 0.0f;
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
            if (!std::isfinite(peak) && badBlocks++ == 0)
                firstBad = blocks.load();
            else if (std::isfinite(peak))
                loudest = std::fmax(loudest, peak);
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
        context.fail("%ld of %ld blocks came out not finite while the editor cycled; the first, block %ld", badBlocks,
                     blocks.load(), firstBad);
    }
    checkPeak(context, loudest, "the loudest block while the editor cycled");
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

// The scales a host on a scaled display sends, the first being 100%.
const float kScales[] = {1.0f, 1.5f, 2.0f};
const int kScaleCount = sizeof kScales / sizeof kScales[0];
const float kChangedScale = 2.0f;
// How long an editor may take to bring its window to a new size.
const unsigned kResizeMilliseconds = 1000;
const unsigned kResizePollMilliseconds = 10;

struct Size {
    int width = 0, height = 0;
    bool operator==(const Size& other) const { return width == other.width && height == other.height; }
    bool operator!=(const Size& other) const { return !(*this == other); }
};

std::string scaleName(float factor) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(factor));
    return text;
}

// effEditGetRect's answer; false for none or an empty rectangle.
bool editorRect(PluginHost& host, Size& size) { return host.editorSize(size.width, size.height); }

// The editor's window inside ours, given time to reach the size wanted;
// false when the editor made no window there.
bool childSizeSettled(EditorWindow& window, const Size& wanted, Size& size) {
    const auto start = std::chrono::steady_clock::now();
    bool found = false;
    for (;;) {
        found = window.childSize(size.width, size.height);
        if (found && size == wanted)
            return true;
        if (std::chrono::steady_clock::now() - start > std::chrono::milliseconds(kResizeMilliseconds))
            return found;
        window.pump(kResizePollMilliseconds);
    }
}

// Each edge of a rectangle drawn at a scale rounds on its own: a pixel either way.
bool scaledFrom(const Size& base, double factor, const Size& scaled) {
    return std::fabs(scaled.width - base.width * factor) <= 1.0 &&
           std::fabs(scaled.height - base.height * factor) <= 1.0;
}

// Opens the editor at the scale the plug-in was last told and checks that
// its window is as large as effEditGetRect says, before and while open.
// Leaves the window open on success; false after a failure that says why.
bool openAtScale(CheckContext& context, PluginHost& host, EditorWindow& window, float factor, Size& rect) {
    context.doing("effEditGetRect at display scale %g before the editor opens", static_cast<double>(factor));
    if (!editorRect(host, rect)) {
        context.fail("at display scale %g, effEditGetRect gives no rectangle before the editor opens",
                     static_cast<double>(factor));
        return false;
    }
    context.doing("opening the editor at display scale %g", static_cast<double>(factor));
    std::string error;
    if (!window.open(error)) {
        context.fail("at display scale %g: %s", static_cast<double>(factor), error.c_str());
        return false;
    }
    window.pump(kIdleMilliseconds);
    Size open;
    if (!editorRect(host, open) || open != rect) {
        context.fail(
            "at display scale %g, effEditGetRect answers %d x %d before the editor opens and %d x %d while it "
            "is open",
            static_cast<double>(factor), rect.width, rect.height, open.width, open.height);
        return false;
    }
    Size child;
    if (!childSizeSettled(window, rect, child)) {
        context.fail("at display scale %g, the editor made no window of its own in the host's",
                     static_cast<double>(factor));
        return false;
    }
    if (child != rect) {
        context.fail("at display scale %g, effEditGetRect answers %d x %d, but the editor's window is %d x %d",
                     static_cast<double>(factor), rect.width, rect.height, child.width, child.height);
        return false;
    }
    return true;
}

// With the editor open at 1, the scale goes to 2: the plug-in must answer
// what it answers when opened at 2, and either ask the host for the new size
// or bring its own window to it.
void scaleChangedWhileOpen(CheckContext& context, PluginHost& host, const Size& atChanged) {
    host.setEditorScale(1.0f);
    EditorWindow window(host, EditorWindow::Kind::Popup);
    Size before;
    if (!openAtScale(context, host, window, 1.0f, before))
        return;
    const int requestsBefore = window.sizeRequests();
    context.doing("changing the display scale from 1 to %g while the editor is open",
                  static_cast<double>(kChangedScale));
    if (!host.setEditorScale(kChangedScale)) {
        context.fail("the plug-in does not take the display scale %g while its editor is open",
                     static_cast<double>(kChangedScale));
        return;
    }
    window.pump(kIdleMilliseconds);
    Size after;
    if (!editorRect(host, after) || after != atChanged) {
        context.fail(
            "after the display scale went from 1 to %g with the editor open, effEditGetRect answers %d x %d, "
            "but %d x %d when the editor opens at %g",
            static_cast<double>(kChangedScale), after.width, after.height, atChanged.width, atChanged.height,
            static_cast<double>(kChangedScale));
        return;
    }
    Size requested, child;
    window.lastSizeRequest(requested.width, requested.height);
    const bool asked = window.sizeRequests() > requestsBefore && requested == after;
    const bool resized = childSizeSettled(window, after, child) && child == after;
    context.figure("editor size at 1, then at " + scaleName(kChangedScale) + " while open",
                   "%d x %d, then %d x %d (%s the host; its window %d x %d)", before.width, before.height, after.width,
                   after.height, asked ? "asked" : "did not ask", child.width, child.height);
    if (after != before && !asked && !resized) {
        context.fail(
            "after the display scale went from 1 to %g with the editor open, effEditGetRect answers %d x %d, "
            "but the editor neither asked the host for that size nor brought its window to it (%d x %d)",
            static_cast<double>(kChangedScale), after.width, after.height, child.width, child.height);
    }
}

void editorAtScales(CheckContext& context) {
    int inputs = 0, outputs = 0;
    std::unique_ptr<PluginHost> host = startedQuietly(context, kBlock, inputs, outputs);
    if (!host || !editorHostable(context, *host))
        return;
    context.doing("sending the display scale 1 (effVendorSpecific 'PreS' 'AeCs')");
    if (!host->setEditorScale(kScales[0])) {
        context.note("the plug-in does not take a display scale: it answers 0 to effVendorSpecific 'PreS' 'AeCs'");
        context.skip("the plug-in does not take a display scale");
        return;
    }
    Size sizes[kScaleCount];
    for (int i = 0; i < kScaleCount; ++i) {
        const float factor = kScales[i];
        context.doing("sending the display scale %g", static_cast<double>(factor));
        if (i > 0 && !host->setEditorScale(factor)) {
            context.fail("the plug-in takes the display scale 1 but not %g", static_cast<double>(factor));
            return;
        }
        EditorWindow window(*host, EditorWindow::Kind::Popup);
        if (!openAtScale(context, *host, window, factor, sizes[i]))
            return;
        context.doing("closing the editor opened at display scale %g", static_cast<double>(factor));
        window.close();
        context.figure("editor size at display scale " + scaleName(factor), "%d x %d", sizes[i].width, sizes[i].height);
        if (i > 0 && !scaledFrom(sizes[0], factor, sizes[i])) {
            context.fail(
                "at display scale %g, effEditGetRect answers %d x %d, not %g times the %d x %d it answers at 1",
                static_cast<double>(factor), sizes[i].width, sizes[i].height, static_cast<double>(factor),
                sizes[0].width, sizes[0].height);
        }
    }
    for (int i = 0; i < kScaleCount; ++i) {
        if (kScales[i] == kChangedScale)
            scaleChangedWhileOpen(context, *host, sizes[i]);
    }
}

struct BadScale {
    const char* name;
    float value;
};

const BadScale kBadScales[] = {
    {"NaN", std::numeric_limits<float>::quiet_NaN()},
    {"0", 0.0f},
    {"-1", -1.0f},
};

// Each bad scale in turn; the rectangle (and the editor's window, when
// open) must stay as they were.
void sendBadScales(CheckContext& context, PluginHost& host, EditorWindow* window, const char* when) {
    Size rect, child;
    const bool hadRect = editorRect(host, rect);
    const bool hadChild = window && window->childSize(child.width, child.height);
    for (const BadScale& bad : kBadScales) {
        context.doing("sending the display scale %s %s", bad.name, when);
        host.setEditorScale(bad.value);
        if (window)
            window->pump(kIdleMilliseconds);
        Size now, childNow;
        const bool hasRect = editorRect(host, now);
        if (hasRect != hadRect || now != rect) {
            context.fail("the display scale %s %s changes effEditGetRect from %d x %d to %d x %d", bad.name, when,
                         rect.width, rect.height, now.width, now.height);
        }
        if (hadChild && (!window->childSize(childNow.width, childNow.height) || childNow != child)) {
            context.fail("the display scale %s %s changes the editor's window from %d x %d to %d x %d", bad.name, when,
                         child.width, child.height, childNow.width, childNow.height);
        }
    }
}

void badScalesChangeNothing(CheckContext& context) {
    int inputs = 0, outputs = 0;
    std::unique_ptr<PluginHost> host = startedQuietly(context, kBlock, inputs, outputs);
    if (!host || !editorHostable(context, *host))
        return;
    // A scaled size first, so that one falling back to 100% shows.
    context.doing("sending the display scale 1.5");
    const bool takesScale = host->setEditorScale(1.5f);
    sendBadScales(context, *host, nullptr, "before the editor opens");
    EditorWindow window(*host, EditorWindow::Kind::Popup);
    std::string error;
    context.doing("opening the editor after the bad display scales");
    if (!window.open(error)) {
        context.fail("%s", error.c_str());
        return;
    }
    window.pump(kIdleMilliseconds);
    sendBadScales(context, *host, &window, "while the editor is open");
    context.doing("closing the editor after the bad display scales");
    window.close();
    context.figure("display scales sent", "NaN, 0 and -1, before and while the editor is open%s",
                   takesScale ? ", after 1.5" : "");
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
                {"the editor at display scales 1, 1.5 and 2, and from 1 to 2 while open", 1, editorAtScales},
                {"display scales of NaN, 0 and below change nothing", 2, badScalesChangeNothing},
            }};
}
