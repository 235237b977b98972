#include "tests/clap/support/ClapTestHost.h"

#include <algorithm>

namespace claptest {
namespace {

const clap_host_params_t kParams{
    [](const clap_host_t* host, uint32_t flags) {
        if (flags & CLAP_PARAM_RESCAN_VALUES) {
            ++static_cast<TestHost*>(host->host_data)->valueRescans;
        }
    },
    [](const clap_host_t*, clap_id, uint32_t) {},
    [](const clap_host_t* host) { ++static_cast<TestHost*>(host->host_data)->flushRequests; }};

const clap_host_timer_support_t kTimers{
    [](const clap_host_t* host, uint32_t period, clap_id* id) {
        std::vector<uint32_t>& periods = static_cast<TestHost*>(host->host_data)->timerPeriods;
        *id = static_cast<clap_id>(periods.size());
        periods.push_back(period);
        return true;
    },
    [](const clap_host_t* host, clap_id id) {
        std::vector<uint32_t>& periods = static_cast<TestHost*>(host->host_data)->timerPeriods;
        const bool known = id < periods.size() && periods[id] != 0;
        if (known) {
            periods[id] = 0;
        }
        return known;
    }};

const clap_host_posix_fd_support_t kDescriptors{[](const clap_host_t* host, int fd, uint32_t) {
                                                    static_cast<TestHost*>(host->host_data)->descriptors.push_back(fd);
                                                    return true;
                                                },
                                                [](const clap_host_t*, int, uint32_t) { return true; },
                                                [](const clap_host_t* host, int fd) {
                                                    std::vector<int>& fds =
                                                        static_cast<TestHost*>(host->host_data)->descriptors;
                                                    const auto found = std::find(fds.begin(), fds.end(), fd);
                                                    if (found == fds.end()) {
                                                        return false;
                                                    }
                                                    fds.erase(found);
                                                    return true;
                                                }};

clap_event_header_t header(uint32_t size, uint32_t time, uint16_t type) {
    return {size, time, CLAP_CORE_EVENT_SPACE_ID, type, 0};
}

}  // namespace

TestHost::TestHost()
    : host{CLAP_VERSION,
           this,
           "quavix tests",
           "Morvella",
           "",
           "1",
           &TestHost::extension,
           [](const clap_host_t*) {},
           [](const clap_host_t*) {},
           [](const clap_host_t*) {}} {}

const void* TestHost::extension(const clap_host_t*, const char* id) {
    if (std::strcmp(id, CLAP_EXT_PARAMS) == 0) {
        return &kParams;
    }
    if (std::strcmp(id, CLAP_EXT_TIMER_SUPPORT) == 0) {
        return &kTimers;
    }
    return std::strcmp(id, CLAP_EXT_POSIX_FD_SUPPORT) == 0 ? &kDescriptors : nullptr;
}

InputEvents::InputEvents()
    : record{this,
             [](const clap_input_events_t* list) {
                 return static_cast<uint32_t>(static_cast<const InputEvents*>(list->ctx)->events.size());
             },
             [](const clap_input_events_t* list, uint32_t index) -> const clap_event_header_t* {
                 const auto& events = static_cast<const InputEvents*>(list->ctx)->events;
                 return index < events.size() ? reinterpret_cast<const clap_event_header_t*>(events[index].data())
                                              : nullptr;
             }} {}

InputEvents& InputEvents::paramValue(uint32_t time, clap_id id, double value) {
    const clap_event_param_value_t event{
        header(sizeof(clap_event_param_value_t), time, CLAP_EVENT_PARAM_VALUE), id, nullptr, -1, -1, -1, -1, value};
    std::vector<uint8_t> bytes(sizeof(event));
    std::memcpy(bytes.data(), &event, sizeof(event));
    return raw(bytes);
}

InputEvents& InputEvents::midi(uint32_t time, uint8_t status, uint8_t data1, uint8_t data2) {
    const clap_event_midi_t event{header(sizeof(clap_event_midi_t), time, CLAP_EVENT_MIDI), 0, {status, data1, data2}};
    std::vector<uint8_t> bytes(sizeof(event));
    std::memcpy(bytes.data(), &event, sizeof(event));
    return raw(bytes);
}

InputEvents& InputEvents::raw(const std::vector<uint8_t>& bytes) {
    std::vector<uint64_t> stored((std::max(bytes.size(), sizeof(clap_event_header_t)) + 7) / 8, 0);
    std::memcpy(stored.data(), bytes.data(), bytes.size());
    events.push_back(std::move(stored));
    return *this;
}

OutputEvents::OutputEvents()
    : record{this, [](const clap_output_events_t* list, const clap_event_header_t* event) {
                 auto& heard = static_cast<OutputEvents*>(list->ctx)->heard;
                 if (event->type == CLAP_EVENT_PARAM_VALUE) {
                     const auto* value = reinterpret_cast<const clap_event_param_value_t*>(event);
                     heard.push_back({event->type, value->param_id, value->value});
                 } else {
                     const auto* gesture = reinterpret_cast<const clap_event_param_gesture_t*>(event);
                     heard.push_back({event->type, gesture->param_id, 0.0});
                 }
                 return true;
             }} {}

ByteReader::ByteReader(std::vector<uint8_t> bytes, size_t chunk, bool fail)
    : bytes(std::move(bytes)),
      chunk(chunk),
      fail(fail),
      record{this, [](const clap_istream_t* stream, void* buffer, uint64_t size) -> int64_t {
                 ByteReader& reader = *static_cast<ByteReader*>(stream->ctx);
                 if (reader.fail) {
                     return -1;
                 }
                 const size_t count =
                     std::min<size_t>({static_cast<size_t>(size), reader.chunk, reader.bytes.size() - reader.position});
                 if (count > 0) {
                     std::memcpy(buffer, reader.bytes.data() + reader.position, count);
                 }
                 reader.position += count;
                 return static_cast<int64_t>(count);
             }} {}

ByteWriter::ByteWriter()
    : record{this, [](const clap_ostream_t* stream, const void* buffer, uint64_t size) -> int64_t {
                 auto& bytes = static_cast<ByteWriter*>(stream->ctx)->bytes;
                 const uint8_t* data = static_cast<const uint8_t*>(buffer);
                 bytes.insert(bytes.end(), data, data + size);
                 return static_cast<int64_t>(size);
             }} {}

Instance::Instance(const clap_plugin_entry_t& entry, TestHost& host) : entry(entry) {
    entry.init("");
    const auto* factory = static_cast<const clap_plugin_factory_t*>(entry.get_factory(CLAP_PLUGIN_FACTORY_ID));
    const clap_plugin_descriptor_t* descriptor = factory->get_plugin_descriptor(factory, 0);
    plugin = factory->create_plugin(factory, host.record(), descriptor->id);
    if (plugin && !plugin->init(plugin)) {
        plugin->destroy(plugin);
        plugin = nullptr;
    }
}

Instance::~Instance() {
    if (plugin) {
        deactivate();
        plugin->destroy(plugin);
    }
    entry.deinit();
}

bool Instance::activate(double rate, uint32_t longestBlock) {
    deactivate();
    active = plugin->activate(plugin, rate, 1, longestBlock) && plugin->start_processing(plugin);
    return active;
}

void Instance::deactivate() {
    if (active) {
        plugin->stop_processing(plugin);
        plugin->deactivate(plugin);
        active = false;
    }
}

int32_t Instance::process(float* const* in, float* const* out, uint32_t frames, const InputEvents& events,
                          OutputEvents* heard) {
    clap_audio_buffer_t input{const_cast<float**>(in), nullptr, 2, 0, 0};
    clap_audio_buffer_t output{const_cast<float**>(out), nullptr, 2, 0, 0};
    OutputEvents ignored;
    const clap_process_t process{
        0, frames, nullptr, &input, &output, 1, 1, events.list(), (heard ? heard : &ignored)->list()};
    return plugin->process(plugin, &process);
}

double Instance::value(clap_id id) const {
    const auto* params = extension<clap_plugin_params_t>(CLAP_EXT_PARAMS);
    double value = -1.0;
    params->get_value(plugin, id, &value);
    return value;
}

}  // namespace claptest
