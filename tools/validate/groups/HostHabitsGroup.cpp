// Host habits: what real hosts do with parameters and flags beyond the
// ideal host of the other groups. They treat every parameter as a value:
// they send the same value twice, echo back what a plug-in automates, save
// the last value they read and set it into a fresh instance when a session
// opens, and sort or refuse plug-ins by their flags. Scanning hosts open and
// close every plug-in they find, often many times over.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>

#include "tools/hosting/PluginReport.h"
#include "tools/hosting/ProcessResources.h"
#include "tools/validate/CheckContext.h"
#include "tools/validate/groups/GroupSupport.h"

namespace {

// The block of this group's checks: half the other groups' kBlock.
const int kHabitsBlock = 256;
// Comparing every read-back after every set costs parameters squared: past
// this many per level of strictness, the parameters are sampled.
const VstInt32 kParametersPerLevel = 32;
// After this many failures a check has said enough; the rest would cost time only.
const int kEnoughFailures = 20;
const double kScanGoalMilliseconds = 20.0;

// What a host can see of an instance without processing: every read-back and display.
struct Snapshot {
    std::vector<float> values;
    std::vector<std::string> displays;
};

Snapshot snapshot(PluginHost& host) {
    Snapshot seen;
    for (VstInt32 index = 0; index < host.record()->numParams; ++index) {
        seen.values.push_back(host.parameter(index));
        seen.displays.push_back(host.text(effGetParamDisplay, index));
    }
    return seen;
}

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Each parameter whose read-back or display differs, described, at most a few.
std::vector<std::string> differences(const Snapshot& was, const Snapshot& is) {
    std::vector<std::string> found;
    for (size_t i = 0; i < was.values.size() && i < is.values.size(); ++i) {
        if (sameBits(was.values[i], is.values[i]) && was.displays[i] == is.displays[i])
            continue;
        char text[512];
        std::snprintf(text, sizeof text, "parameter %zu reads %.9g \"%s\", not %.9g \"%s\"", i,
                      static_cast<double>(is.values[i]), is.displays[i].c_str(), static_cast<double>(was.values[i]),
                      was.displays[i].c_str());
        found.push_back(text);
    }
    return found;
}

std::string joined(const std::vector<std::string>& texts, size_t most = 3) {
    std::string all;
    for (size_t i = 0; i < texts.size() && i < most; ++i)
        all += (i ? "; " : "") + texts[i];
    if (texts.size() > most)
        all += "; and " + std::to_string(texts.size() - most) + " more";
    return all;
}

// The parameters a check walks: all of them, or an even spread when there
// are so many that comparing all after each would take too long.
std::vector<VstInt32> walked(CheckContext& context, VstInt32 count) {
    const VstInt32 most = kParametersPerLevel * context.strictness();
    std::vector<VstInt32> indices;
    for (VstInt32 i = 0; i < count; ++i) {
        if (count <= most || static_cast<long>(i) * most / count != static_cast<long>(i + 1) * most / count)
            indices.push_back(i);
    }
    return indices;
}

// Two instances given the same calls and the same noise, so that a call
// sent to the first alone shows in its output if it changed anything there.
class Twins {
public:
    explicit Twins(CheckContext& context) : context(context) {}

    // Fresh instances; false when they cannot be had.
    bool open() {
        first = context.load(kRate, kHabitsBlock);
        second = context.load(kRate, kHabitsBlock);
        if (!first || !second || !context.channelCounts(*first, inputs, outputs))
            return false;
        first->start();
        second->start();
        in.reset(new GuardedAudio(inputs, kHabitsBlock));
        outFirst.reset(new GuardedAudio(outputs, kHabitsBlock));
        outSecond.reset(new GuardedAudio(outputs, kHabitsBlock));
        return true;
    }

    // Whether fresh instances sound alike at all: without that no output is compared.
    bool deterministic() {
        for (int block = 0; block < 4; ++block) {
            if (!blockAgrees())
                return false;
        }
        return true;
    }

    void both(const std::function<void(PluginHost&)>& call) {
        call(*first);
        call(*second);
    }

    // One block of the same noise through both: whether the outputs are the same bits.
    bool blockAgrees() {
        context.noise(*in, kNoiseLevel);
        context.process(*first, *in, *outFirst, kHabitsBlock);
        context.process(*second, *in, *outSecond, kHabitsBlock);
        return outFirst->sameAs(*outSecond);
    }

