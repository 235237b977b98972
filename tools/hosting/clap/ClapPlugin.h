// The CLAP backend: a .clap file's first plug-in through its entry and
// factory. Parameter changes and MIDI go to the plug-in as events of the
// next block (parameters first, at frame 0; changes may come from another
// thread while it processes), or through a flush while it is not active; the first audio port of each side carries the
// audio; the state is what the plug-in writes to the host's stream.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "framework/clap/ClapInterface.h"
#include "tools/hosting/HostedPlugin.h"
#include "tools/hosting/PluginModule.h"
#include "tools/hosting/clap/ClapEditor.h"
#include "tools/hosting/clap/ClapHost.h"
#include "tools/hosting/clap/ParameterQueue.h"

class ClapPlugin : public HostedPlugin {
public:
    static std::unique_ptr<HostedPlugin> open(const std::string& path, const PluginSetup& setup, std::string& error);
    ~ClapPlugin() override;
    ClapPlugin(const ClapPlugin&) = delete;
    ClapPlugin& operator=(const ClapPlugin&) = delete;

    PluginFormat format() const override { return PluginFormat::Clap; }
    const std::string& path() const override { return named; }
    std::string name() override { return plugin->desc->name ? plugin->desc->name : ""; }
    std::string vendor() override { return plugin->desc->vendor ? plugin->desc->vendor : ""; }
    std::vector<std::pair<std::string, std::string>> formatDetails() override;
    int inputCount() const override { return inputChannels; }
    int outputCount() const override { return outputChannels; }

    int parameterCount() const override { return static_cast<int>(parameters.size()); }
    ParameterInfo parameterInfo(int index) override { return parameters.at(index); }
    double parameterValue(int index) override;
    void setParameterValue(int index, double value) override;
    std::string readOut(int index) override;

    bool sendMidi(int frame, uint8_t status, uint8_t data1, uint8_t data2) override;
    void start() override;
    void stop() override;
    void process(float** inputs, float** outputs, int frames) override;

    bool saveState(std::vector<uint8_t>& state, std::string& error) override;
    bool restoreState(const std::vector<uint8_t>& state, std::string& error) override;
    bool keepsOwnState() const override { return state != nullptr; }
    PluginEditor* editor() override { return &panel; }

private:
    ClapPlugin();
    bool create(const std::string& path, std::string& error);
    int channels(bool input) const;
    void describeParameters();
    const clap_input_events_t* queuedEvents();
    void clearEvents();
    void queueValue(int index, double value);

    std::string named;
    PluginSetup setup;
    PluginModule module;
    const clap_plugin_entry_t* entry = nullptr;
    const clap_plugin_t* plugin = nullptr;
    const clap_plugin_params_t* params = nullptr;
    const clap_plugin_state_t* state = nullptr;
    const clap_plugin_audio_ports_t* audioPorts = nullptr;
    ClapHost host;
    ClapEditor panel{host, named};
    int inputChannels = 0;
    int outputChannels = 0;
    std::atomic<bool> active{false};
    int64_t steadyTime = 0;
    std::vector<ParameterInfo> parameters;
    ParameterQueue pending;
    // The next block's events: parameter values, then MIDI in the order sent.
    std::vector<clap_event_param_value_t> values;
    std::vector<clap_event_midi_t> midi;
    std::vector<const clap_event_header_t*> ordered;
    clap_input_events_t inputEvents;
    clap_output_events_t outputEvents;
};
