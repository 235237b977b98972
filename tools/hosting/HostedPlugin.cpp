#include "tools/hosting/HostedPlugin.h"

#include <cmath>
#include <cstring>

double HostedPlugin::valueAt(int index, double position) {
    const ParameterInfo info = parameterInfo(index);
    const double value = info.minimum + position * (info.maximum - info.minimum);
    return info.stepped ? std::round(value) : value;
}

double HostedPlugin::positionOf(int index) {
    const ParameterInfo info = parameterInfo(index);
    const double span = info.maximum - info.minimum;
    return span != 0.0 ? (parameterValue(index) - info.minimum) / span : 0.0;
}

void HostedPlugin::saveValues(std::vector<uint8_t>& state) {
    state.resize(sizeof(float) * static_cast<size_t>(parameterCount()));
    for (int index = 0; index < parameterCount(); ++index) {
        const float value = static_cast<float>(parameterValue(index));
        std::memcpy(state.data() + sizeof(float) * static_cast<size_t>(index), &value, sizeof value);
    }
}

bool HostedPlugin::restoreValues(const std::vector<uint8_t>& state, std::string& error) {
    if (state.size() != sizeof(float) * static_cast<size_t>(parameterCount())) {
        error = "a state of " + std::to_string(state.size()) + " bytes is no set of " +
                std::to_string(parameterCount()) + " parameter values for '" + path() + "'";
        return false;
    }
    for (int index = 0; index < parameterCount(); ++index) {
        float value;
        std::memcpy(&value, state.data() + sizeof(float) * static_cast<size_t>(index), sizeof value);
        setParameterValue(index, value);
    }
    return true;
}

const char* formatName(PluginFormat format) {
    switch (format) {
    case PluginFormat::Vst2:
        return "VST 2.4";
    case PluginFormat::Lv2:
        return "LV2";
    case PluginFormat::Clap:
        return "CLAP";
    }
    return "unknown";
}
