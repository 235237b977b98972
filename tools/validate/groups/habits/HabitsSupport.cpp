#include "tools/validate/groups/habits/HabitsSupport.h"

#include <cstdio>
#include <cstring>

namespace {

// Comparing every read-back after every set costs parameters squared: past
// this many per level of strictness, the parameters are sampled.
const VstInt32 kParametersPerLevel = 32;

const char* const kStateNames[] = {"every parameter set to 1 twice", "every parameter set to 0 twice",
                                   "every parameter set to 1, then 0"};

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

Snapshot snapshot(PluginHost& host) {
    Snapshot seen;
    for (VstInt32 index = 0; index < host.record()->numParams; ++index) {
        seen.values.push_back(host.parameter(index));
        seen.displays.push_back(host.text(effGetParamDisplay, index));
    }
    return seen;
}

std::vector<std::string> differences(const Snapshot& was, const Snapshot& is) {
    std::vector<std::string> found;
    for (size_t i = 0; i < was.values.size() && i < is.values.size(); ++i) {
        if (sameBits(was.values[i], is.values[i]) && was.displays[i] == is.displays[i])
            continue;
        char text[512];
        std::snprintf(text, sizeof text, "parameter %zu reads %.9g \"%s\", not %.9g \"%s\"", i,
                      static_cast<double>(is.values[i]), is.displays[i].c_str(), static_cast<double>(was.values[i]),
                      was.displays[i].c_str());
        found.push_back(text);
    }
    return found;
}

std::string joined(const std::vector<std::string>& texts, size_t most) {
    std::string all;
    for (size_t i = 0; i < texts.size() && i < most; ++i)
        all += (i ? "; " : "") + texts[i];
    if (texts.size() > most)
        all += "; and " + std::to_string(texts.size() - most) + " more";
    return all;
}

std::vector<VstInt32> walked(CheckContext& context, VstInt32 count) {
    const VstInt32 most = kParametersPerLevel * context.strictness();
    std::vector<VstInt32> indices;
    for (VstInt32 i = 0; i < count; ++i) {
        if (count <= most || static_cast<long>(i) * most / count != static_cast<long>(i + 1) * most / count)
            indices.push_back(i);
    }
    return indices;
}

// Extremes are set repeatedly, since a plug-in that steps or toggles on
// them lands elsewhere each time.
void bringIntoState(CheckContext& context, PluginHost& host, int state) {
    const VstInt32 count = host.record()->numParams;
    const float kPlain[] = {0.0f, 1.0f, 0.5f, static_cast<float>(1 / 127.0), static_cast<float>(100 / 127.0)};
    for (VstInt32 index = 0; index < count; ++index) {
        switch (state) {
        case 0:
            host.setParameter(index, 1.0f);
            host.setParameter(index, 1.0f);
            break;
        case 1:
            host.setParameter(index, 0.0f);
            host.setParameter(index, 0.0f);
            break;
        case 2:
            host.setParameter(index, 1.0f);
            host.setParameter(index, 0.0f);
            break;
        default: {
            float value = context.below(2) ? static_cast<float>(context.uniform()) : kPlain[context.below(5)];
            for (uint32_t times = 1 + context.below(3); times > 0; --times)
                host.setParameter(index, value);
        }
        }
    }
}

std::string stateName(int state) {
    return state < 3 ? kStateNames[state]
                     : "random values, each set 1 to 3 times (state " + std::to_string(state) + ")";
}
