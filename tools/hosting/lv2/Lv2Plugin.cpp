#include "tools/hosting/lv2/Lv2Plugin.h"

#include <lv2/core/lv2.h>

#include <cmath>
#include <cstdio>

#include "tools/hosting/FormatBackends.h"

std::unique_ptr<HostedPlugin> openLv2Plugin(const std::string& bundleOrUri, const PluginSetup& setup,
                                            std::string& error) {
    return Lv2Plugin::open(bundleOrUri, setup, error);
}

std::unique_ptr<HostedPlugin> Lv2Plugin::open(const std::string& bundleOrUri, const PluginSetup& setup,
                                              std::string& error) {
    std::unique_ptr<Lv2Plugin> plugin(new Lv2Plugin);
    plugin->named = bundleOrUri;
    if (!plugin->world.load(bundleOrUri, error) || !plugin->instantiate(setup, error))
        return nullptr;
    plugin->describeControls();
    return std::unique_ptr<HostedPlugin>(plugin.release());
}

bool Lv2Plugin::instantiate(const PluginSetup& setup, std::string& error) {
    instance.reset(new Lv2Instance(world, setup.sampleRate, true, static_cast<uint32_t>(setup.maxBlockSize)));
    if (instance->ok())
        return true;
    error = "'" + named + "'" + (named == world.uri() ? "" : " (" + world.uri() + ")") +
            " would not be instantiated at " + std::to_string(setup.sampleRate) + " Hz";
    std::string missing;
    for (const std::string& feature : world.requiredFeatures()) {
        if (!Lv2Instance::offers(feature))
            missing += (missing.empty() ? "" : ", ") + feature;
    }
    if (!missing.empty())
        error += "; it requires what this host does not offer: " + missing;
    return false;
}

void Lv2Plugin::describeControls() {
    for (uint32_t port = 0; port < world.portCount(); ++port) {
        if (!world.portIs(port, LV2_CORE__ControlPort) || !world.portIs(port, LV2_CORE__InputPort))
            continue;
        const Lv2World::Range range = world.range(port);
        ParameterInfo info;
        info.id = port;
        info.name = world.portName(port);
        info.minimum = std::isnan(range.minimum) ? 0.0 : range.minimum;
        info.maximum = std::isnan(range.maximum) ? 1.0 : range.maximum;
        info.defaultValue = instance->port(port);
        info.stepped = world.portHas(port, LV2_CORE__integer) || world.portHas(port, LV2_CORE__toggled);
        controlPorts.push_back(port);
        parameters.push_back(info);
    }
}

std::vector<std::pair<std::string, std::string>> Lv2Plugin::formatDetails() {
    std::vector<std::pair<std::string, std::string>> lines = {{"URI", world.uri()}};
    std::string features;
    for (const std::string& feature : world.requiredFeatures())
        features += (features.empty() ? "" : ", ") + feature;
    lines.push_back({"Requires", features.empty() ? "no features" : features});
    lines.push_back({"MIDI input", instance->hasEventInput() ? "yes" : "no"});
    return lines;
}

void Lv2Plugin::setParameterValue(int index, double value) {
    instance->setPort(controlPorts.at(index), static_cast<float>(value));
}

std::string Lv2Plugin::readOut(int index) {
    const float value = instance->port(controlPorts.at(index));
    const std::string label = world.scalePointLabel(controlPorts.at(index), value);
    if (!label.empty())
        return label;
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

bool Lv2Plugin::sendMidi(int frame, uint8_t status, uint8_t data1, uint8_t data2) {
    return instance->hasEventInput() && instance->midi(static_cast<uint32_t>(frame), status, data1, data2);
}

void Lv2Plugin::process(float** inputs, float** outputs, int frames) {
    instance->run(inputs, outputs, static_cast<uint32_t>(frames));
}

bool Lv2Plugin::saveState(std::vector<uint8_t>& state, std::string&) {
    saveValues(state);
    return true;
}

bool Lv2Plugin::restoreState(const std::vector<uint8_t>& state, std::string& error) {
    return restoreValues(state, error);
}
