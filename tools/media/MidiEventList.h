// A VST event list of MIDI messages as effProcessEvents takes it: the
// VstEvents header, its pointer array and the events, all owned here and
// valid until the list changes.
#pragma once

#include <vector>

#include "framework/VstInterface.h"

class MidiEventList {
public:
    static const int kControlChange = 0xB0;
    // MIDI controllers and their values run from 0 to this.
    static const int kHighestController = 127;

    void clear() { midiEvents.clear(); }
    // channel 0..15, controller and value 0..127
    void addControlChange(int channel, int controller, int value);
    int size() const { return static_cast<int>(midiEvents.size()); }
    VstEvents* events();

private:
    std::vector<VstMidiEvent> midiEvents;
    // The header with room for one pointer per event; VstIntPtr keeps it aligned.
    std::vector<VstIntPtr> header;
};
