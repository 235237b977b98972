// A CLAP host for tests: its record with the params, timer and descriptor
// extensions, each recording what the plug-in asks; event lists as hosts
// lay them out; byte streams; and one plug-in instance made through an
// entry, as a host makes one. The native tests, the fuzz target and the X11
// panel test all drive the plug-in through it.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "framework/clap/ClapInterface.h"

namespace claptest {

class TestHost {
public:
    TestHost();
    const clap_host_t* record() const { return &host; }

    int flushRequests = 0;
    int valueRescans = 0;
    std::vector<uint32_t> timerPeriods;  // by timer id
    std::vector<int> descriptors;        // registered and not unregistered

private:
    static TestHost& of(const clap_host_t* host) { return *static_cast<TestHost*>(host->host_data); }
    static const void* extension(const clap_host_t* host, const char* id);
    clap_host_t host;
};

// Events in the order given, each stored whole at its own place.
class InputEvents {
public:
    InputEvents();
    InputEvents& paramValue(uint32_t time, clap_id id, double value);
    InputEvents& midi(uint32_t time, uint8_t status, uint8_t data1, uint8_t data2);
    // Any bytes as an event, its header's size as the bytes say (a fuzzer's).
    InputEvents& raw(const std::vector<uint8_t>& bytes);
    void clear() { events.clear(); }
    const clap_input_events_t* list() const { return &record; }

private:
    std::vector<std::vector<uint64_t>> events;  // 8-byte aligned, as a host aligns them
    clap_input_events_t record;
};

struct HeardEvent {
    uint16_t type;
    clap_id id;
    double value;
};

class OutputEvents {
public:
    OutputEvents();
    const clap_output_events_t* list() const { return &record; }
    std::vector<HeardEvent> heard;

private:
    clap_output_events_t record;
};

// Reads the bytes given, at most chunk bytes a call; a failure from the
// start when fail is set.
class ByteReader {
public:
    ByteReader(std::vector<uint8_t> bytes, size_t chunk, bool fail = false);
    const clap_istream_t* stream() const { return &record; }

private:
    std::vector<uint8_t> bytes;
    size_t chunk;
    bool fail;
    size_t position = 0;
    clap_istream_t record;
};

class ByteWriter {
public:
    ByteWriter();
    const clap_ostream_t* stream() const { return &record; }
    std::vector<uint8_t> bytes;

private:
    clap_ostream_t record;
};

// The entry's one plug-in, made and initialised as a host does.
class Instance {
public:
    Instance(const clap_plugin_entry_t& entry, TestHost& host);
    ~Instance();
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    const clap_plugin_t* plugin = nullptr;
    template <typename Extension>
    const Extension* extension(const char* id) const {
        return static_cast<const Extension*>(plugin->get_extension(plugin, id));
    }
    bool activate(double rate, uint32_t longestBlock);
    void deactivate();
    // Filters in (left, right) into out in place of a host's buffers.
    int32_t process(float* const* in, float* const* out, uint32_t frames, const InputEvents& events,
                    OutputEvents* heard = nullptr);
    double value(clap_id id) const;

private:
    const clap_plugin_entry_t& entry;
    bool active = false;
};

}  // namespace claptest
