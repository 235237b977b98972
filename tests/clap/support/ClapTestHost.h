// A CLAP host for tests: its record with the params, timer and descriptor
// extensions, each recording what the plug-in asks; event lists and byte
// streams as hosts hand them over; and one instance made through an entry.
// The native tests, the fuzz target and the X11 panel test share it.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/clap/ClapInterface.h"

namespace claptest {

struct TestHost {
    TestHost();
    clap_host_t record;
    int flushRequests = 0;
    int valueRescans = 0;
    std::vector<uint32_t> timerPeriods;  // by timer id; 0 once given back
    std::vector<int> descriptors;        // registered, not yet given back
};

// Events in the order given, each stored whole and 8-byte aligned.
struct InputEvents {
    InputEvents();
    InputEvents(const InputEvents&) = delete;  // the list points at its own events
    InputEvents& paramValue(uint32_t time, clap_id id, double value);
    InputEvents& midi(uint32_t time, uint8_t status, uint8_t data1, uint8_t data2);
    InputEvents& raw(const void* event, size_t size);
    std::vector<std::vector<uint64_t>> events;
    clap_input_events_t list;
};

// Each event the plug-in pushes, as a value event (a gesture's id sits where
// a value's does).
struct OutputEvents {
    OutputEvents();
    std::vector<clap_event_param_value_t> heard;
    clap_output_events_t list;
};

// Streams over bytes: a reader hands out at most chunk bytes a read, or
// fails when fail is set; a writer keeps what it is given.
struct ByteStreams {
    ByteStreams(std::vector<uint8_t> bytes = {}, size_t chunk = 1, bool fail = false);
    std::vector<uint8_t> bytes;
    size_t chunk;
    bool fail;
    size_t position = 0;
    clap_istream_t reader;
    clap_ostream_t writer;
};

// The entry's one plug-in, made and initialised as a host does.
class Instance {
public:
    Instance(const clap_plugin_entry_t& entry, TestHost& host);
    ~Instance();
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    template <typename Extension>
    const Extension* extension(const char* id) const {
        return static_cast<const Extension*>(plugin->get_extension(plugin, id));
    }
    bool activate(double rate, uint32_t longestBlock);
    void deactivate();
    // Filters in (left, right) into out, as a host's buffers.
    int32_t process(float* const* in, float* const* out, uint32_t frames, const InputEvents& events);
    double value(clap_id id) const;

    const clap_plugin_t* plugin = nullptr;

private:
    const clap_plugin_entry_t& entry;
    bool active = false;
};

}  // namespace claptest
