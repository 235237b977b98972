// Dispatcher fuzz: every opcode, and some past the last, with random
// arguments and null or guarded pointers. Opcodes whose pointers must lead
// to particular records are left to the groups that build those records.
#include <cmath>
#include <cstring>
#include <limits>

#include "tools/validate/CheckContext.h"
#include "tools/validate/groups/GroupSupport.h"

namespace {

const VstInt32 kLastOpcodeTried = 90;
const int kCallsPerOpcodePerLevel = 16;
// Enough for any record a documented opcode writes through ptr.
const size_t kPointerBytes = 1024;
const int kLargestBlockSent = 65536;

struct Exclusion {
    VstInt32 opcode;
    const char* why;
};

const Exclusion kExcluded[] = {
    {effClose, "ends the instance: every later call would be on a plug-in that is gone"},
    {effEditOpen, "needs a real parent window; the Editor group opens it for real"},
    {effGetChunk, "hands back a pointer and a size to read: random ones mean nothing; the State group reads chunks"},
    {effSetChunk, "value is the size of the data at ptr: a random size names memory that is not there"},
    {effProcessEvents, "needs a VstEvents list; the MIDI group sends real and broken ones"},
    {effOfflineNotify, "needs VstAudioFile records, index of them, with pointers of their own"},
    {effOfflinePrepare, "needs index VstOfflineTask records with buffers"},
    {effOfflineRun, "needs index VstOfflineTask records with buffers"},
    {effProcessVarIo, "needs a VstVariableIo with real sample buffers"},
    {effSetSpeakerArrangement, "value and ptr must be VstSpeakerArrangement records with their counts"},
};

bool excluded(VstInt32 opcode) {
    for (const Exclusion& exclusion : kExcluded) {
        if (exclusion.opcode == opcode)
            return true;
    }
    return false;
}

VstIntPtr randomValue(CheckContext& context, VstInt32 opcode) {
    if (opcode == effSetBlockSize || opcode == effSetBlockSizeAndSampleRate) {
        const VstIntPtr sizes[] = {0, -1, 1, 7, 512, kLargestBlockSent};
        return sizes[context.below(sizeof sizes / sizeof sizes[0])];
    }
    switch (context.below(6)) {
    case 0:
        return 0;
    case 1:
        return 1;
    case 2:
        return -1;
    case 3:
        return static_cast<VstIntPtr>(context.below(256));
    case 4:
        return std::numeric_limits<VstInt32>::max();
    default:
        return static_cast<VstIntPtr>(context.next());
    }
}

VstInt32 randomIndex(CheckContext& context) {
    const VstInt32 edges[] = {
        0, 1, -1, 2, 63, 64, 1000, std::numeric_limits<VstInt32>::min(), std::numeric_limits<VstInt32>::max()};
    if (context.below(2) == 0)
        return edges[context.below(sizeof edges / sizeof edges[0])];
    return static_cast<VstInt32>(context.next());
}

float randomOpt(CheckContext& context) {
    const float options[] = {0.0f,
                             1.0f,
                             -1.0f,
                             44100.0f,
                             std::numeric_limits<float>::quiet_NaN(),
                             std::numeric_limits<float>::infinity(),
                             -std::numeric_limits<float>::infinity(),
                             1e30f,
                             std::numeric_limits<float>::denorm_min()};
    if (context.below(3) == 0)
        return static_cast<float>(context.uniform() * 2.0 - 0.5);
    return options[context.below(sizeof options / sizeof options[0])];
}

std::vector<std::string> exclusionNotes() {
    std::vector<std::string> notes;
    for (const Exclusion& exclusion : kExcluded) {
        notes.push_back(std::string("excluded ") + std::to_string(exclusion.opcode) + " " +
                        opcodeName(exclusion.opcode) + ": " + exclusion.why);
    }
    notes.push_back(
        "restricted: effSetBlockSize and effSetBlockSizeAndSampleRate get sizes -1..65536, since a "
        "plug-in may rightly allocate what it is told");
    notes.push_back("valid pointers are zero-filled guarded buffers of " + std::to_string(kPointerBytes) +
                    " bytes; effGetSpeakerArrangement gets one in value as well");
    return notes;
}

// The plug-in, after whatever the fuzz told it, set up again as a host would
// and made to process: what comes out must be numbers.
void stillProcesses(CheckContext& context, PluginHost& host) {
    int inputs = 0, outputs = 0;
    if (!context.channelCounts(host, inputs, outputs))
        return;
    context.doing("setting the plug-in up again after the fuzz and processing");
    host.dispatch(effMainsChanged, 0, 0);
    host.dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
    host.dispatch(effSetBlockSize, 0, kBlock);
    host.dispatch(effMainsChanged, 0, 1);
    GuardedAudio in(inputs, kBlock), out(outputs, kBlock);
    float peak = 0.0f;
    for (int block = 0; block < 8; ++block) {
        context.noise(in, kNoiseLevel);
        context.process(host, in, out, kBlock);
        peak = std::fmax(peak, out.peak());
    }
    context.figure("output peak after the fuzz", "%g", static_cast<double>(peak));
    checkPeak(context, peak, "after the fuzz and a restart");
}

void everyOpcode(CheckContext& context) {
    std::unique_ptr<PluginHost> host = context.load(kRate, kBlock);
    if (!host)
        return;
    const int perOpcode = kCallsPerOpcodePerLevel * context.strictness();
    long calls = 0, nonzero = 0;
    GuardedBuffer buffer(kPointerBytes), second(kPointerBytes);
    for (VstInt32 opcode = 0; opcode <= kLastOpcodeTried; ++opcode) {
        if (excluded(opcode))
            continue;
        for (int i = 0; i < perOpcode; ++i) {
            VstInt32 index = randomIndex(context);
            VstIntPtr value = randomValue(context, opcode);
            float opt = randomOpt(context);
            bool null = context.below(3) == 0;
            buffer.fill(0);
            second.fill(0);
            void* ptr = null ? nullptr : buffer.data();
            if (opcode == effGetSpeakerArrangement)
                value = null ? 0 : reinterpret_cast<VstIntPtr>(second.data());
            context.doing("opcode %d (%s) index %d value %lld ptr %s opt %g", opcode, opcodeName(opcode), index,
                          static_cast<long long>(value), null ? "null" : "guarded", static_cast<double>(opt));
            nonzero += host->dispatch(opcode, index, value, ptr, opt) != 0;
            ++calls;
        }
    }
    context.figure("dispatcher calls", "%ld (%d per opcode, opcodes 0..%d)", calls, perOpcode, kLastOpcodeTried);
    context.figure("calls answered non-zero", "%ld", nonzero);
    stillProcesses(context, *host);
}

void canDoStrings(CheckContext& context) {
    std::unique_ptr<PluginHost> host = context.load(kRate, kBlock);
    if (!host)
        return;
    const char* const questions[] = {"sendVstEvents",
                                     "sendVstMidiEvent",
                                     "receiveVstEvents",
                                     "receiveVstMidiEvent",
                                     "receiveVstTimeInfo",
                                     "offline",
                                     "midiProgramNames",
                                     "bypass",
                                     "",
                                     "?"};
    for (const char* question : questions) {
        GuardedBuffer text(std::strlen(question) + 1);
        std::memcpy(text.data(), question, text.size());
        context.doing("effCanDo \"%s\" in a buffer of exactly its length", question);
        VstIntPtr answer = host->dispatch(effCanDo, 0, 0, text.data());
        if (answer < -1 || answer > 1)
            context.warn("effCanDo \"%s\" answers %ld, not -1, 0 or 1", question, static_cast<long>(answer));
    }
    // A long question with nothing after its terminator.
    GuardedBuffer longText(kPointerBytes);
    std::memset(longText.data(), 'x', kPointerBytes - 1);
    context.doing("effCanDo with a %zu-character question", kPointerBytes - 1);
    host->dispatch(effCanDo, 0, 0, longText.data());
}

}  // namespace

ValidationGroup dispatcherGroup() {
    return {"dispatcher",
            "Dispatcher fuzz",
            exclusionNotes(),
            {
                {"every opcode with random index, value, option and pointers", 4, everyOpcode},
                {"effCanDo with questions of exact length", 1, canDoStrings},
            }};
}
