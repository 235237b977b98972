#include "tests/clap/support/ClapTestHost.h"

#include <algorithm>
#include <cstring>

namespace claptest {
namespace {

TestHost& of(const clap_host_t* host) { return *static_cast<TestHost*>(host->host_data); }

const clap_host_params_t kParams{
    [](const clap_host_t* host, uint32_t flags) { of(host).valueRescans += (flags & CLAP_PARAM_RESCAN_VALUES) != 0; },
    [](const clap_host_t*, clap_id, uint32_t) {}, [](const clap_host_t* host) { ++of(host).flushRequests; }};

// Timer ids are indices into the periods.
const clap_host_timer_support_t kTimers{[](const clap_host_t* host, uint32_t period, clap_id* id) {
                                            *id = static_cast<clap_id>(of(host).timerPeriods.size());
                                            of(host).timerPeriods.push_back(period);
                                            return true;
                                        },
                                        [](const clap_host_t* host, clap_id id) {
                                            return id < of(host).timerPeriods.size() &&
                                                   (of(host).timerPeriods[id] = 0, true);
                                        }};

const clap_host_posix_fd_support_t kDescriptors{
    [](const clap_host_t* host, int fd, uint32_t) { return of(host).descriptors.push_back(fd), true; },
    [](const clap_host_t*, int, uint32_t) { return true; },
    [](const clap_host_t* host, int fd) {
        std::vector<int>& fds = of(host).descriptors;
        fds.erase(std::remove(fds.begin(), fds.end(), fd), fds.end());
        return true;
    }};

const void* hostExtension(const clap_host_t*, const char* id) {
    return std::strcmp(id, CLAP_EXT_PARAMS) == 0             ? static_cast<const void*>(&kParams)
           : std::strcmp(id, CLAP_EXT_TIMER_SUPPORT) == 0    ? static_cast<const void*>(&kTimers)
           : std::strcmp(id, CLAP_EXT_POSIX_FD_SUPPORT) == 0 ? static_cast<const void*>(&kDescriptors)
                                                             : nullptr;
}

clap_event_header_t header(uint32_t size, uint32_t time, uint16_t type) {
    return {size, time, CLAP_CORE_EVENT_SPACE_ID, type, 0};
}

}  // namespace

void ignored(const clap_host_t*) {}

TestHost::TestHost()
    : record{CLAP_VERSION, this, "quavix tests", "Morvella", "", "1", hostExtension, ignored, ignored, ignored} {}

InputEvents::InputEvents()
    : list{this,
           [](const clap_input_events_t* l) {
               return static_cast<uint32_t>(static_cast<const InputEvents*>(l->ctx)->events.size());
           },
           [](const clap_input_events_t* l, uint32_t index) {
               const auto& events = static_cast<const InputEvents*>(l->ctx)->events;
               return index < events.size() ? reinterpret_cast<const clap_event_header_t*>(events[index].data())
                                            : nullptr;
           }} {}

InputEvents& InputEvents::paramValue(uint32_t time, clap_id id, double value) {
    const clap_event_param_value_t event{
        header(sizeof(clap_event_param_value_t), time, CLAP_EVENT_PARAM_VALUE), id, nullptr, -1, -1, -1, -1, value};
    return raw(&event, sizeof(event));
}

InputEvents& InputEvents::midi(uint32_t time, uint8_t status, uint8_t data1, uint8_t data2) {
    const clap_event_midi_t event{header(sizeof(clap_event_midi_t), time, CLAP_EVENT_MIDI), 0, {status, data1, data2}};
    return raw(&event, sizeof(event));
}

InputEvents& InputEvents::raw(const void* event, size_t size) {
    events.emplace_back((std::max(size, sizeof(clap_event_header_t)) + 7) / 8, 0);
    std::memcpy(events.back().data(), event, size);
    return *this;
}

OutputEvents::OutputEvents()
    : list{this, [](const clap_output_events_t* l, const clap_event_header_t* event) {
               clap_event_param_value_t heard{};
               std::memcpy(&heard, event, std::min<size_t>(event->size, sizeof(heard)));
               static_cast<OutputEvents*>(l->ctx)->heard.push_back(heard);
               return true;
           }} {}

ByteStreams::ByteStreams(std::vector<uint8_t> bytes, size_t chunk, bool fail)
    : bytes(std::move(bytes)),
      chunk(chunk),
      fail(fail),
      reader{this,
             [](const clap_istream_t* s, void* to, uint64_t size) {
                 ByteStreams& r = *static_cast<ByteStreams*>(s->ctx);
                 const size_t count = std::min<size_t>({size_t(size), r.chunk, r.bytes.size() - r.position});
                 if (count > 0)
                     std::memcpy(to, r.bytes.data() + r.position, count);
                 r.position += count;
                 return r.fail ? int64_t(-1) : int64_t(count);
             }},
      writer{this, [](const clap_ostream_t* s, const void* from, uint64_t size) {
                 auto& bytes = static_cast<ByteStreams*>(s->ctx)->bytes;
                 bytes.insert(bytes.end(), static_cast<const uint8_t*>(from), static_cast<const uint8_t*>(from) + size);
                 return int64_t(size);
             }} {}

Instance::Instance(const clap_plugin_entry_t& entry, TestHost& host) : entry(entry) {
    entry.init("");
    const auto* factory = static_cast<const clap_plugin_factory_t*>(entry.get_factory(CLAP_PLUGIN_FACTORY_ID));
    plugin = factory->create_plugin(factory, &host.record, factory->get_plugin_descriptor(factory, 0)->id);
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

int32_t Instance::process(float* const* in, float* const* out, uint32_t frames, const InputEvents& events) {
    clap_audio_buffer_t input{const_cast<float**>(in), nullptr, 2, 0, 0};
    clap_audio_buffer_t output{const_cast<float**>(out), nullptr, 2, 0, 0};
    OutputEvents ignored;
    const clap_process_t process{0, frames, nullptr, &input, &output, 1, 1, &events.list, &ignored.list};
    return plugin->process(plugin, &process);
}

double Instance::value(clap_id id) const {
    double value = -1.0;
    extension<clap_plugin_params_t>(CLAP_EXT_PARAMS)->get_value(plugin, id, &value);
    return value;
}

}  // namespace claptest
