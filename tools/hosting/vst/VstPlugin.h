// The VST 2.4 backend: a library's record behind the hosting interface.
// Parameters are the record's 0..1 values; MIDI goes out as one event list
// before each block; the state is the plug-in's chunk where it keeps one,
// else its parameter values.
#pragma once

#include <memory>
#include <string>

#include "tools/hosting/HostedPlugin.h"
#include "tools/hosting/vst/MidiEventList.h"
#include "tools/hosting/vst/PluginHost.h"
#include "tools/hosting/vst/VstEditor.h"

class VstPlugin : public HostedPlugin {
public:
    // Loads the library, told the setup's rate and block size before it
    // is made; null with a message naming it.
    static std::unique_ptr<HostedPlugin> open(const std::string& path, const PluginSetup& setup, std::string& error);
    // A plug-in whose entry point is in this program, as the tests host one.
    static std::unique_ptr<HostedPlugin> attach(PluginHost::PluginEntry entry, const std::string& name,
                                                const PluginSetup& setup, std::string& error);

    PluginFormat format() const override { return PluginFormat::Vst2; }
    const std::string& path() const override { return host.path(); }
    std::string name() override;
    std::string vendor() override;
    std::vector<std::pair<std::string, std::string>> formatDetails() override;
    int inputCount() const override { return host.record()->numInputs; }
    int outputCount() const override { return host.record()->numOutputs; }

    int parameterCount() const override { return host.record()->numParams; }
    ParameterInfo parameterInfo(int index) override;
    double parameterValue(int index) override { return host.parameter(index); }
    void setParameterValue(int index, double value) override;
    std::string readOut(int index) override;

    bool sendMidi(int frame, uint8_t status, uint8_t data1, uint8_t data2) override;
    void start() override { host.start(); }
    void stop() override { host.stop(); }
    void process(float** inputs, float** outputs, int frames) override;

    bool saveState(std::vector<uint8_t>& state, std::string& error) override;
    bool restoreState(const std::vector<uint8_t>& state, std::string& error) override;

    bool keepsOwnState() const override { return keepsChunks(); }
    PluginEditor* editor() override { return &panel; }
    PluginHost* vstHost() override { return &host; }

private:
    static std::unique_ptr<HostedPlugin> loaded(std::unique_ptr<VstPlugin> plugin);
    bool keepsChunks() const { return (host.record()->flags & effFlagsProgramChunks) != 0; }

    PluginHost host;
    VstEditor panel{host};
    MidiEventList midi;
    std::vector<float> defaults;  // the values it loaded with
};
