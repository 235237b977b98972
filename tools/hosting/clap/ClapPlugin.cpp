#include "tools/hosting/clap/ClapPlugin.h"

#include <cstring>

#include "tools/hosting/FormatBackends.h"

namespace {

// Room made before processing, so that queuing a block's events calls no allocator.
const size_t kReservedEvents = 256;

using EventPointers = std::vector<const clap_event_header_t*>;

uint32_t eventCount(const clap_input_events_t* list) {
    return static_cast<uint32_t>(static_cast<const EventPointers*>(list->ctx)->size());
}

const clap_event_header_t* eventAt(const clap_input_events_t* list, uint32_t index) {
    const EventPointers* events = static_cast<const EventPointers*>(list->ctx);
    return index < events->size() ? (*events)[index] : nullptr;
}

// What the plug-in reports back (gestures, values from its editor) this
// host does not record.
bool dropEvent(const clap_output_events_t*, const clap_event_header_t*) { return true; }

clap_event_header_t header(uint32_t size, uint32_t time, uint16_t type) {
    return clap_event_header_t{size, time, CLAP_CORE_EVENT_SPACE_ID, type, 0};
}

int64_t writeBytes(const clap_ostream_t* stream, const void* buffer, uint64_t size) {
    std::vector<uint8_t>* bytes = static_cast<std::vector<uint8_t>*>(stream->ctx);
    const uint8_t* start = static_cast<const uint8_t*>(buffer);
    bytes->insert(bytes->end(), start, start + size);
    return static_cast<int64_t>(size);
}

struct ReadPosition {
    const std::vector<uint8_t>* bytes;
    size_t next;
};

int64_t readBytes(const clap_istream_t* stream, void* buffer, uint64_t size) {
    ReadPosition* position = static_cast<ReadPosition*>(stream->ctx);
    const size_t left = position->bytes->size() - position->next;
    const size_t count = size < left ? static_cast<size_t>(size) : left;
    std::memcpy(buffer, position->bytes->data() + position->next, count);
    position->next += count;
    return static_cast<int64_t>(count);
}

}  // namespace

std::unique_ptr<HostedPlugin> openClapPlugin(const std::string& path, const PluginSetup& setup, std::string& error) {
    return ClapPlugin::open(path, setup, error);
}

ClapPlugin::ClapPlugin() : inputEvents{&ordered, eventCount, eventAt}, outputEvents{nullptr, dropEvent} {
    values.reserve(kReservedEvents);
    midi.reserve(kReservedEvents);
    ordered.reserve(2 * kReservedEvents);
}

std::unique_ptr<HostedPlugin> ClapPlugin::open(const std::string& path, const PluginSetup& setup, std::string& error) {
    std::unique_ptr<ClapPlugin> plugin(new ClapPlugin);
    plugin->named = path;
    plugin->setup = setup;
    if (!plugin->create(path, error))
        return nullptr;
    plugin->describeParameters();
    return std::unique_ptr<HostedPlugin>(plugin.release());
}

bool ClapPlugin::create(const std::string& path, std::string& error) {
    std::string fullPath;
    if (!module.openChecked(path, fullPath, error))
        return false;
    entry = static_cast<const clap_plugin_entry_t*>(module.function("clap_entry"));
    if (!entry || entry->clap_version.major != 1 || !entry->init || !entry->get_factory) {
        error = "'" + path + "' is not a CLAP 1.x plug-in: it exports no clap_entry of version 1";
        entry = nullptr;
        return false;
    }
    if (!entry->init(fullPath.c_str())) {
        error = "'" + path + "' refused to start: its clap_entry.init failed";
        entry = nullptr;
        return false;
    }
    const auto* factory = static_cast<const clap_plugin_factory_t*>(entry->get_factory(CLAP_PLUGIN_FACTORY_ID));
    const clap_plugin_descriptor_t* descriptor =
        factory && factory->get_plugin_count(factory) > 0 ? factory->get_plugin_descriptor(factory, 0) : nullptr;
    plugin = descriptor ? factory->create_plugin(factory, host.record(), descriptor->id) : nullptr;
    if (!plugin || !plugin->init(plugin)) {
        error = "'" + path + "' made no plug-in: its factory " + (descriptor ? "failed" : "offers none");
        return false;
    }
    host.attach(plugin);
    panel.attach(plugin);
    params = static_cast<const clap_plugin_params_t*>(plugin->get_extension(plugin, CLAP_EXT_PARAMS));
    state = static_cast<const clap_plugin_state_t*>(plugin->get_extension(plugin, CLAP_EXT_STATE));
    audioPorts = static_cast<const clap_plugin_audio_ports_t*>(plugin->get_extension(plugin, CLAP_EXT_AUDIO_PORTS));
    inputChannels = channels(true);
    outputChannels = channels(false);
    return true;
}

ClapPlugin::~ClapPlugin() {
    if (plugin) {
        panel.close();
        stop();
        plugin->destroy(plugin);
    }
    if (entry)
        entry->deinit();
}

int ClapPlugin::channels(bool input) const {
    clap_audio_port_info_t info;
    if (!audioPorts || audioPorts->count(plugin, input) == 0 || !audioPorts->get(plugin, 0, input, &info))
        return 0;
    return static_cast<int>(info.channel_count);
}

