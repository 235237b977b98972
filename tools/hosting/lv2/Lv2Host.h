// An LV2 host on lilv: a world that finds one plug-in, by its bundle or by
// its URI among those installed, and instances of it that map URIDs, tell
// the plug-in the block length and rate, and run with their ports
// connected by symbol, MIDI written into the event sequence before each
// block. The LV2 backend of the host tool and the LV2 tests both use it.
#pragma once

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <string>
#include <vector>

class Lv2World {
public:
    // Finds nothing yet: load or loadBundle picks the plug-in.
    Lv2World();
    // The plug-in `uri` in the bundle (a folder); plugin() is null when the
    // bundle does not hold it.
    Lv2World(const std::string& bundle, const char* uri);
    ~Lv2World();
    Lv2World(const Lv2World&) = delete;
    Lv2World& operator=(const Lv2World&) = delete;

    // A bundle folder's only plug-in, or any other name as the URI of an
    // installed plug-in; false with a message naming it.
    bool load(const std::string& bundleOrUri, std::string& error);

    const LilvPlugin* plugin() const { return found; }
    LilvWorld* world() const { return lilv; }

    struct Range {
        float minimum;
        float maximum;
        float fallback;  // the default
    };
    uint32_t portCount() const;
    uint32_t portIndex(const char* symbol) const;
    Range range(uint32_t port) const;
    bool portIs(uint32_t port, const char* classUri) const;
    bool portHas(uint32_t port, const char* propertyUri) const;
    std::string portName(uint32_t port) const;
    std::string portSymbol(uint32_t port) const;
    // The label of the scale point at that value, or empty.
    std::string scalePointLabel(uint32_t port, float value) const;
    std::string uri() const;
    std::string name() const;
    std::string author() const;
    // The features the plug-in cannot run without, as URIs.
    std::vector<std::string> requiredFeatures() const;

private:
    bool loadBundleFolder(const std::string& bundle, const std::string& uri, std::string& error);

    LilvWorld* lilv;
    const LilvPlugin* found;
};

class Lv2Instance {
public:
    // The longest block run() takes unless told otherwise.
    static constexpr uint32_t kDefaultMaxBlock = 8192;

    // withMap false instantiates as a host that offers no features.
    Lv2Instance(const Lv2World& world, double rate, bool withMap = true, uint32_t maxBlock = kDefaultMaxBlock);
    ~Lv2Instance();
    Lv2Instance(const Lv2Instance&) = delete;
    Lv2Instance& operator=(const Lv2Instance&) = delete;

    bool ok() const { return instance != nullptr; }
    // Whether this host offers the feature of that URI.
    static bool offers(const std::string& featureUri);
    size_t audioInputCount() const { return audioInputs.size(); }
    size_t audioOutputCount() const { return audioOutputs.size(); }
    // Every control port, input or output, by symbol or by index.
    void set(const char* symbol, float value);
    float get(const char* symbol) const;
    void setPort(uint32_t port, float value) { controls.at(port) = value; }
    float port(uint32_t port) const { return controls.at(port); }
    bool hasEventInput() const { return eventInputs > 0; }
    // A three-byte MIDI message for the next block, at this frame; false
    // when the sequence is full.
    bool midi(uint32_t frame, uint8_t status, uint8_t data1, uint8_t data2);
    // Runs one block; the outputs may be the inputs. The queued MIDI goes
    // with it and is then cleared.
    void run(float** inputs, float** outputs, uint32_t frames);
    void activate();
    void deactivate();

private:
    static LV2_URID map(LV2_URID_Map_Handle handle, const char* uri);
    static const char* unmap(LV2_URID_Unmap_Handle handle, LV2_URID urid);
    void connectPorts();
    void clearSequence();
    void clearOutputSequence();

    const Lv2World& world;
    std::vector<std::string> uris;
    LV2_URID_Map uridMap;
    LV2_URID_Unmap uridUnmap;
    int32_t maxBlockLength;
    float sampleRate;
    std::vector<LV2_Options_Option> options;
    std::vector<LV2_Feature> features;
    LilvInstance* instance;
    std::vector<float> controls;  // by port index
    std::vector<uint32_t> audioInputs;
    std::vector<uint32_t> audioOutputs;
    std::vector<uint64_t> sequence;
    std::vector<uint64_t> outputSequence;
    std::vector<float> scratch;  // for ports of kinds the tool does not feed (CV)
    LV2_URID midiEvent;
    LV2_URID sequenceType;
    LV2_URID chunkType;
    int eventInputs;
    bool active;
};
