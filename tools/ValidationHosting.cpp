// Threads, editor, instances and state: the plug-in as a whole host uses
// it, with several threads and instances at once.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>

#include "tools/EditorWindow.h"
#include "tools/ProcessResources.h"
#include "tools/ValidationCheck.h"

namespace {

const int kRate = 44100;
const int kBlock = 512;
const int kAutomationStep = 32;
const float kNoiseLevel = 0.5f;
const float kBound = 1000.0f;
const int kInstances = 8;
const unsigned kIdleMilliseconds = 2;

// A small random stream of its own for a worker thread: the context is the main thread's.
struct ThreadRandom {
    uint64_t state;
    uint64_t next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    }
    float unit() { return static_cast<float>(next() >> 40) / static_cast<float>(1 << 24); }
};

std::unique_ptr<PluginHost> started(CheckContext& context, int block, int& inputs, int& outputs) {
    std::unique_ptr<PluginHost> host = context.load(kRate, block);
    if (!host || !context.channelCounts(*host, inputs, outputs))
        return nullptr;
    host->start();
    return host;
}

// Host-side automation on its own thread: one parameter change, read-back
// and display per step of the processing thread's frame counter.
class Automation {
public:
    Automation(PluginHost& host, uint64_t seed, std::atomic<long>& steps)
        : host(host), random{seed | 1}, steps(steps), worker([this]() { run(); }) {}
    ~Automation() { finish(); }

    void finish() {
        stopping = true;
        if (worker.joinable())
            worker.join();
    }
    long changes() const { return done; }
    long badReads() const { return bad; }
    const std::atomic<long>& progress() const { return doneSteps; }

private:
    void run() {
        const VstInt32 count = host.record()->numParams;
        long seen = 0;
        while (!stopping) {
            if (steps.load() <= seen) {
                std::this_thread::yield();
                continue;
            }
            ++seen;
            doneSteps = seen;
            if (count <= 0)
                continue;
            VstInt32 index = static_cast<VstInt32>(random.next() % static_cast<uint64_t>(count));
            host.setParameter(index, random.unit());
            float read = host.parameter(index);
            bad += !(read >= 0.0f && read <= 1.0f);
            char display[kTextBufferBytes] = {};
            host.dispatch(effGetParamDisplay, index, 0, display);
            ++done;
        }
    }

    PluginHost& host;
    ThreadRandom random;
    std::atomic<long>& steps;
    std::atomic<bool> stopping{false};
    std::atomic<long> doneSteps{0};
    long done = 0;
    long bad = 0;
    std::thread worker;
};

// The editor opened, idled and closed over and over on a thread of its own.
class EditorCycler {
public:
    explicit EditorCycler(PluginHost& host) : host(host), worker([this]() { run(); }) {}
    ~EditorCycler() { finish(); }
    void finish() {
        stopping = true;
        if (worker.joinable())
            worker.join();
    }
    long cycles() const { return done; }
    const std::string& error() const { return failure; }

private:
    void run() {
        while (!stopping) {
            EditorWindow window(host, EditorWindow::Kind::Popup);
            if (!window.open(failure))
                return;
            window.pump(kIdleMilliseconds);
            host.dispatch(effEditIdle);
            window.close();
            ++done;
        }
    }

    PluginHost& host;
    std::atomic<bool> stopping{false};
    std::atomic<long> done{0};
    std::string failure;
    std::thread worker;
};

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

