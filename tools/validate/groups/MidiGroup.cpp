// MIDI: event lists of every length, of random bytes, with system-exclusive
// dumps and with null entries, each list's pointer array ending at a guard
// page.
#include <memory>
#include <string>

#include "tools/validate/groups/GroupSupport.h"

namespace {

void sendLists(CheckContext& context, EventKind kind, const char* what) {
    int inputs = 0, outputs = 0;
    std::unique_ptr<PluginHost> host = started(context, kRate, kBlock, inputs, outputs);
    if (!host)
        return;
    GuardedAudio in(inputs, kBlock), out(outputs, kBlock);
    const int counts[] = {0, 1, 2, 16, 1030};
    int lists = 0;
    for (int round = 0; round < context.strictness(); ++round) {
        for (int count : counts) {
            EventList events(count);
            fillList(context, events, count, kind);
            context.doing("effProcessEvents with %d %s (round %d), then a block", count, what, round + 1);
            host->dispatch(effProcessEvents, 0, 0, events.list());
            context.noise(in, kNoiseLevel);
            context.process(*host, in, out, kBlock);
            checkBlock(context, out, std::to_string(count) + " " + what);
            ++lists;
        }
    }
    for (VstInt32 index = 0; index < host->record()->numParams; ++index) {
        float value = host->parameter(index);
        if (!(value >= 0.0f && value <= 1.0f)) {
            context.fail("after the events parameter %d reads %g", index, static_cast<double>(value));
        }
    }
    context.figure(std::string("lists of ") + what, "%d (0, 1, 2, 16 and 1030 events)", lists);
}

void midiEvents(CheckContext& context) { sendLists(context, EventKind::Midi, "MIDI events"); }
void randomEvents(CheckContext& context) { sendLists(context, EventKind::RandomBytes, "random-byte events"); }
void sysexEvents(CheckContext& context) { sendLists(context, EventKind::Sysex, "events, half system exclusive"); }
void nullEntries(CheckContext& context) { sendLists(context, EventKind::NullEntries, "events, a third null"); }

}  // namespace

ValidationGroup midiGroup() {
    return {"midi",
            "MIDI",
            {"event pointer arrays and system-exclusive dumps end at a no-access page"},
            {
                {"lists of 0, 1, 2, 16 and 1030 MIDI events", 1, midiEvents},
                {"events of random bytes and unknown types", 3, randomEvents},
                {"system-exclusive events with real buffers", 2, sysexEvents},
                {"null entries in the list", 2, nullEntries},
            }};
}
