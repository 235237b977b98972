// Hosts echo what a plug-in reports through audioMasterAutomate straight
// back through setParameter, and set a parameter to its own read-back: it
// must change nothing.
#include <cstring>

#include "tools/validate/groups/GroupSupport.h"
#include "tools/validate/groups/habits/HabitChecks.h"
#include "tools/validate/groups/habits/HabitsSupport.h"
#include "tools/validate/groups/habits/Twins.h"

namespace {

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

}  // namespace

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
    twins.deterministic();
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
            const float value = twins.one().parameter(index);
            context.doing("setParameter(%d, its own read-back %.9g)", index, static_cast<double>(value));
            const std::string change = twins.changesFrom(index, value);
            ++echoes;
            if (change.empty())
                continue;
            context.fail("setting parameter %d to its own read-back %.9g changes it: %s", index,
                         static_cast<double>(value), change.c_str());
            if (!twins.open())
                return;
            break;
        }
    }
    context.figure("read-backs echoed", "%ld (defaults, random, 1 then 0)%s", echoes,
                   twins.comparesAudio() ? ", output compared bit for bit" : "");
}
