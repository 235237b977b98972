// A VST event list of MIDI messages as effProcessEvents takes it: the
// VstEvents header, its pointer array and the events, all owned here and
// valid until the list changes.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/VstInterface.h"

class MidiEventList {
public:
    static const int kControlChange = 0xB0;

    // Room made now, so that a list of up to this many events is made on an
    // audio thread without a call into the allocator.
    static const size_t kReservedEvents = 256;
    MidiEventList();

    void clear() { midiEvents.clear(); }
    // channel 0..15, controller and value 0..127
    void addControlChange(int channel, int controller, int value) {
        add(0, static_cast<uint8_t>(kControlChange | (channel & 0x0F)), static_cast<uint8_t>(controller & 0x7F),
            static_cast<uint8_t>(value & 0x7F));
    }
    // A three-byte message at that frame of the block.
    void add(int frame, uint8_t status, uint8_t data1, uint8_t data2);
    int size() const { return static_cast<int>(midiEvents.size()); }
    VstEvents* events();

private:
    std::vector<VstMidiEvent> midiEvents;
    // The header with room for one pointer per event; VstIntPtr keeps it aligned.
    std::vector<VstIntPtr> header;
};
