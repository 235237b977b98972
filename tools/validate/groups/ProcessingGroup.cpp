// Processing: the audio path a host drives, with guard pages after every
// buffer, block sizes of every kind, values no signal should hold, and the
// floating-point control state watched around every call.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "tools/hosting/process/HeapCount.h"
#include "tools/hosting/process/FloatingPoint.h"
#include "tools/validate/groups/GroupSupport.h"

namespace {

const int kAnnouncedBlock = 4096;
const int kBlockSizes[] = {1, 2, 3, 7, 64, 511, 512, 513, 4096};
// Primes and odd sizes: hosts cut blocks wherever automation or a loop point
// falls, so no plug-in may assume a power of two or a multiple of its vector width.
const int kOddSizes[] = {5, 13, 31, 97, 127, 257, 383, 1021, 2047, 4093, 4095};
// Sizes drawn from the seeded stream per round, so a seed repeats them.
const int kRandomSizes = 8;
const int kTooLarge = 2 * kAnnouncedBlock;
// From this strictness on, a heap allocation inside processReplacing fails;
// below it warns: many plug-ins ship that way, and most hosts cope.
const int kHeapFailsFrom = 7;

// A block size as a host's automation or loop points cut it: often short,
// sometimes anything up to the announced maximum.
int randomBlockSize(CheckContext& context, int largest) {
    const uint32_t kind = context.below(4);
    const int limit = kind == 0 ? 32 : kind == 1 ? 600 : largest;
    return 1 + static_cast<int>(context.below(static_cast<uint32_t>(std::min(limit, largest))));
}

void blockSizes(CheckContext& context) {
    int inputs = 0, outputs = 0;
    std::unique_ptr<PluginHost> host = started(context, kRate, kAnnouncedBlock, inputs, outputs);
    if (!host)
        return;
    const int rounds = context.strictness();
    std::string randomText;
    for (int round = 0; round < rounds; ++round) {
        std::vector<int> sizes(std::begin(kBlockSizes), std::end(kBlockSizes));
        sizes.insert(sizes.end(), std::begin(kOddSizes), std::end(kOddSizes));
        for (int i = 0; i < kRandomSizes; ++i) {
            sizes.push_back(randomBlockSize(context, kAnnouncedBlock));
            if (round == 0)
                randomText += " " + std::to_string(sizes.back());
        }
        for (int frames : sizes) {
            GuardedAudio in(inputs, frames), out(outputs, frames);
            context.noise(in, kNoiseLevel);
            context.doing("processReplacing %d frames into buffers that end at a guard page (round %d)", frames,
                          round + 1);
            context.process(*host, in, out, frames);
            checkBlock(context, out, "a block of " + std::to_string(frames));
        }
    }
    context.figure("block sizes (guarded in and out)", "1 2 3 7 64 511 512 513 4096, %d rounds", rounds);
    context.figure("odd and prime block sizes", "5 13 31 97 127 257 383 1021 2047 4093 4095");
    context.figure("random block sizes, first round", "%s (%d more per round)", randomText.c_str() + 1, kRandomSizes);
}

void largerThanAnnounced(CheckContext& context) {
    int inputs = 0, outputs = 0;
    std::unique_ptr<PluginHost> host = started(context, kRate, kAnnouncedBlock, inputs, outputs);
    if (!host)
        return;
    GuardedAudio in(inputs, kTooLarge), out(outputs, kTooLarge);
    context.noise(in, kNoiseLevel);
    context.doing("processReplacing %d frames after effSetBlockSize %d", kTooLarge, kAnnouncedBlock);
    context.process(*host, in, out, kTooLarge);
    checkBlock(context, out, "a block twice the announced size");
    context.figure("block past the announced size", "%d frames after %d announced", kTooLarge, kAnnouncedBlock);
}

void inPlace(CheckContext& context) {
    int inputs = 0, outputs = 0;
    std::unique_ptr<PluginHost> apart = started(context, kRate, kBlock, inputs, outputs);
    std::unique_ptr<PluginHost> shared = started(context, kRate, kBlock, inputs, outputs);
    if (!apart || !shared)
        return;
    int channels = std::max(inputs, outputs);
    int differing = 0;
    for (int block = 0; block < 16; ++block) {
        GuardedAudio in(channels, kBlock), out(channels, kBlock), io(channels, kBlock);
        context.noise(in, kNoiseLevel);
        for (int c = 0; c < channels; ++c)
            std::memcpy(io.channel(c), in.channel(c), sizeof(float) * kBlock);
        context.doing("block %d out of place, then in place (outputs on the inputs)", block);
        context.process(*apart, in, out, kBlock);
        context.process(*shared, io, io, kBlock);
        for (int c = 0; c < outputs; ++c) {
            differing += std::memcmp(out.channel(c), io.channel(c), sizeof(float) * kBlock) != 0;
        }
        checkBlock(context, io, "in place");
    }
    if (differing > 0) {
        context.fail("in place gives other samples than out of place in %d channel blocks of 16 x %d", differing,
                     outputs);
    }
}

const NastyInput kNastyInputs[] = {
    {"NaN", std::numeric_limits<float>::quiet_NaN()},
    {"+infinity", std::numeric_limits<float>::infinity()},
    {"-infinity", -std::numeric_limits<float>::infinity()},
    {"huge (1e30)", 1e30f},
    {"subnormal (1e-40)", 1e-40f},
};

// Noise blocks from here on; the sample after the last one that is not
// finite, or -1 when such samples still come near the end.
long framesUntilSound(CheckContext& context, PluginHost& host, GuardedAudio& in, GuardedAudio& out, int blocks) {
    long lastBad = -1;
    for (int block = 0; block < blocks; ++block) {
        context.noise(in, kNoiseLevel);
        context.process(host, in, out, kBlock);
        for (int c = 0; c < out.channels(); ++c) {
            for (int i = 0; i < kBlock; ++i) {
                float sample = out.channel(c)[i];
                if (!std::isfinite(sample))
                    lastBad = static_cast<long>(block) * kBlock + i;
            }
        }
    }
    // Good for the last tenth of the time, or not recovered.
    return lastBad >= static_cast<long>(blocks) * kBlock * 9 / 10 ? -1 : lastBad + 1;
}

void nastyInputs(CheckContext& context) {
    const int second = kRate / kBlock;
    for (const NastyInput& nasty : kNastyInputs) {
        int inputs = 0, outputs = 0;
        std::unique_ptr<PluginHost> host = started(context, kRate, kBlock, inputs, outputs);
        if (!host)
            return;
        GuardedAudio in(inputs, kBlock), out(outputs, kBlock);
        for (int block = 0; block < 4; ++block) {
            context.noise(in, kNoiseLevel);
            context.process(*host, in, out, kBlock);
        }
        context.doing("a block of %s input", nasty.name);
        in.fill(nasty.value);
        context.process(*host, in, out, kBlock);
        context.doing("noise after %s input", nasty.name);
        long recovered = framesUntilSound(context, *host, in, out, second);
        if (recovered >= 0) {
            context.figure(std::string("finite again after ") + nasty.name, "%ld samples (%.1f ms)", recovered,
                           1000.0 * recovered / kRate);
            continue;
        }
        context.doing("effMainsChanged 0/1 after %s input did not pass within a second", nasty.name);
        host->stop();
        host->start();
        long afterReset = framesUntilSound(context, *host, in, out, second);
        if (afterReset >= 0) {
            context.figure(std::string("finite again after ") + nasty.name, "only after effMainsChanged 0/1");
            context.warn(
                "after a block of %s the output stays not finite for a second of finite input, until "
                "effMainsChanged 0/1",
                nasty.name);
        } else {
            context.figure(std::string("finite again after ") + nasty.name, "never");
            context.fail("after a block of %s the output stays not finite, even after effMainsChanged 0/1", nasty.name);
        }
    }
}

void silenceToZero(CheckContext& context) {
    int inputs = 0, outputs = 0;
    std::unique_ptr<PluginHost> host = started(context, kRate, kBlock, inputs, outputs);
    if (!host)
        return;
    GuardedAudio in(inputs, kBlock), out(outputs, kBlock);
    for (int block = 0; block < kRate / 2 / kBlock; ++block) {
        context.noise(in, kNoiseLevel);
        context.process(*host, in, out, kBlock);
    }
    context.doing("silence after half a second of noise, up to ten seconds");
    in.fill(0.0f);
    const int blocks = 10 * kRate / kBlock;
    long lastNonzero = -1;
    for (int block = 0; block < blocks; ++block) {
        context.process(*host, in, out, kBlock);
        for (int c = 0; c < outputs; ++c) {
            for (int i = 0; i < kBlock; ++i) {
                if (out.channel(c)[i] != 0.0f)
                    lastNonzero = static_cast<long>(block) * kBlock + i;
            }
        }
    }
    VstIntPtr tail = host->dispatch(effGetTailSize);
    context.figure("effGetTailSize", "%ld samples", static_cast<long>(tail));
    if (lastNonzero >= static_cast<long>(blocks - 1) * kBlock) {
        context.figure("silence in to exact silence out", "not within 10 s");
        context.warn("silence in never gave exact silence out within ten seconds");
    } else {
        context.figure("silence in to exact silence out", "%ld samples (%.1f ms)", lastNonzero + 1,
                       1000.0 * (lastNonzero + 1) / kRate);
    }
}

double secondsFor(CheckContext& context, PluginHost& host, GuardedAudio& in, GuardedAudio& out, float level,
                  int blocks) {
    context.noise(in, level);
    auto start = std::chrono::steady_clock::now();
    for (int block = 0; block < blocks; ++block)
        context.process(host, in, out, kBlock);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void subnormalCost(CheckContext& context) {
    int inputs = 0, outputs = 0;
    std::unique_ptr<PluginHost> host = started(context, kRate, kBlock, inputs, outputs);
    if (!host)
        return;
    GuardedAudio in(inputs, kBlock), out(outputs, kBlock);
    const int blocks = 40 * context.strictness();
    const int rounds = 5;
    std::vector<double> normal, tiny;
    context.doing("timing normal noise against subnormal noise");
    for (int round = 0; round < rounds; ++round) {
        normal.push_back(secondsFor(context, *host, in, out, kNoiseLevel, blocks));
        // Every sample a subnormal: the state decays into that range as a tail does.
        tiny.push_back(secondsFor(context, *host, in, out, 1e-39f, blocks));
    }
    std::sort(normal.begin(), normal.end());
    std::sort(tiny.begin(), tiny.end());
    double ratio = normal[rounds / 2] > 0.0 ? tiny[rounds / 2] / normal[rounds / 2] : 0.0;
    double perFrame = normal[rounds / 2] * 1e9 / (static_cast<double>(blocks) * kBlock);
    context.figure("cost of normal noise", "%.1f ns per frame", perFrame);
    context.figure("cost of a subnormal tail / normal signal", "%.2f (flush-to-zero off, as the host found it)", ratio);
    if (ratio > 10.0)
        context.warn("a subnormal tail costs %.1f times a normal signal", ratio);
}

void floatingPointStateKept(CheckContext& context) {
    uint32_t before = floatingPointState();
    int inputs = 0, outputs = 0;
    std::unique_ptr<PluginHost> host = started(context, kRate, kBlock, inputs, outputs);
    if (!host)
        return;
    uint32_t afterStart = floatingPointState();
    if (afterStart != before) {
        context.fail("loading and starting the plug-in changed the floating-point control state from 0x%04X to 0x%04X",
                     static_cast<unsigned>(before), static_cast<unsigned>(afterStart));
        restoreFloatingPointState(before);
    }
    GuardedAudio in(inputs, kBlock), out(outputs, kBlock);
    for (int block = 0; block < 64 * context.strictness(); ++block) {
        context.noise(in, block % 2 ? kNoiseLevel : 1e-39f);
        context.process(*host, in, out, kBlock);
    }
    context.doing("effMainsChanged 0/1 with the control state watched");
    host->stop();
    host->start();
    if (floatingPointState() != before) {
        context.fail("effMainsChanged changed the floating-point control state to 0x%04X",
                     static_cast<unsigned>(floatingPointState()));
    }
    context.figure("floating-point control state", "0x%04X before and after every call%s",
                   static_cast<unsigned>(before), context.failureCount() > 0 ? " (except as reported)" : "");
}

// --- a host playing automation ---

// Calls of processReplacing per level of strictness.
const int kPlayedCallsPerLevel = 256;

struct Played {
    long calls = 0;
    long frames = 0;
    int smallest = kAnnouncedBlock;
    int largest = 0;
    long changes = 0;
    long events = 0;
};

// A host playing a song with automation: the audio cut into blocks wherever
// a parameter moves, so that the size changes from call to call, with
// parameters set and MIDI sent between the calls. `process` makes each call.
template <typename Process>
Played playAutomated(CheckContext& context, PluginHost& host, int inputs, int outputs, long calls, Process process) {
    Played played;
    const VstInt32 count = host.record()->numParams;
    for (; played.calls < calls; ++played.calls) {
        const int frames = randomBlockSize(context, kAnnouncedBlock);
        for (uint32_t change = context.below(3); change > 0 && count > 0; --change) {
            host.setParameter(static_cast<VstInt32>(context.below(static_cast<uint32_t>(count))),
                              static_cast<float>(context.uniform()));
            ++played.changes;
        }
        // Alive until the block has been processed, as hosts keep their lists.
        std::unique_ptr<EventList> events;
        if (context.below(4) == 0) {
            const int number = 1 + static_cast<int>(context.below(3));
            events.reset(new EventList(number));
            fillList(context, *events, number, EventKind::Midi);
            for (int i = 0; i < number; ++i)
                events->midiAt(i).deltaFrames = static_cast<VstInt32>(context.below(static_cast<uint32_t>(frames)));
            host.dispatch(effProcessEvents, 0, 0, events->list());
            played.events += number;
        }
        GuardedAudio in(inputs, frames), out(outputs, frames);
        context.noise(in, kNoiseLevel);
        context.doing("call %ld: %d frames from frame %ld, blocks cut where automation falls", played.calls + 1, frames,
                      played.frames);
        process(in, out, frames);
        checkBlock(context, out, "a block of " + std::to_string(frames) + " between parameter changes");
        played.frames += frames;
        played.smallest = std::min(played.smallest, frames);
        played.largest = std::max(played.largest, frames);
    }
    return played;
}

void changingBlockSizes(CheckContext& context) {
    int inputs = 0, outputs = 0;
    std::unique_ptr<PluginHost> host = started(context, kRate, kAnnouncedBlock, inputs, outputs);
    if (!host)
        return;
    Played played = playAutomated(
        context, *host, inputs, outputs, kPlayedCallsPerLevel * context.strictness(),
        [&](GuardedAudio& in, GuardedAudio& out, int frames) { context.process(*host, in, out, frames); });
    context.figure("calls / frames played", "%ld / %ld (%.1f s)", played.calls, played.frames,
                   static_cast<double>(played.frames) / kRate);
    context.figure("block sizes from call to call", "%d to %d", played.smallest, played.largest);
    context.figure("parameter changes / MIDI events between calls", "%ld / %ld", played.changes, played.events);
}

void noHeapInProcessing(CheckContext& context) {
    if (!HeapCount::available()) {
        context.skip("this host tool cannot see the plug-in's allocations here (it counts them on Linux)");
        return;
    }
    int inputs = 0, outputs = 0;
    std::unique_ptr<PluginHost> host = started(context, kRate, kAnnouncedBlock, inputs, outputs);
    if (!host)
        return;
    const unsigned long before = HeapCount::counted();
    Played played = playAutomated(context, *host, inputs, outputs, kPlayedCallsPerLevel * context.strictness(),
                                  [&](GuardedAudio& in, GuardedAudio& out, int frames) {
                                      HeapCount::Counting counting;
                                      host->process(in.pointers(), out.pointers(), frames);
                                  });
    const unsigned long allocations = HeapCount::counted() - before;
    context.figure("heap allocations in processReplacing", "%lu in %ld calls", allocations, played.calls);
    if (allocations == 0)
        return;
    if (context.strictness() >= kHeapFailsFrom) {
        context.fail(
            "%lu heap allocations in %ld calls of processReplacing: one that waits on the allocator's lock "
            "drops out the audio",
            allocations, played.calls);
    } else {
        context.warn("%lu heap allocations in %ld calls of processReplacing (a failure from strictness %d)",
                     allocations, played.calls, kHeapFailsFrom);
    }
}

}  // namespace

ValidationGroup processingGroup() {
    return {"processing",
            "Processing",
            {"input and output buffers end at a no-access page; 4096 frames announced; noise of 0.5 in, "
             "bound 1000 out"},
            {
                {"block sizes from 1 to 4096: powers of two, primes, odd and random, guarded", 1, blockSizes},
                {"block sizes changing from call to call, with automation and MIDI between", 2, changingBlockSizes},
                {"no heap allocation inside processReplacing", 1, noHeapInProcessing},
                {"a block larger than the size announced", 2, largerThanAnnounced},
                {"in place gives what out of place gives", 1, inPlace},
                {"NaN, infinite, huge and subnormal input, then finite input", 1, nastyInputs},
                {"silence in, exact silence out after the tail", 3, silenceToZero},
                {"cost of a subnormal tail", 3, subnormalCost},
                {"floating-point control state kept", 1, floatingPointStateKept},
            }};
}
