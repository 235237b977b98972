#include "tools/hosting/vst/VstPlugin.h"

#include "tools/hosting/FormatBackends.h"
#include "tools/hosting/vst/PluginReport.h"

std::unique_ptr<HostedPlugin> VstPlugin::open(const std::string& path, const PluginSetup& setup, std::string& error) {
    std::unique_ptr<VstPlugin> plugin(new VstPlugin);
    plugin->host.configure(setup.sampleRate, setup.maxBlockSize);
    return plugin->host.load(path, error) ? loaded(std::move(plugin)) : nullptr;
}

std::unique_ptr<HostedPlugin> VstPlugin::attach(PluginHost::PluginEntry entry, const std::string& name,
                                                const PluginSetup& setup, std::string& error) {
    std::unique_ptr<VstPlugin> plugin(new VstPlugin);
    plugin->host.configure(setup.sampleRate, setup.maxBlockSize);
    return plugin->host.attach(entry, name, error) ? loaded(std::move(plugin)) : nullptr;
}

std::unique_ptr<HostedPlugin> VstPlugin::loaded(std::unique_ptr<VstPlugin> plugin) {
    for (int index = 0; index < plugin->parameterCount(); ++index)
        plugin->defaults.push_back(plugin->host.parameter(index));
    return std::unique_ptr<HostedPlugin>(plugin.release());
}

std::string VstPlugin::name() { return host.text(effGetEffectName); }

std::string VstPlugin::vendor() { return host.text(effGetVendorString); }

std::vector<std::pair<std::string, std::string>> VstPlugin::formatDetails() { return PluginReport(host).details(); }

ParameterInfo VstPlugin::parameterInfo(int index) {
    ParameterInfo info;
    info.id = static_cast<uint32_t>(index);
    info.name = host.text(effGetParamName, index);
    info.defaultValue = index < static_cast<int>(defaults.size()) ? defaults[index] : 0.0;
    return info;
}

void VstPlugin::setParameterValue(int index, double value) { host.setParameter(index, static_cast<float>(value)); }

std::string VstPlugin::readOut(int index) {
    const std::string label = host.text(effGetParamLabel, index);
    return host.text(effGetParamDisplay, index) + (label.empty() ? "" : " " + label);
}

bool VstPlugin::sendMidi(int frame, uint8_t status, uint8_t data1, uint8_t data2) {
    midi.add(frame, status, data1, data2);
    return true;
}

void VstPlugin::process(float** inputs, float** outputs, int frames) {
    if (midi.size() > 0)
        host.dispatch(effProcessEvents, 0, 0, midi.events());
    host.process(inputs, outputs, frames);
    midi.clear();
}

bool VstPlugin::saveState(std::vector<uint8_t>& state, std::string&) {
    if (keepsChunks()) {
        void* chunk = nullptr;
        const VstIntPtr bytes = host.dispatch(effGetChunk, 0, 0, &chunk);
        const uint8_t* start = static_cast<const uint8_t*>(chunk);
        state.assign(start, bytes > 0 && start ? start + bytes : start);
        return true;
    }
    saveValues(state);
    return true;
}

bool VstPlugin::restoreState(const std::vector<uint8_t>& state, std::string& error) {
    if (keepsChunks()) {
        host.dispatch(effSetChunk, 0, static_cast<VstIntPtr>(state.size()), const_cast<uint8_t*>(state.data()));
        return true;
    }
    return restoreValues(state, error);
}

std::unique_ptr<HostedPlugin> openVstPlugin(const std::string& path, const PluginSetup& setup, std::string& error) {
    return VstPlugin::open(path, setup, error);
}