    PluginHost& one() { return *first; }

private:
    CheckContext& context;
    std::unique_ptr<PluginHost> first, second;
    std::unique_ptr<GuardedAudio> in, outFirst, outSecond;
    int inputs = 0, outputs = 0;
};

// --- flags ---

void flagsAgreeWithCategory(CheckContext& context) {
    std::unique_ptr<PluginHost> host = context.load(kRate, kHabitsBlock);
    if (!host)
        return;
    const VstInt32 flags = host->record()->flags;
    const VstIntPtr category = host->dispatch(effGetPlugCategory);
    const bool synth = (flags & effFlagsIsSynth) != 0;
    context.figure("flags / category", "%s / %ld (%s)", PluginReport::decodeFlags(flags).c_str(),
                   static_cast<long>(category), PluginReport::categoryName(category));
    context.figure("inputs / outputs", "%d / %d", host->record()->numInputs, host->record()->numOutputs);
    // Hosts that sort by the flag list an effect among the instruments, and
    // some refuse to put an instrument on an audio track's insert.
    if (synth && category == kPlugCategEffect)
        context.fail("effFlagsIsSynth is set on a plug-in whose category is effect: hosts list it as an instrument");
    else if (synth && category != kPlugCategSynth && category != kPlugCategUnknown)
        context.warn("effFlagsIsSynth is set on a plug-in whose category is %s; hosts may list it as an instrument",
                     PluginReport::categoryName(category));
    if (!synth && category == kPlugCategSynth)
        context.warn(
            "the category is synth, but effFlagsIsSynth is clear: hosts that sort by the flag list it as "
            "an effect");
}

// --- setting twice ---

std::vector<float> valuesTried(CheckContext& context) {
    std::vector<float> values = {0.0f, 1.0f, 0.5f};
    for (int k : {1, 63, 64, 126})
        values.push_back(static_cast<float>(k / 127.0));
    for (int i = 0; i < context.strictness(); ++i)
        values.push_back(static_cast<float>(context.uniform()));
    return values;
}

void settingIsIdempotent(CheckContext& context) {
    Twins twins(context);
    if (!twins.open())
        return;
    const bool compareAudio = twins.deterministic();
    if (!compareAudio)
        context.note("two fresh instances fed the same noise differ: only read-backs and texts are compared");
    const std::vector<VstInt32> indices = walked(context, twins.one().record()->numParams);
    const std::vector<float> values = valuesTried(context);
    long pairs = 0;
    for (VstInt32 index : indices) {
        for (float value : values) {
            if (context.failureCount() >= kEnoughFailures)
                break;
            context.doing("setting parameter %d to %.9g, then again", index, static_cast<double>(value));
            twins.both([&](PluginHost& host) { host.setParameter(index, value); });
            twins.blockAgrees();
            Snapshot once = snapshot(twins.one());
            twins.one().setParameter(index, value);
            Snapshot twice = snapshot(twins.one());
            ++pairs;
            std::vector<std::string> changed = differences(once, twice);
            bool heard = compareAudio && !twins.blockAgrees();
            if (changed.empty() && !heard)
                continue;
            context.fail("setting parameter %d to %.9g a second time changes it: %s", index, static_cast<double>(value),
                         changed.empty() ? "the output differs, though every read-back and text agree"
                                         : joined(changed).c_str());
            // The twins went apart: fresh ones for the rest.
            if (!twins.open())
                return;
        }
    }
    context.figure("parameters x values set twice", "%zu x %zu (%ld pairs)%s", indices.size(), values.size(), pairs,
                   compareAudio ? ", output compared bit for bit" : "");
}

// --- restoring through parameters ---

// A state a session may hold, reached the way a user and automation reach
// it: values set, some of them more than once. Extremes are set repeatedly,
// since a plug-in that steps or toggles on them lands elsewhere each time.
void bringIntoState(CheckContext& context, PluginHost& host, int state) {
    const VstInt32 count = host.record()->numParams;
    const float kPlain[] = {0.0f, 1.0f, 0.5f, static_cast<float>(1 / 127.0), static_cast<float>(100 / 127.0)};
    for (VstInt32 index = 0; index < count; ++index) {
        switch (state) {
        case 0:
            host.setParameter(index, 1.0f);
            host.setParameter(index, 1.0f);
            break;
        case 1:
            host.setParameter(index, 0.0f);
            host.setParameter(index, 0.0f);
            break;
        case 2:
            host.setParameter(index, 1.0f);
            host.setParameter(index, 0.0f);
            break;
        default: {
            float value = context.below(2) ? static_cast<float>(context.uniform()) : kPlain[context.below(5)];
            for (uint32_t times = 1 + context.below(3); times > 0; --times)
                host.setParameter(index, value);
        }
        }
    }
}

const char* const kStateNames[] = {"every parameter set to 1 twice", "every parameter set to 0 twice",
                                   "every parameter set to 1, then 0"};

std::string stateName(int state) {
    return state < 3 ? kStateNames[state]
                     : "random values, each set 1 to 3 times (state " + std::to_string(state) + ")";
}

// Instances fed the same noise side by side: for each after the first, the
// first block in which it sounds other than the first, or -1.
std::vector<long> firstDifferences(CheckContext& context, std::vector<PluginHost*> hosts, int inputs, int outputs) {
    std::vector<long> first(hosts.size(), -1);
    std::vector<std::unique_ptr<GuardedAudio>> out;
    for (PluginHost* host : hosts) {
        host->start();
        out.emplace_back(new GuardedAudio(outputs, kHabitsBlock));
    }
    GuardedAudio in(inputs, kHabitsBlock);
    for (int block = 0; block < 8; ++block) {
        context.noise(in, kNoiseLevel);
        for (size_t i = 0; i < hosts.size(); ++i) {
            context.process(*hosts[i], in, *out[i], kHabitsBlock);
            if (i > 0 && first[i] < 0 && !out[i]->sameAs(*out[0]))
                first[i] = block;
        }
    }
    return first;
}

void restoredThroughParameters(CheckContext& context) {
    int inputs = 0, outputs = 0;
    std::unique_ptr<PluginHost> plainA = context.load(kRate, kHabitsBlock), plainB = context.load(kRate, kHabitsBlock);
    if (!plainA || !plainB || !context.channelCounts(*plainA, inputs, outputs))
        return;
    const bool compareAudio = firstDifferences(context, {plainA.get(), plainB.get()}, inputs, outputs)[1] < 0;
    if (!compareAudio)
        context.note("two fresh instances fed the same noise differ: only read-backs and texts are compared");
    plainA.reset();
    plainB.reset();
    const int states = 3 + context.strictness();
    const char* const kOrders[] = {"index order", "reverse index order"};
    for (int state = 0; state < states; ++state) {
        context.doing("bringing an instance into state %d: %s", state, stateName(state).c_str());
        std::unique_ptr<PluginHost> original = context.load(kRate, kHabitsBlock);
        if (!original)
            return;
        bringIntoState(context, *original, state);
        Snapshot saved = snapshot(*original);
        const VstInt32 count = static_cast<VstInt32>(saved.values.size());
        std::vector<std::unique_ptr<PluginHost>> restored;
        std::vector<std::vector<std::string>> changed;
        for (int reverse = 0; reverse < 2; ++reverse) {
            context.doing("state %d: setting %d read-backs into a fresh instance in %s", state, count,
                          kOrders[reverse]);
            restored.push_back(context.load(kRate, kHabitsBlock));
            if (!restored.back())
                return;
            for (VstInt32 i = 0; i < count; ++i) {
                VstInt32 index = reverse ? count - 1 - i : i;
                restored.back()->setParameter(index, saved.values[static_cast<size_t>(index)]);
            }
            changed.push_back(differences(saved, snapshot(*restored.back())));
        }
        std::vector<long> blocks = {-1, -1, -1};
        if (compareAudio) {
            context.doing("state %d: the same noise through the original and both restored instances", state);
            blocks = firstDifferences(context, {original.get(), restored[0].get(), restored[1].get()}, inputs, outputs);
        }
        for (size_t order = 0; order < 2; ++order) {
            const long block = blocks[order + 1];
            if (changed[order].empty() && block < 0)
                continue;
            std::string sound = block < 0 ? "" : ", and the output differs from block " + std::to_string(block);
            context.fail("%s, restored in %s: %s%s", stateName(state).c_str(), kOrders[order],
                         changed[order].empty() ? "every read-back and text agree" : joined(changed[order]).c_str(),
                         sound.c_str());
        }
    }
    context.figure("states restored in both orders", "%d%s", states,
                   compareAudio ? ", output compared bit for bit" : "");
}

// --- echo ---

// What the plug-in is made to report as automation, without a person at
// its editor: values typed as text, MIDI controllers, programs chosen.
void driveAutomation(CheckContext& context, PluginHost& host) {
    const VstInt32 count = host.record()->numParams;
    for (VstInt32 index = 0; index < count; ++index) {
        std::string current = host.text(effGetParamDisplay, index);
        for (const std::string& typed : {std::string("0"), std::string("1"), std::string("0.5"), current}) {
            char text[kTextBufferBytes] = {};
            std::strncpy(text, typed.c_str(), sizeof text - 1);
            context.doing("effString2Parameter %d \"%s\"", index, text);
            host.dispatch(effString2Parameter, index, 0, text);
        }
    }
    int inputs = 0, outputs = 0;
    if (!context.channelCounts(host, inputs, outputs))
        return;
    GuardedAudio in(inputs, kHabitsBlock), out(outputs, kHabitsBlock);
    for (int controller = 0; controller < 128; ++controller) {
        VstMidiEvent events[3] = {};
        VstEvents list = {};
        list.numEvents = 2;
        const int values[] = {0, 127, 64};
        for (int i = 0; i < 3; ++i) {
            events[i].type = kVstMidiType;
            events[i].byteSize = sizeof(VstMidiEvent);
            events[i].midiData[0] = static_cast<char>(0xB0);
            events[i].midiData[1] = static_cast<char>(controller);
            events[i].midiData[2] = static_cast<char>(values[i]);
        }
        context.doing("MIDI controller %d: 0, 127 and 64", controller);
        // The header holds two slots; a third event goes in a list of its own.
        list.events[0] = reinterpret_cast<VstEvent*>(&events[0]);
        list.events[1] = reinterpret_cast<VstEvent*>(&events[1]);
        host.dispatch(effProcessEvents, 0, 0, &list);
        context.noise(in, kNoiseLevel);
        context.process(host, in, out, kHabitsBlock);
        list.numEvents = 1;
        list.events[0] = reinterpret_cast<VstEvent*>(&events[2]);
        host.dispatch(effProcessEvents, 0, 0, &list);
        context.process(host, in, out, kHabitsBlock);
    }
    for (VstInt32 program = 0; program < host.record()->numPrograms && program < 16; ++program) {
        context.doing("effSetProgram %d", program);
        host.dispatch(effSetProgram, 0, program);
    }
}

void echoChangesNothing(CheckContext& context) {
    std::unique_ptr<PluginHost> host = context.load(kRate, kHabitsBlock);
    if (!host)
        return;
    Snapshot before;
    long echoFailures = 0;
    PluginHost* plugin = host.get();
    host->setEcho(true, [&](bool sent, VstInt32 index, float value) {
        if (!sent) {
            before = snapshot(*plugin);
            return;
        }
        std::vector<std::string> changed = differences(before, snapshot(*plugin));
        if (!changed.empty() && ++echoFailures <= CheckContext::kDetailLimit) {
            context.fail("echoing the reported parameter %d = %.9g back through setParameter changes it: %s", index,
                         static_cast<double>(value), joined(changed).c_str());
        }
    });
    host->start();
    driveAutomation(context, *host);
    context.figure("automation reported / echoed", "%ld / %ld (typed values, MIDI controllers, programs)",
                   host->automationsHeard(), host->echoesSent());
    if (host->echoesSent() == 0)
        context.note("no automation arrived without a person at the editor: only read-backs were echoed");
    host->setEcho(false);

    // What an echo of a read-back amounts to, for every parameter in a few states.
    Twins twins(context);
    if (!twins.open())
        return;
    const bool compareAudio = twins.deterministic();
    const std::vector<VstInt32> indices = walked(context, twins.one().record()->numParams);
    long echoes = 0;
    for (int state = 0; state < 3 && context.failureCount() < kEnoughFailures; ++state) {
        if (state > 0) {
            uint64_t seed = context.next();
            twins.both([&](PluginHost& one) {
                CheckContext replay(ValidationSettings(), seed);
                bringIntoState(replay, one, state == 1 ? 3 : 2);
            });
        }
        for (VstInt32 index : indices) {
            twins.blockAgrees();
            Snapshot was = snapshot(twins.one());
            float value = twins.one().parameter(index);
            context.doing("setParameter(%d, its own read-back %.9g)", index, static_cast<double>(value));
            twins.one().setParameter(index, value);
            ++echoes;
            std::vector<std::string> changed = differences(was, snapshot(twins.one()));
            bool heard = compareAudio && !twins.blockAgrees();
            if (changed.empty() && !heard)
                continue;
            context.fail("setting parameter %d to its own read-back %.9g changes it: %s", index,
                         static_cast<double>(value),
                         changed.empty() ? "the output differs, though every read-back and text agree"
                                         : joined(changed).c_str());
            if (!twins.open())
                return;
            break;
        }
    }
    context.figure("read-backs echoed", "%ld (defaults, random, 1 then 0)%s", echoes,
                   compareAudio ? ", output compared bit for bit" : "");
}

// --- scanning ---

void scan(CheckContext& context, int scans) {
    const int warmUp = 3;
    ResourceCounts before;
    std::vector<double> milliseconds;
    std::string name;
    for (int round = 0; round < scans + warmUp; ++round) {
        if (round == warmUp)
            before = ProcessResources::count();
        context.doing("scan %d: loading, identifying, closing", round + 1);
        auto start = std::chrono::steady_clock::now();
        std::unique_ptr<PluginHost> host(new PluginHost());
        std::string error;
        if (!host->load(context.pluginPath(), error)) {
            context.fail("scan %d: %s", round + 1, error.c_str());
            return;
        }
        name = host->text(effGetEffectName);
        host->text(effGetVendorString);
        host->text(effGetProductString);
        host->dispatch(effGetPlugCategory);
        host->dispatch(effGetVendorVersion);
        host->dispatch(effGetVstVersion);
        const AEffect* record = host->record();
        volatile VstInt32 seen = record->numParams + record->flags + record->uniqueID;
        (void)seen;
        host.reset();
        if (round >= warmUp)
            milliseconds.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    ResourceCounts after = ProcessResources::count();
    std::vector<double> sorted = milliseconds;
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted[sorted.size() / 2];
    context.figure("scans of \"" + name + "\"", "%d (after %d to warm up)", scans, warmUp);
    context.figure("time per scan: median / slowest", "%.2f / %.2f ms (goal under %.0f ms)", median, sorted.back(),
                   kScanGoalMilliseconds);
    if (median > kScanGoalMilliseconds)
        context.warn("a scan takes %.1f ms: hosts that scan hundreds of plug-ins wait on each", median);
    const long growth = static_cast<long>(after.privateBytes) - static_cast<long>(before.privateBytes);
    context.figure("private memory growth over the scans", "%ld KB (%.1f KB per scan)", growth / 1024,
                   static_cast<double>(growth) / 1024.0 / scans);
    // Allocators keep some freed memory; a few kilobytes per scan that add up past a megabyte is a leak.
    if (growth > 1024L * 1024 && growth / scans > 16 * 1024)
        context.fail("private memory grew %ld KB over %d scans: each load and close leaves memory behind",
                     growth / 1024, scans);
    else if (growth > 256L * 1024)
        context.warn("private memory grew %ld KB over %d scans", growth / 1024, scans);
    if (after.objects.size() != before.objects.size())
        return;
    for (size_t kind = 0; kind < after.objects.size(); ++kind) {
        const long objects =
            static_cast<long>(after.objects[kind].count) - static_cast<long>(before.objects[kind].count);
        context.figure(after.objects[kind].kind + " more after the scans", "%+ld", objects);
        if (objects >= std::max(4L, static_cast<long>(scans / 2)))
            context.fail("%ld %s more after %d scans, with no editor opened", objects, after.objects[kind].kind.c_str(),
                         scans);
    }
}

void scanFifty(CheckContext& context) { scan(context, 50); }
void scanFiveHundred(CheckContext& context) { scan(context, 500); }

}  // namespace

ValidationGroup hostHabitsGroup() {
    return {"habits",
            "Host habits",
            {"read-backs and display texts of every parameter are compared after each call; output bit for bit"},
            {
                {"the instrument flag agrees with the category", 1, flagsAgreeWithCategory},
                {"setting a value twice changes nothing the second time", 1, settingIsIdempotent},
                {"read-backs set into a fresh instance, in index and reverse order, restore it", 2,
                 restoredThroughParameters},
                {"reported automation and read-backs echoed back change nothing", 2, echoChangesNothing},
                {"scanned 50 times: open, identify, close, unload", 3, scanFifty},
                {"scanned 500 times", 8, scanFiveHundred},
            }};
}
