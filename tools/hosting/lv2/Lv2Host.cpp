#include "tools/hosting/lv2/Lv2Host.h"

#include <lv2/atom/util.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>
#include <lv2/parameters/parameters.h>

#include <sys/stat.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

// Room for a thousand and more events in one block.
constexpr size_t kSequenceWords = 8192;

float floatOf(LilvNode* node) {
    const float value = node ? lilv_node_as_float(node) : std::numeric_limits<float>::quiet_NaN();
    lilv_node_free(node);
    return value;
}

// Takes the node: lilv hands over what its getters return.
std::string stringOf(LilvNode* node) {
    const std::string text = node ? lilv_node_as_string(node) : "";
    lilv_node_free(node);
    return text;
}

std::string asFolder(std::string path) {
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

bool isFolder(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

Lv2World::Lv2World() : lilv(lilv_world_new()), found(nullptr) {}

Lv2World::Lv2World(const std::string& bundle, const char* uri) : Lv2World() {
    std::string ignored;
    loadBundleFolder(bundle, uri, ignored);
}

Lv2World::~Lv2World() { lilv_world_free(lilv); }

bool Lv2World::load(const std::string& bundleOrUri, std::string& error) {
    if (isFolder(bundleOrUri))
        return loadBundleFolder(bundleOrUri, "", error);
    lilv_world_load_all(lilv);
    LilvNode* uriNode = lilv_new_uri(lilv, bundleOrUri.c_str());
    found = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(lilv), uriNode);
    lilv_node_free(uriNode);
    if (!found)
        error = "no LV2 plug-in '" + bundleOrUri + "' is installed (LV2_PATH and the system's LV2 folders searched)";
    return found != nullptr;
}

bool Lv2World::loadBundleFolder(const std::string& bundle, const std::string& uri, std::string& error) {
    const std::string folder = asFolder(bundle);
    LilvNode* bundleNode = lilv_new_file_uri(lilv, nullptr, folder.c_str());
    lilv_world_load_bundle(lilv, bundleNode);
    lilv_node_free(bundleNode);
    const LilvPlugins* plugins = lilv_world_get_all_plugins(lilv);
    if (!uri.empty()) {
        LilvNode* uriNode = lilv_new_uri(lilv, uri.c_str());
        found = lilv_plugins_get_by_uri(plugins, uriNode);
        lilv_node_free(uriNode);
    } else if (lilv_plugins_size(plugins) == 1) {
        found = lilv_plugins_get(plugins, lilv_plugins_begin(plugins));
    } else if (lilv_plugins_size(plugins) > 1) {
        error = "'" + bundle + "' holds " + std::to_string(lilv_plugins_size(plugins)) +
                " LV2 plug-ins: name one by its URI instead, one of:";
        LILV_FOREACH(plugins, i, plugins)
        error += "\n  " + std::string(lilv_node_as_uri(lilv_plugin_get_uri(lilv_plugins_get(plugins, i))));
        return false;
    }
    if (!found)
        error = "'" + bundle + "' is no LV2 bundle: no plug-in is described in its manifest.ttl";
    return found != nullptr;
}

uint32_t Lv2World::portCount() const { return found ? lilv_plugin_get_num_ports(found) : 0; }

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

bool Lv2World::portHas(uint32_t port, const char* propertyUri) const {
    const LilvPort* p = lilv_plugin_get_port_by_index(found, port);
    LilvNode* property = lilv_new_uri(lilv, propertyUri);
    const bool has = p && lilv_port_has_property(found, p, property);
    lilv_node_free(property);
    return has;
}

std::string Lv2World::portName(uint32_t port) const {
    return stringOf(lilv_port_get_name(found, lilv_plugin_get_port_by_index(found, port)));
}

std::string Lv2World::portSymbol(uint32_t port) const {
    const LilvNode* symbol = lilv_port_get_symbol(found, lilv_plugin_get_port_by_index(found, port));
    return symbol ? lilv_node_as_string(symbol) : "";
}

std::string Lv2World::scalePointLabel(uint32_t port, float value) const {
    LilvScalePoints* points = lilv_port_get_scale_points(found, lilv_plugin_get_port_by_index(found, port));
    std::string label;
    LILV_FOREACH(scale_points, i, points) {
        const LilvScalePoint* point = lilv_scale_points_get(points, i);
        if (lilv_node_as_float(lilv_scale_point_get_value(point)) == value)
            label = lilv_node_as_string(lilv_scale_point_get_label(point));
    }
    lilv_scale_points_free(points);
    return label;
}

std::string Lv2World::uri() const { return found ? lilv_node_as_uri(lilv_plugin_get_uri(found)) : ""; }

std::string Lv2World::name() const { return found ? stringOf(lilv_plugin_get_name(found)) : ""; }

std::string Lv2World::author() const { return found ? stringOf(lilv_plugin_get_author_name(found)) : ""; }

std::vector<std::string> Lv2World::requiredFeatures() const {
    std::vector<std::string> uris;
    LilvNodes* nodes = found ? lilv_plugin_get_required_features(found) : nullptr;
    LILV_FOREACH(nodes, i, nodes)
    uris.push_back(lilv_node_as_uri(lilv_nodes_get(nodes, i)));
    lilv_nodes_free(nodes);
    return uris;
}

Lv2Instance::Lv2Instance(const Lv2World& world, double rate, bool withMap, uint32_t maxBlock)
    : world(world),
      uridMap{this, &Lv2Instance::map},
      uridUnmap{this, &Lv2Instance::unmap},
      maxBlockLength(static_cast<int32_t>(maxBlock)),
      sampleRate(static_cast<float>(rate)),
      instance(nullptr),
      sequence(kSequenceWords),
      outputSequence(kSequenceWords),
      scratch(maxBlock),
      midiEvent(map(this, LV2_MIDI__MidiEvent)),
      sequenceType(map(this, LV2_ATOM__Sequence)),
      chunkType(map(this, LV2_ATOM__Chunk)),
      eventInputs(0),
      active(false) {
    if (!world.plugin())
        return;
    const LV2_URID intType = map(this, LV2_ATOM__Int);
    const LV2_URID floatType = map(this, LV2_ATOM__Float);
    options = {
        {LV2_OPTIONS_INSTANCE, 0, map(this, LV2_BUF_SIZE__maxBlockLength), sizeof(int32_t), intType, &maxBlockLength},
        {LV2_OPTIONS_INSTANCE, 0, map(this, LV2_PARAMETERS__sampleRate), sizeof(float), floatType, &sampleRate},
        {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
    features = {{LV2_URID__map, &uridMap},
                {LV2_URID__unmap, &uridUnmap},
                {LV2_OPTIONS__options, options.data()},
                {LV2_BUF_SIZE__boundedBlockLength, nullptr}};
    std::vector<const LV2_Feature*> offered;
    for (size_t i = 0; withMap && i < features.size(); ++i)
        offered.push_back(&features[i]);
    offered.push_back(nullptr);
    instance = lilv_plugin_instantiate(world.plugin(), rate, offered.data());
    if (!instance)
        return;
    connectPorts();
    activate();
}

Lv2Instance::~Lv2Instance() {
    if (instance) {
        deactivate();
        lilv_instance_free(instance);
    }
}

void Lv2Instance::connectPorts() {
    const uint32_t ports = world.portCount();
    controls.assign(ports, 0.0f);
    std::vector<float> defaults(ports);
    lilv_plugin_get_port_ranges_float(world.plugin(), nullptr, nullptr, defaults.data());
    clearSequence();
    clearOutputSequence();
    for (uint32_t port = 0; port < ports; ++port) {
        const bool input = world.portIs(port, LV2_CORE__InputPort);
        if (world.portIs(port, LV2_CORE__ControlPort)) {
            controls[port] = std::isnan(defaults[port]) ? 0.0f : defaults[port];
            lilv_instance_connect_port(instance, port, &controls[port]);
        } else if (world.portIs(port, LV2_ATOM__AtomPort)) {
            eventInputs += input ? 1 : 0;
            lilv_instance_connect_port(instance, port, input ? sequence.data() : outputSequence.data());
        } else if (world.portIs(port, LV2_CORE__AudioPort)) {
            (input ? audioInputs : audioOutputs).push_back(port);
        } else {
            lilv_instance_connect_port(instance, port, scratch.data());
        }
    }
}

bool Lv2Instance::offers(const std::string& featureUri) {
    return featureUri == LV2_URID__map || featureUri == LV2_URID__unmap || featureUri == LV2_OPTIONS__options ||
           featureUri == LV2_BUF_SIZE__boundedBlockLength;
}

LV2_URID Lv2Instance::map(LV2_URID_Map_Handle handle, const char* uri) {
    std::vector<std::string>& uris = static_cast<Lv2Instance*>(handle)->uris;
    for (size_t i = 0; i < uris.size(); ++i) {
        if (uris[i] == uri)
            return static_cast<LV2_URID>(i + 1);
    }
    uris.push_back(uri);
    return static_cast<LV2_URID>(uris.size());
}

const char* Lv2Instance::unmap(LV2_URID_Unmap_Handle handle, LV2_URID urid) {
    const std::vector<std::string>& uris = static_cast<Lv2Instance*>(handle)->uris;
    return urid >= 1 && urid <= uris.size() ? uris[urid - 1].c_str() : nullptr;
}

void Lv2Instance::clearSequence() {
    LV2_Atom_Sequence* s = reinterpret_cast<LV2_Atom_Sequence*>(sequence.data());
    s->atom.type = sequenceType;
    s->atom.size = sizeof(LV2_Atom_Sequence_Body);
    s->body.unit = 0;
    s->body.pad = 0;
}

// An output sequence starts as a chunk whose size is the room the plug-in may write in.
void Lv2Instance::clearOutputSequence() {
    LV2_Atom* atom = reinterpret_cast<LV2_Atom*>(outputSequence.data());
    atom->type = chunkType;
    atom->size = static_cast<uint32_t>(outputSequence.size() * sizeof(uint64_t) - sizeof(LV2_Atom));
}

void Lv2Instance::set(const char* symbol, float value) { controls.at(world.portIndex(symbol)) = value; }

float Lv2Instance::get(const char* symbol) const { return controls.at(world.portIndex(symbol)); }

bool Lv2Instance::midi(uint32_t frame, uint8_t status, uint8_t data1, uint8_t data2) {
    LV2_Atom_Sequence* s = reinterpret_cast<LV2_Atom_Sequence*>(sequence.data());
    const uint32_t eventSize = lv2_atom_pad_size(sizeof(LV2_Atom_Event) + 3);
    if (sizeof(LV2_Atom) + s->atom.size + eventSize > sequence.size() * sizeof(uint64_t))
        return false;
    LV2_Atom_Event header{};
    header.time.frames = frame;
    header.body.size = 3;
    header.body.type = midiEvent;
    const uint8_t bytes[3] = {status, data1, data2};
    unsigned char* end = reinterpret_cast<unsigned char*>(sequence.data()) + sizeof(LV2_Atom) + s->atom.size;
    std::memcpy(end, &header, sizeof(header));
    std::memcpy(end + sizeof(header), bytes, sizeof(bytes));
    s->atom.size += eventSize;
    return true;
}

void Lv2Instance::run(float** inputs, float** outputs, uint32_t frames) {
    for (size_t i = 0; i < audioInputs.size(); ++i)
        lilv_instance_connect_port(instance, audioInputs[i], inputs[i]);
    for (size_t i = 0; i < audioOutputs.size(); ++i)
        lilv_instance_connect_port(instance, audioOutputs[i], outputs[i]);
    lilv_instance_run(instance, frames);
    clearSequence();
    clearOutputSequence();
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