void ClapPlugin::describeParameters() {
    const uint32_t count = params ? params->count(plugin) : 0;
    for (uint32_t index = 0; index < count; ++index) {
        clap_param_info_t info;
        if (!params->get_info(plugin, index, &info))
            continue;
        ParameterInfo described;
        described.id = info.id;
        described.name = info.name;
        described.minimum = info.min_value;
        described.maximum = info.max_value;
        described.defaultValue = info.default_value;
        described.stepped = (info.flags & CLAP_PARAM_IS_STEPPED) != 0;
        parameters.push_back(described);
    }
}

std::vector<std::pair<std::string, std::string>> ClapPlugin::formatDetails() {
    const clap_plugin_descriptor_t* desc = plugin->desc;
    std::string features;
    for (const char* const* feature = desc->features; feature && *feature; ++feature)
        features += (features.empty() ? "" : ", ") + std::string(*feature);
    const clap_version_t& version = entry->clap_version;
    return {{"ID", desc->id ? desc->id : ""},
            {"Version", desc->version ? desc->version : ""},
            {"Features", features},
            {"CLAP version", std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
                                 std::to_string(version.revision)},
            {"State", state ? "saved and restored (clap.state)" : "none"}};
}

double ClapPlugin::parameterValue(int index) {
    double value = parameters.at(index).defaultValue;
    if (params)
        params->get_value(plugin, parameters[index].id, &value);
    return value;
}

void ClapPlugin::setParameterValue(int index, double value) {
    if (active.load()) {
        pending.push({index, value});
        return;
    }
    queueValue(index, value);
    if (params) {
        params->flush(plugin, queuedEvents(), &outputEvents);
        clearEvents();
    }
}

void ClapPlugin::queueValue(int index, double value) {
    clap_event_param_value_t event = {};
    event.header = header(sizeof event, 0, CLAP_EVENT_PARAM_VALUE);
    event.param_id = parameters.at(index).id;
    event.note_id = -1;
    event.port_index = event.channel = event.key = -1;
    event.value = value;
    values.push_back(event);
}

std::string ClapPlugin::readOut(int index) {
    char text[CLAP_NAME_SIZE] = "";
    if (params)
        params->value_to_text(plugin, parameters.at(index).id, parameterValue(index), text, sizeof text);
    return text;
}

bool ClapPlugin::sendMidi(int frame, uint8_t status, uint8_t data1, uint8_t data2) {
    clap_event_midi_t event = {};
    event.header = header(sizeof event, static_cast<uint32_t>(frame), CLAP_EVENT_MIDI);
    event.data[0] = status;
    event.data[1] = data1;
    event.data[2] = data2;
    midi.push_back(event);
    return true;
}

const clap_input_events_t* ClapPlugin::queuedEvents() {
    pending.drain([this](const ParameterQueue::Change& change) { queueValue(change.index, change.value); });
    ordered.clear();
    for (const clap_event_param_value_t& event : values)
        ordered.push_back(&event.header);
    for (const clap_event_midi_t& event : midi)
        ordered.push_back(&event.header);
    return &inputEvents;
}

void ClapPlugin::clearEvents() {
    values.clear();
    midi.clear();
    ordered.clear();
}

void ClapPlugin::start() {
    if (active)
        return;
    if (!plugin->activate(plugin, setup.sampleRate, 1, static_cast<uint32_t>(setup.maxBlockSize)))
        return;
    plugin->start_processing(plugin);
    active.store(true);
}

void ClapPlugin::stop() {
    if (!active)
        return;
    plugin->stop_processing(plugin);
    plugin->deactivate(plugin);
    active.store(false);
}

void ClapPlugin::process(float** inputs, float** outputs, int frames) {
    clap_audio_buffer_t in = {inputs, nullptr, static_cast<uint32_t>(inputChannels), 0, 0};
    clap_audio_buffer_t out = {outputs, nullptr, static_cast<uint32_t>(outputChannels), 0, 0};
    const clap_process_t block = {steadyTime,
                                  static_cast<uint32_t>(frames),
                                  nullptr,
                                  &in,
                                  &out,
                                  inputChannels > 0 ? 1u : 0u,
                                  outputChannels > 0 ? 1u : 0u,
                                  queuedEvents(),
                                  &outputEvents};
    plugin->process(plugin, &block);
    steadyTime += frames;
    clearEvents();
}

bool ClapPlugin::saveState(std::vector<uint8_t>& bytes, std::string& error) {
    bytes.clear();
    clap_ostream_t stream = {&bytes, writeBytes};
    if (state && state->save(plugin, &stream))
        return true;
    error = "'" + named + "' " + (state ? "did not save its state" : "keeps no state (no clap.state)");
    return false;
}

bool ClapPlugin::restoreState(const std::vector<uint8_t>& bytes, std::string& error) {
    ReadPosition position = {&bytes, 0};
    clap_istream_t stream = {&position, readBytes};
    if (state && state->load(plugin, &stream))
        return true;
    error = "'" + named + "' " + (state ? "refused the state" : "keeps no state (no clap.state)");
    return false;
}
