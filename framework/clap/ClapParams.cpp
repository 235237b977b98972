#include "framework/clap/ClapParams.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "framework/clap/ClapInstance.h"
#include "framework/clap/Guarded.h"

namespace {

// The room VST hosts give a name, a label and a read-out.
constexpr size_t kVstTextRoom = 64;

// A label of nothing but spaces names no unit.
bool namesUnit(const char* label) { return label[std::strspn(label, " ")] != 0; }

uint32_t count(const clap_plugin_t* plugin) {
    return guarded(0u, [&] { return static_cast<uint32_t>(ClapInstance::of(plugin)->description().numParameters); });
}

bool getInfo(const clap_plugin_t* plugin, uint32_t index, clap_param_info_t* info) {
    return guarded(false, [&] {
        ClapInstance* instance = ClapInstance::of(plugin);
        const int32_t parameter = instance->indexOf(index);
        if (!info || parameter < 0) {
            return false;
        }
        const ClapParameterRange& range = instance->description().parameters[parameter];
        std::memset(info, 0, sizeof(*info));
        info->id = index;
        info->flags = static_cast<uint32_t>(CLAP_PARAM_IS_AUTOMATABLE) |
                      (range.stepped ? static_cast<uint32_t>(CLAP_PARAM_IS_STEPPED) : 0u);
        char name[kVstTextRoom] = "";
        instance->effect().dispatch(effGetParamName, parameter, 0, name);
        std::snprintf(info->name, sizeof(info->name), "%s", name);
        info->min_value = range.minimum;
        info->max_value = range.maximum;
        info->default_value = range.initial;
        return true;
    });
}

bool getValue(const clap_plugin_t* plugin, clap_id id, double* value) {
    return guarded(false, [&] {
        ClapInstance* instance = ClapInstance::of(plugin);
        const int32_t index = instance->indexOf(id);
        if (!value || index < 0) {
            return false;
        }
        *value = instance->plainValue(index, instance->effect().parameter(index));
        return true;
    });
}

// What a VST host shows for the value: the effect's read-out of it, and
// its unit where it names one.
bool valueToText(const clap_plugin_t* plugin, clap_id id, double value, char* text, uint32_t capacity) {
    return guarded(false, [&] {
        ClapInstance* instance = ClapInstance::of(plugin);
        const int32_t index = instance->indexOf(id);
        ClapEffect* readOuts = index >= 0 && std::isfinite(value) ? instance->readOutEffect() : nullptr;
        if (!text || capacity == 0 || !readOuts) {
            return false;
        }
        readOuts->setParameter(index, instance->normalizedValue(index, value));
        char display[kVstTextRoom] = "";
        char label[kVstTextRoom] = "";
        readOuts->dispatch(effGetParamDisplay, index, 0, display);
        readOuts->dispatch(effGetParamLabel, index, 0, label);
        std::snprintf(text, capacity, namesUnit(label) ? "%s %s" : "%s", display, label);
        return true;
    });
}

bool textToValue(const clap_plugin_t* plugin, clap_id id, const char* text, double* value) {
    return guarded(false, [&] {
        ClapInstance* instance = ClapInstance::of(plugin);
        const int32_t index = instance->indexOf(id);
        double plain = 0.0;
        if (!text || !value || index < 0 || !instance->description().readText(index, text, &plain)) {
            return false;
        }
        *value = plain;
        return true;
    });
}

// Between blocks, or with the instance inactive: the host's changes apply
// at once, and the panel's go to the host.
void flush(const clap_plugin_t* plugin, const clap_input_events_t* in, const clap_output_events_t* out) {
    guarded(0, [&] {
        ClapInstance* instance = ClapInstance::of(plugin);
        const uint32_t events = in && in->size && in->get ? in->size(in) : 0;
        for (uint32_t i = 0; i < events; ++i) {
            if (const clap_event_header_t* event = in->get(in, i)) {
                instance->apply(*event);
            }
        }
        instance->sendPanelChanges(out);
        return 0;
    });
}

}  // namespace

const clap_plugin_params_t& clapParamsExtension() {
    static const clap_plugin_params_t extension{count, getInfo, getValue, valueToText, textToValue, flush};
    return extension;
}
