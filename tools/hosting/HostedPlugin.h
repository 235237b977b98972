// One plug-in as every command and check sees it, whatever its format: its
// identity, its audio ports, its parameters in its own units with their
// read-outs, MIDI with a frame offset, processing, and its state as bytes.
// A backend per format (vst/, lv2/, clap/) answers it; PluginLoader picks
// the backend from the path.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class PluginEditor;
class PluginHost;

enum class PluginFormat { Vst2, Lv2, Clap };

// A parameter in the plug-in's own units: 0..1 for a VST 2.4 plug-in, a
// port's range for LV2, the parameter's range for CLAP.
struct ParameterInfo {
    uint32_t id = 0;  // the format's own: an index, a port index, a CLAP id
    std::string name;
    double minimum = 0.0;
    double maximum = 1.0;
    double defaultValue = 0.0;
    bool stepped = false;  // whole numbers only
};

// What the rate and the longest block are when the plug-in is made: LV2
// and CLAP take them then, and a VST 2.4 plug-in hears them before it starts.
struct PluginSetup {
    // What a host starts with when told nothing else.
    static constexpr int kDefaultSampleRate = 44100;
    static constexpr int kDefaultBlockSize = 512;

    int sampleRate = kDefaultSampleRate;
    int maxBlockSize = kDefaultBlockSize;
};

class HostedPlugin {
public:
    // MIDI controllers and their values run from 0 to this.
    static constexpr int kHighestController = 127;

    virtual ~HostedPlugin() = default;

    virtual PluginFormat format() const = 0;
    // The path or URI the user named it by.
    virtual const std::string& path() const = 0;
    virtual std::string name() = 0;
    virtual std::string vendor() = 0;
    // Identity lines of the format's own beyond name and vendor, as label
    // and text, for --info.
    virtual std::vector<std::pair<std::string, std::string>> formatDetails() = 0;
    virtual int inputCount() const = 0;
    virtual int outputCount() const = 0;

    virtual int parameterCount() const = 0;
    virtual ParameterInfo parameterInfo(int index) = 0;
    virtual double parameterValue(int index) = 0;
    // Takes effect from the first frame of the next block.
    virtual void setParameterValue(int index, double value) = 0;
    // The value as the plug-in shows it to a user, with its unit.
    virtual std::string readOut(int index) = 0;

    // A three-byte MIDI message for the next block, at that frame of it;
    // false when the format or the plug-in takes no MIDI.
    virtual bool sendMidi(int frame, uint8_t status, uint8_t data1, uint8_t data2) = 0;

    virtual void start() = 0;
    virtual void stop() = 0;
    // Up to the setup's longest block; the queued MIDI goes with it.
    virtual void process(float** inputs, float** outputs, int frames) = 0;

    // The plug-in's whole state as bytes, and back; false with the reason
    // when the format or the plug-in keeps none.
    virtual bool saveState(std::vector<uint8_t>& state, std::string& error) = 0;
    virtual bool restoreState(const std::vector<uint8_t>& state, std::string& error) = 0;
    // Whether the state holds more than the parameters' values.
    virtual bool keepsOwnState() const = 0;

    // Its editor, where this host can open one in the format; null otherwise.
    virtual PluginEditor* editor() { return nullptr; }

    // The VST 2.4 host for commands and checks that only VST 2.4 has; null
    // for the other formats.
    virtual PluginHost* vstHost() { return nullptr; }

    // A parameter's value for a position 0..1 across its range, rounded
    // for a stepped one; and the other way.
    double valueAt(int index, double position);
    double positionOf(int index);
    void setPosition(int index, double position) { setParameterValue(index, valueAt(index, position)); }

protected:
    // The state of a plug-in whose parameters are all it keeps: their
    // values as floats, in index order.
    void saveValues(std::vector<uint8_t>& state);
    bool restoreValues(const std::vector<uint8_t>& state, std::string& error);
};

const char* formatName(PluginFormat format);
