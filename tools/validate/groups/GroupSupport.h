// What several groups share: the rate, block and noise most checks run
// with and the bound on what may come out, started instances, a worker
// thread's random stream, a host automating from a thread of its own, and
// event lists whose pointer arrays end at a guard page.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "tools/hosting/process/GuardedBuffer.h"
#include "tools/hosting/vst/PluginHost.h"
#include "tools/validate/CheckContext.h"
#include "tools/validate/GuardedText.h"
#include "tools/validate/ValidationGroup.h"

const int kRate = PluginSetup::kDefaultSampleRate;
const int kBlock = PluginSetup::kDefaultBlockSize;
const float kNoiseLevel = 0.5f;
// Louder than this out of a 0.5 noise in is more than a plain effect gives
// (66 dB of gain), though an equaliser of many boosted bands may reach it.
const float kBound = 1000.0f;
// An opened editor idles this long before it is closed again.
const unsigned kIdleMilliseconds = 2;

// A started instance; null after a failure.
std::unique_ptr<PluginHost> started(CheckContext& context, int rate, int block, int& inputs, int& outputs);
// The same at kRate, without a word of its own: a crash in the start names
// what the check said it was doing, such as which of several instances.
std::unique_ptr<PluginHost> startedQuietly(CheckContext& context, int block, int& inputs, int& outputs);

// The same for checks that hold in every format.
std::unique_ptr<HostedPlugin> startedAnyFormat(CheckContext& context, int rate, int block, int& inputs, int& outputs);
std::unique_ptr<HostedPlugin> startedAnyFormatQuietly(CheckContext& context, int block, int& inputs, int& outputs);

// Output judged wherever a check looks at it: not finite fails the check;
// finite but past kBound is loud, which the check warns of once in dB.
void checkBlock(CheckContext& context, const GuardedAudio& out, const std::string& where);
void checkPeak(CheckContext& context, float peak, const std::string& where);

// A value no signal or rate should hold, named for messages.
struct NastyInput {
    const char* name;
    float value;
};

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
    void run();

    PluginHost& host;
    ThreadRandom random;
    std::atomic<long>& steps;
    std::atomic<bool> stopping{false};
    std::atomic<long> doneSteps{0};
    long done = 0;
    long bad = 0;
    std::thread worker;
};

// The system-exclusive event, which the effect headers leave out.
struct VstMidiSysexEvent {
    VstInt32 type;
    VstInt32 byteSize;
    VstInt32 deltaFrames;
    VstInt32 flags;
    VstInt32 dumpBytes;
    VstIntPtr resvd1;
    char* sysexDump;
    VstIntPtr resvd2;
};

// A list whose pointer array ends at a guard page, its events kept alive beside it.
class EventList {
public:
    explicit EventList(int count)
        : memory(offsetof(VstEvents, events) + sizeof(VstEvent*) * static_cast<size_t>(count)),
          midi(static_cast<size_t>(count)),
          sysex(static_cast<size_t>(count)) {
        list()->numEvents = count;
    }
    VstEvents* list() { return reinterpret_cast<VstEvents*>(memory.data()); }
    VstEvent** slots() { return reinterpret_cast<VstEvent**>(memory.data() + offsetof(VstEvents, events)); }
    VstMidiEvent& midiAt(int i) { return midi[static_cast<size_t>(i)]; }
    VstMidiSysexEvent& sysexAt(int i) { return sysex[static_cast<size_t>(i)]; }
    std::vector<GuardedBuffer> dumps;

private:
    GuardedBuffer memory;
    std::vector<VstMidiEvent> midi;
    std::vector<VstMidiSysexEvent> sysex;
};

enum class EventKind { Midi, RandomBytes, Sysex, NullEntries };

// Fills the list with count events of that kind, spread over a block of kBlock.
void fillList(CheckContext& context, EventList& events, int count, EventKind kind);
