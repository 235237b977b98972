#include "tools/hosting/vst/MidiEventList.h"

#include <cstddef>

MidiEventList::MidiEventList() {
    midiEvents.reserve(kReservedEvents);
    header.reserve(kReservedEvents + sizeof(VstEvents) / sizeof(VstIntPtr));
}

void MidiEventList::add(int frame, uint8_t status, uint8_t data1, uint8_t data2) {
    VstMidiEvent event = {};
    event.type = kVstMidiType;
    event.byteSize = sizeof(VstMidiEvent);
    event.deltaFrames = frame;
    event.midiData[0] = static_cast<char>(status);
    event.midiData[1] = static_cast<char>(data1);
    event.midiData[2] = static_cast<char>(data2);
    midiEvents.push_back(event);
}

VstEvents* MidiEventList::events() {
    size_t bytes = offsetof(VstEvents, events) + midiEvents.size() * sizeof(VstEvent*);
    if (bytes < sizeof(VstEvents))
        bytes = sizeof(VstEvents);
    header.assign((bytes + sizeof(VstIntPtr) - 1) / sizeof(VstIntPtr), 0);
    VstEvents* list = reinterpret_cast<VstEvents*>(header.data());
    list->numEvents = size();
    // The record declares two pointers; a longer list's follow in the same
    // storage, reached from its start rather than through that array.
    VstEvent** pointers =
        reinterpret_cast<VstEvent**>(reinterpret_cast<char*>(header.data()) + offsetof(VstEvents, events));
    for (size_t i = 0; i < midiEvents.size(); ++i) {
        pointers[i] = reinterpret_cast<VstEvent*>(&midiEvents[i]);
    }
    return list;
}
