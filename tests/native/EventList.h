// A host's event list, built the way hosts lay it out: the VstEvents header
// followed by as many event pointers as there are events.
#pragma once

#include <cstdlib>
#include <cstring>
#include <vector>

#include "framework/VstInterface.h"

class EventList {
public:
    EventList() = default;
    EventList(const EventList&) = delete;
    EventList& operator=(const EventList&) = delete;
    ~EventList() { std::free(list); }

    EventList& controlChange(unsigned char status, unsigned char number, unsigned char value) {
        VstMidiEvent event;
        std::memset(&event, 0, sizeof(event));
        event.type = kVstMidiType;
        event.byteSize = sizeof(VstMidiEvent);
        event.midiData[0] = static_cast<char>(status);
        event.midiData[1] = static_cast<char>(number);
        event.midiData[2] = static_cast<char>(value);
        events.push_back(event);
        return *this;
    }

    // Any other kind of event, carrying the same bytes where MIDI data sits.
    EventList& otherEvent(VstInt32 type, unsigned char status, unsigned char number, unsigned char value) {
        controlChange(status, number, value);
        events.back().type = type;
        return *this;
    }

    // The list as the host hands it over; entries may be replaced by null.
    VstEvents* build() {
        std::free(list);
        const size_t count = events.size();
        const size_t bytes = sizeof(VstEvents) + (count > 2 ? count - 2 : 0) * sizeof(VstEvent*);
        list = static_cast<VstEvents*>(std::calloc(1, bytes));
        list->numEvents = static_cast<VstInt32>(count);
        for (size_t i = 0; i < count; ++i) {
            list->events[i] = reinterpret_cast<VstEvent*>(&events[i]);
        }
        return list;
    }

private:
    std::vector<VstMidiEvent> events;
    VstEvents* list = nullptr;
};
