#include "tools/validate/groups/GroupSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

std::unique_ptr<PluginHost> started(CheckContext& context, int rate, int block, int& inputs, int& outputs) {
    std::unique_ptr<PluginHost> host = context.load(rate, block);
    if (!host)
        return nullptr;
    if (!context.channelCounts(*host, inputs, outputs))
        return nullptr;
    context.doing("effMainsChanged 1 and effStartProcess");
    host->start();
    return host;
}

std::unique_ptr<PluginHost> startedQuietly(CheckContext& context, int block, int& inputs, int& outputs) {
    std::unique_ptr<PluginHost> host = context.load(kRate, block);
    if (!host || !context.channelCounts(*host, inputs, outputs))
        return nullptr;
    host->start();
    return host;
}

std::unique_ptr<HostedPlugin> startedAnyFormat(CheckContext& context, int rate, int block, int& inputs, int& outputs) {
    std::unique_ptr<HostedPlugin> plugin = context.open(rate, block);
    if (!plugin || !context.channelCounts(*plugin, inputs, outputs))
        return nullptr;
    context.doing("starting it");
    plugin->start();
    return plugin;
}

std::unique_ptr<HostedPlugin> startedAnyFormatQuietly(CheckContext& context, int block, int& inputs, int& outputs) {
    std::unique_ptr<HostedPlugin> plugin = context.open(kRate, block);
    if (!plugin || !context.channelCounts(*plugin, inputs, outputs))
        return nullptr;
    plugin->start();
    return plugin;
}

void checkBlock(CheckContext& context, const GuardedAudio& out, const std::string& where) {
    checkPeak(context, out.peak(), where);
}

void checkPeak(CheckContext& context, float peak, const std::string& where) {
    if (!std::isfinite(peak))
        context.fail("%s: the output is not finite", where.c_str());
    if (!std::isfinite(peak) || peak <= kBound)
        return;
    char input[48];
    std::snprintf(input, sizeof input, ", from noise of %g", static_cast<double>(kNoiseLevel));
    context.loud(peak, kBound, where + input);
}

void Automation::run() {
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

void fillList(CheckContext& context, EventList& events, int count, EventKind kind) {
    for (int i = 0; i < count; ++i) {
        VstMidiEvent& event = events.midiAt(i);
        event = VstMidiEvent();
        event.type = kVstMidiType;
        event.byteSize = sizeof(VstMidiEvent);
        event.deltaFrames = static_cast<VstInt32>(static_cast<long>(i) * kBlock / std::max(count, 1));
        // Channel messages of every kind, every channel, with valid data bytes.
        event.midiData[0] = static_cast<char>(0x80 | context.below(0x70));
        event.midiData[1] = static_cast<char>(context.below(128));
        event.midiData[2] = static_cast<char>(context.below(128));
        events.slots()[i] = reinterpret_cast<VstEvent*>(&event);
        if (kind == EventKind::RandomBytes) {
            unsigned char* bytes = reinterpret_cast<unsigned char*>(&event);
            for (size_t b = 0; b < sizeof event; ++b)
                bytes[b] = static_cast<unsigned char>(context.next());
            event.byteSize = sizeof(VstMidiEvent);
            // Half keep the MIDI type with random contents and timing; half are of types nobody knows.
            if (context.below(2) == 0)
                event.type = kVstMidiType;
        } else if (kind == EventKind::Sysex && context.below(2) == 0) {
            VstMidiSysexEvent& dump = events.sysexAt(i);
            dump = VstMidiSysexEvent();
            dump.type = kVstSysExMidiType;
            dump.byteSize = sizeof(VstMidiSysexEvent);
            dump.deltaFrames = event.deltaFrames;
            const VstInt32 sizes[] = {1, 2, 6, 128, 1000};
            dump.dumpBytes = sizes[context.below(sizeof sizes / sizeof sizes[0])];
            events.dumps.emplace_back(static_cast<size_t>(dump.dumpBytes));
            char* data = events.dumps.back().data();
            for (VstInt32 b = 0; b < dump.dumpBytes; ++b)
                data[b] = static_cast<char>(context.below(128));
            data[0] = static_cast<char>(0xF0);
            data[dump.dumpBytes - 1] = static_cast<char>(0xF7);
            dump.sysexDump = data;
            events.slots()[i] = reinterpret_cast<VstEvent*>(&dump);
        } else if (kind == EventKind::NullEntries && context.below(3) == 0) {
            events.slots()[i] = nullptr;
        }
    }
}
