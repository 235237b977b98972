// A small LV2 host on lilv, as the LV2 tests and the benchmark need one: it
// loads one bundle, maps URIDs, and runs an instance with its ports
// connected by symbol, MIDI written into its event sequence before each block.
#pragma once

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <string>
#include <vector>

namespace lv2test {

// The bundle the build made: QUAVIX_LV2_BUNDLE, a folder ending in '/'.
std::string bundleFromEnvironment();

class Lv2World {
public:
    Lv2World(const std::string& bundle, const char* uri);
    ~Lv2World();
    Lv2World(const Lv2World&) = delete;
    Lv2World& operator=(const Lv2World&) = delete;

    const LilvPlugin* plugin() const { return found; }
    LilvWorld* world() const { return lilv; }

    struct Range {
        float minimum;
        float maximum;
        float fallback;  // the default
    };
    uint32_t portIndex(const char* symbol) const;
    Range range(uint32_t port) const;
    bool portIs(uint32_t port, const char* classUri) const;

private:
    LilvWorld* lilv;
    const LilvPlugin* found;
};

class Lv2Instance {
public:
    // withMap false instantiates as a host that offers no features.
    Lv2Instance(const Lv2World& world, double rate, bool withMap = true);
    ~Lv2Instance();
    Lv2Instance(const Lv2Instance&) = delete;
    Lv2Instance& operator=(const Lv2Instance&) = delete;

    bool ok() const { return instance != nullptr; }
    size_t audioInputCount() const { return audioInputs.size(); }
    size_t audioOutputCount() const { return audioOutputs.size(); }
    void set(const char* symbol, float value);
    float get(const char* symbol) const;
    // A three-byte MIDI message for the next block, at this frame.
    void midi(uint32_t frame, uint8_t status, uint8_t data1, uint8_t data2);
    // Runs one block; the outputs may be the inputs. The queued MIDI goes
    // with it and is then cleared.
    void run(float** inputs, float** outputs, uint32_t frames);
    void activate();
    void deactivate();

private:
    static LV2_URID map(LV2_URID_Map_Handle handle, const char* uri);
    void clearSequence();

    const Lv2World& world;
    std::vector<std::string> uris;
    LV2_URID_Map uridMap;
    LV2_Feature mapFeature;
    LilvInstance* instance;
    std::vector<float> controls;  // by port index
    std::vector<uint32_t> audioInputs;
    std::vector<uint32_t> audioOutputs;
    std::vector<uint64_t> sequence;
    LV2_URID midiEvent;
    LV2_URID sequenceType;
    bool active;
};

}  // namespace lv2test
