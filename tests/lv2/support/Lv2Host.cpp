#include "tests/lv2/support/Lv2Host.h"

#include <lv2/atom/util.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace lv2test {

namespace {

// Room for a thousand and more events in one block.
constexpr size_t kSequenceWords = 8192;

float floatOf(LilvNode* node) {
    const float value = node ? lilv_node_as_float(node) : std::numeric_limits<float>::quiet_NaN();
    lilv_node_free(node);
    return value;
}

}  // namespace

std::string bundleFromEnvironment() {
    const char* bundle = std::getenv("QUAVIX_LV2_BUNDLE");
    return bundle ? bundle : "";
}

Lv2World::Lv2World(const std::string& bundle, const char* uri) : lilv(lilv_world_new()), found(nullptr) {
    LilvNode* bundleNode = lilv_new_file_uri(lilv, nullptr, bundle.c_str());
    lilv_world_load_bundle(lilv, bundleNode);
    lilv_node_free(bundleNode);
    LilvNode* uriNode = lilv_new_uri(lilv, uri);
    found = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(lilv), uriNode);
    lilv_node_free(uriNode);
}

Lv2World::~Lv2World() { lilv_world_free(lilv); }

uint32_t Lv2World::portIndex(const char* symbol) const {
    LilvNode* symbolNode = lilv_new_string(lilv, symbol);
    const LilvPort* port = found ? lilv_plugin_get_port_by_symbol(found, symbolNode) : nullptr;
    lilv_node_free(symbolNode);
    return port ? lilv_port_get_index(found, port) : std::numeric_limits<uint32_t>::max();
}

Lv2World::Range Lv2World::range(uint32_t port) const {
    LilvNode* fallback = nullptr;
    LilvNode* minimum = nullptr;
    LilvNode* maximum = nullptr;
    lilv_port_get_range(found, lilv_plugin_get_port_by_index(found, port), &fallback, &minimum, &maximum);
    return Range{floatOf(minimum), floatOf(maximum), floatOf(fallback)};
}

bool Lv2World::portIs(uint32_t port, const char* classUri) const {
    const LilvPort* p = lilv_plugin_get_port_by_index(found, port);
    LilvNode* classNode = lilv_new_uri(lilv, classUri);
    const bool is = p && lilv_port_is_a(found, p, classNode);
    lilv_node_free(classNode);
    return is;
}

Lv2Instance::Lv2Instance(const Lv2World& world, double rate, bool withMap)
    : world(world),
      uridMap{this, &Lv2Instance::map},
      mapFeature{LV2_URID__map, &uridMap},
      instance(nullptr),
      sequence(kSequenceWords),
      midiEvent(map(this, LV2_MIDI__MidiEvent)),
      sequenceType(map(this, LV2_ATOM__Sequence)),
      active(false) {
    if (!world.plugin()) {
        return;
    }
    const LV2_Feature* features[] = {withMap ? &mapFeature : nullptr, nullptr};
    instance = lilv_plugin_instantiate(world.plugin(), rate, features);
    if (!instance) {
        return;
    }
    const uint32_t ports = lilv_plugin_get_num_ports(world.plugin());
    controls.assign(ports, 0.0f);
    std::vector<float> defaults(ports);
    lilv_plugin_get_port_ranges_float(world.plugin(), nullptr, nullptr, defaults.data());
    clearSequence();
    for (uint32_t port = 0; port < ports; ++port) {
        if (world.portIs(port, LV2_CORE__ControlPort)) {
            controls[port] = std::isnan(defaults[port]) ? 0.0f : defaults[port];
            lilv_instance_connect_port(instance, port, &controls[port]);
        } else if (world.portIs(port, LV2_ATOM__AtomPort)) {
            lilv_instance_connect_port(instance, port, sequence.data());
        } else if (world.portIs(port, LV2_CORE__AudioPort)) {
            (world.portIs(port, LV2_CORE__InputPort) ? audioInputs : audioOutputs).push_back(port);
        }
    }
    activate();
}

Lv2Instance::~Lv2Instance() {
    if (instance) {
        deactivate();
        lilv_instance_free(instance);
    }
}

LV2_URID Lv2Instance::map(LV2_URID_Map_Handle handle, const char* uri) {
    std::vector<std::string>& uris = static_cast<Lv2Instance*>(handle)->uris;
    for (size_t i = 0; i < uris.size(); ++i) {
        if (uris[i] == uri) {
            return static_cast<LV2_URID>(i + 1);
        }
    }
    uris.push_back(uri);
    return static_cast<LV2_URID>(uris.size());
}

void Lv2Instance::clearSequence() {
    LV2_Atom_Sequence* s = reinterpret_cast<LV2_Atom_Sequence*>(sequence.data());
    s->atom.type = sequenceType;
    s->atom.size = sizeof(LV2_Atom_Sequence_Body);
    s->body.unit = 0;
    s->body.pad = 0;
}

void Lv2Instance::set(const char* symbol, float value) { controls.at(world.portIndex(symbol)) = value; }

float Lv2Instance::get(const char* symbol) const { return controls.at(world.portIndex(symbol)); }

void Lv2Instance::midi(uint32_t frame, uint8_t status, uint8_t data1, uint8_t data2) {
    LV2_Atom_Sequence* s = reinterpret_cast<LV2_Atom_Sequence*>(sequence.data());
    const uint32_t eventSize = lv2_atom_pad_size(sizeof(LV2_Atom_Event) + 3);
    if (sizeof(LV2_Atom) + s->atom.size + eventSize > sequence.size() * sizeof(uint64_t)) {
        throw std::length_error("the test host's event sequence is full");
    }
    LV2_Atom_Event header{};
    header.time.frames = frame;
    header.body.size = 3;
    header.body.type = midiEvent;
    const uint8_t bytes[3] = {status, data1, data2};
    unsigned char* end = reinterpret_cast<unsigned char*>(sequence.data()) + sizeof(LV2_Atom) + s->atom.size;
    std::memcpy(end, &header, sizeof(header));
    std::memcpy(end + sizeof(header), bytes, sizeof(bytes));
    s->atom.size += eventSize;
}

void Lv2Instance::run(float** inputs, float** outputs, uint32_t frames) {
    for (size_t i = 0; i < audioInputs.size(); ++i) {
        lilv_instance_connect_port(instance, audioInputs[i], inputs[i]);
    }
    for (size_t i = 0; i < audioOutputs.size(); ++i) {
        lilv_instance_connect_port(instance, audioOutputs[i], outputs[i]);
    }
    lilv_instance_run(instance, frames);
    clearSequence();
}

void Lv2Instance::activate() {
    if (!active) {
        lilv_instance_activate(instance);
        active = true;
    }
}

void Lv2Instance::deactivate() {
    if (active) {
        lilv_instance_deactivate(instance);
        active = false;
    }
}

}  // namespace lv2test