void threadsAtOnce(CheckContext& context) {
    int inputs = 0, outputs = 0;
    std::unique_ptr<PluginHost> host = started(context, kAutomationStep, inputs, outputs);
    if (!host)
        return;
    // What the editor reports goes back as hosts send it: from the editor's thread, amid the automation.
    host->setEcho(true);
    std::string reason;
    bool withEditor = EditorWindow::available(reason) && host->hasEditor();
    if (!withEditor) {
        context.note("no editor thread: %s", host->hasEditor() ? reason.c_str() : "the plug-in has no editor");
    }
    std::atomic<long> steps{0};
    Automation automation(*host, context.next(), steps);
    std::unique_ptr<EditorCycler> editor(withEditor ? new EditorCycler(*host) : nullptr);
    GuardedAudio in(inputs, kAutomationStep), out(outputs, kAutomationStep);
    const long blocks = 2000L * context.strictness();
    long silentFailures = 0, loudBlocks = 0;
    context.doing("processing %ld blocks of %d while another thread automates%s", blocks, kAutomationStep,
                  withEditor ? " and a third cycles the editor" : "");
    for (long block = 0; block < blocks; ++block) {
        // At most one automation step in flight: one change every 32 samples.
        while (automation.progress().load() + 1 < steps.load())
            std::this_thread::yield();
        context.noise(in, kNoiseLevel);
        context.process(*host, in, out, kAutomationStep);
        float peak = out.peak();
        silentFailures += !std::isfinite(peak);
        loudBlocks += std::isfinite(peak) && peak > kBound;
        steps.store(block + 1);
    }
    automation.finish();
    if (editor)
        editor->finish();
    context.figure("blocks of 32 processed / automation changes", "%ld / %ld", blocks, automation.changes());
    if (editor)
        context.figure("editor cycles on the third thread", "%ld", editor->cycles());
    context.figure("automation reported / echoed back", "%ld / %ld", host->automationsHeard(), host->echoesSent());
    if (silentFailures > 0)
        context.fail("%ld of %ld blocks came out not finite", silentFailures, blocks);
    // Random settings may rightly be loud (an equalizer at full boost): a figure, and a warning.
    context.figure("blocks past 1000 under random automation", "%ld", loudBlocks);
    if (loudBlocks > 0)
        context.warn("%ld of %ld blocks peaked past %g under random automation", loudBlocks, blocks,
                     static_cast<double>(kBound));
    if (automation.badReads() > 0)
        context.fail("%ld parameter reads on the automation thread were outside 0..1", automation.badReads());
    if (editor && !editor->error().empty())
        context.fail("the editor thread: %s", editor->error().c_str());
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
    std::unique_ptr<PluginHost> host = started(context, kBlock, inputs, outputs);
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
    std::unique_ptr<PluginHost> host = started(context, kBlock, inputs, outputs);
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
    std::unique_ptr<PluginHost> host = started(context, kBlock, inputs, outputs);
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

// --- instances ---

void eightInstances(CheckContext& context) {
    std::vector<std::unique_ptr<PluginHost>> hosts;
    int inputs = 0, outputs = 0;
    for (int i = 0; i < kInstances; ++i) {
        context.doing("creating instance %d of %d", i + 1, kInstances);
        std::unique_ptr<PluginHost> host = started(context, kBlock, inputs, outputs);
        if (!host)
            return;
        hosts.push_back(std::move(host));
    }
    std::vector<float> settings;
    for (VstInt32 index = 0; index < hosts[0]->record()->numParams; ++index) {
        settings.push_back(static_cast<float>(context.uniform()));
    }
    for (auto& host : hosts) {
        for (size_t index = 0; index < settings.size(); ++index) {
            host->setParameter(static_cast<VstInt32>(index), settings[index]);
        }
    }
    const int blocks = 40 * context.strictness();
    GuardedAudio source(inputs, kBlock * blocks);
    context.noise(source, kNoiseLevel);
    std::vector<std::vector<float>> results(kInstances);
    std::vector<std::thread> threads;
    context.doing("processing %d instances on %d threads at once", kInstances, kInstances);
    for (int i = 0; i < kInstances; ++i) {
        threads.emplace_back([&, i]() {
            GuardedAudio in(inputs, kBlock), out(outputs, kBlock);
            for (int block = 0; block < blocks; ++block) {
                for (int c = 0; c < inputs; ++c) {
                    std::memcpy(in.channel(c), source.channel(c) + block * kBlock, sizeof(float) * kBlock);
                }
                hosts[static_cast<size_t>(i)]->process(in.pointers(), out.pointers(), kBlock);
                for (int c = 0; c < outputs; ++c) {
                    results[static_cast<size_t>(i)].insert(results[static_cast<size_t>(i)].end(), out.channel(c),
                                                           out.channel(c) + kBlock);
                }
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    int differing = 0, badOutputs = 0;
    for (int i = 0; i < kInstances; ++i) {
        const std::vector<float>& result = results[static_cast<size_t>(i)];
        differing += result != results[0] && !(result.empty() && results[0].empty());
        for (float sample : result) {
            if (!(std::fabs(sample) <= kBound)) {
                ++badOutputs;
                break;
            }
        }
    }
    std::vector<int> order(kInstances);
    for (int i = 0; i < kInstances; ++i)
        order[static_cast<size_t>(i)] = i;
    for (int i = kInstances - 1; i > 0; --i)
        std::swap(order[static_cast<size_t>(i)], order[context.below(i + 1)]);
    std::string orderText;
    for (int i : order) {
        context.doing("destroying instance %d (order %s)", i + 1, orderText.c_str());
        hosts[static_cast<size_t>(i)].reset();
        orderText += std::to_string(i + 1) + " ";
    }
    context.figure("instances / blocks each", "%d / %d of %d frames", kInstances, blocks, kBlock);
    context.figure("destroyed in the order", "%s", orderText.c_str());
    context.figure("instances whose output differs from the first's", "%d", differing);
    if (badOutputs > 0)
        context.fail("%d instances gave output that is not finite", badOutputs);
    if (differing > 0) {
        context.warn(
            "%d of %d instances fed the same input and settings gave other output than the first: shared "
            "state, or randomness of their own",
            differing, kInstances);
    }
}

// One instance processing the source block by block with these settings;
// another, when given, started beside it and fed other noise with settings
// of its own in between. What the first gave, all channels in a row.
std::vector<float> soundOf(CheckContext& context, PluginHost& host, const std::vector<float>& settings,
                           GuardedAudio& source, PluginHost* other, const std::vector<float>& otherSettings) {
    for (size_t index = 0; index < settings.size(); ++index)
        host.setParameter(static_cast<VstInt32>(index), settings[index]);
    if (other) {
        for (size_t index = 0; index < otherSettings.size(); ++index)
            other->setParameter(static_cast<VstInt32>(index), otherSettings[index]);
        other->start();
    }
    host.start();
    const int inputs = source.channels(), outputs = host.record()->numOutputs;
    GuardedAudio in(inputs, kBlock), out(outputs, kBlock), otherIn(inputs, kBlock), otherOut(outputs, kBlock);
    std::vector<float> sound;
    for (int block = 0; block < source.frames() / kBlock; ++block) {
        for (int c = 0; c < inputs; ++c)
            std::memcpy(in.channel(c), source.channel(c) + block * kBlock, sizeof(float) * kBlock);
        context.process(host, in, out, kBlock);
        if (other) {
            context.noise(otherIn, kNoiseLevel);
            context.process(*other, otherIn, otherOut, kBlock);
        }
        for (int c = 0; c < outputs; ++c)
            sound.insert(sound.end(), out.channel(c), out.channel(c) + kBlock);
    }
    return sound;
}

void instancesKeepToThemselves(CheckContext& context) {
    int inputs = 0, outputs = 0;
    std::unique_ptr<PluginHost> alone = context.load(kRate, kBlock);
    if (!alone || !context.channelCounts(*alone, inputs, outputs))
        return;
    std::vector<float> mine, theirs;
    for (VstInt32 index = 0; index < alone->record()->numParams; ++index) {
        mine.push_back(static_cast<float>(context.uniform()));
        theirs.push_back(static_cast<float>(context.uniform()));
    }
    GuardedAudio source(inputs, kBlock * 8 * context.strictness());
    context.noise(source, kNoiseLevel);
    context.doing("one instance alone, with its settings");
    const std::vector<float> first = soundOf(context, *alone, mine, source, nullptr, {});
    alone.reset();
    std::unique_ptr<PluginHost> again = context.load(kRate, kBlock);
    if (!again)
        return;
    context.doing("a second instance alone, with the same settings");
    if (soundOf(context, *again, mine, source, nullptr, {}) != first) {
        context.skip("two instances alone with the same settings sound different: randomness of its own");
        return;
    }
    again.reset();
    std::unique_ptr<PluginHost> beside = context.load(kRate, kBlock), other = context.load(kRate, kBlock);
    if (!beside || !other)
        return;
    context.doing("an instance with the same settings beside another with other settings and other input");
    if (soundOf(context, *beside, mine, source, other.get(), theirs) != first) {
        context.fail(
            "an instance sounds different while another, with other settings and input, runs beside it: the two "
            "share state");
    }
    context.figure("instance alone / beside another", "%zu samples compared bit for bit", first.size());
}

// --- state ---

// Both instances started and fed the same noise; the first block that differs, or -1.
long firstDifference(CheckContext& context, PluginHost& first, PluginHost& second, int inputs, int outputs) {
    first.start();
    second.start();
    GuardedAudio in(inputs, kBlock), outA(outputs, kBlock), outB(outputs, kBlock);
    for (int block = 0; block < 16 * context.strictness(); ++block) {
        context.noise(in, kNoiseLevel);
        context.process(first, in, outA, kBlock);
        context.process(second, in, outB, kBlock);
        if (!outA.sameAs(outB))
            return block;
    }
    return -1;
}

void parametersCarryOver(CheckContext& context) {
    std::unique_ptr<PluginHost> first = context.load(kRate, kBlock);
    std::unique_ptr<PluginHost> second = context.load(kRate, kBlock);
    int inputs = 0, outputs = 0;
    if (!first || !second || !context.channelCounts(*first, inputs, outputs))
        return;
    const VstInt32 count = first->record()->numParams;
    context.doing("setting %d parameters at random, reading them and setting them on a fresh instance", count);
    // A plug-in that is not deterministic by itself cannot be compared bit for bit.
    std::unique_ptr<PluginHost> plainA = context.load(kRate, kBlock), plainB = context.load(kRate, kBlock);
    if (!plainA || !plainB)
        return;
    context.doing("the same noise through two fresh instances with their defaults");
    long plain = firstDifference(context, *plainA, *plainB, inputs, outputs);
    if (plain >= 0) {
        context.warn(
            "two fresh instances fed the same noise differ from block %ld on: randomness of its own, or "
            "state shared between instances; parameters not compared",
            plain);
        return;
    }
    for (VstInt32 index = 0; index < count; ++index)
        first->setParameter(index, static_cast<float>(context.uniform()));
    for (VstInt32 index = 0; index < count; ++index)
        second->setParameter(index, first->parameter(index));
    context.doing("the same noise through both instances");
    long block = firstDifference(context, *first, *second, inputs, outputs);
    context.figure("parameters carried over", "%d", count);
    if (block >= 0) {
        context.fail("an instance given the parameters another reports sounds different from block %ld on", block);
    }
}

void chunkCarriesOver(CheckContext& context) {
    std::unique_ptr<PluginHost> first = context.load(kRate, kBlock);
    if (!first)
        return;
    if (!(first->record()->flags & effFlagsProgramChunks)) {
        context.skip("the plug-in keeps no chunks (effFlagsProgramChunks is clear)");
        return;
    }
    int inputs = 0, outputs = 0;
    std::unique_ptr<PluginHost> second = context.load(kRate, kBlock);
    if (!second || !context.channelCounts(*first, inputs, outputs))
        return;
    for (VstInt32 index = 0; index < first->record()->numParams; ++index) {
        first->setParameter(index, static_cast<float>(context.uniform()));
    }
    void* data = nullptr;
    context.doing("effGetChunk (bank)");
    VstIntPtr size = first->dispatch(effGetChunk, 0, 0, &data);
    context.figure("bank chunk", "%ld bytes", static_cast<long>(size));
    if (size <= 0 || !data) {
        context.fail("effGetChunk gives %ld bytes at %s", static_cast<long>(size), data ? "an address" : "null");
        return;
    }
    GuardedBuffer copy(static_cast<size_t>(size));
    std::memcpy(copy.data(), data, static_cast<size_t>(size));
    context.doing("effSetChunk of %ld bytes on a fresh instance, from a buffer of exactly that size",
                  static_cast<long>(size));
    second->dispatch(effSetChunk, 0, size, copy.data());
    long block = firstDifference(context, *first, *second, inputs, outputs);
    if (block >= 0)
        context.fail("an instance given another's chunk sounds different from block %ld on", block);
}

}  // namespace

ValidationGroup threadsGroup() {
    return {"threads",
            "Threads",
            {},
            {
                {"processing, automation every 32 samples and the editor, each on its own thread", 4, threadsAtOnce},
            }};
}

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

ValidationGroup instancesGroup() {
    return {"instances",
            "Instances",
            {},
            {
                {"8 instances processed on 8 threads, destroyed in random order", 5, eightInstances},
                {"an instance is not disturbed by another's settings and input", 1, instancesKeepToThemselves},
            }};
}

ValidationGroup stateGroup() {
    return {
        "state",
        "State",
        {},
        {
            {"parameters read and set on a fresh instance give the same output bit for bit", 1, parametersCarryOver},
            {"a chunk set on a fresh instance gives the same output bit for bit", 2, chunkCarriesOver},
        }};
}
