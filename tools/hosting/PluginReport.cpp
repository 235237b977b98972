#include "tools/hosting/PluginReport.h"

#include <cstdio>

namespace {

struct FlagName {
    VstInt32 bit;
    const char* name;
};

const FlagName kFlagNames[] = {
    {effFlagsHasEditor, "HasEditor"},
    {effFlagsHasClip, "HasClip"},
    {effFlagsHasVu, "HasVu"},
    {effFlagsCanMono, "CanMono"},
    {effFlagsCanReplacing, "CanReplacing"},
    {effFlagsProgramChunks, "ProgramChunks"},
    {effFlagsIsSynth, "IsSynth"},
    {effFlagsNoSoundInStop, "NoSoundInStop"},
    {effFlagsExtIsAsync, "ExtIsAsync"},
    {effFlagsExtHasBuffer, "ExtHasBuffer"},
    {effFlagsCanDoubleReplacing, "CanDoubleReplacing"},
};

const char* const kCategoryNames[] = {"Unknown",     "Effect",         "Synth",  "Analysis",
                                      "Mastering",   "Spacializer",    "RoomFx", "SurroundFx",
                                      "Restoration", "OfflineProcess", "Shell",  "Generator"};

// The texts a host commonly asks about.
const char* const kCanDoTexts[] = {
    "receiveVstEvents", "receiveVstMidiEvent", "sendVstEvents", "sendVstMidiEvent", "offline", "bypass"};

std::string hexText(unsigned value) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X", value);
    return hex;
}

const char* canDoMeaning(VstIntPtr answer) {
    if (answer > 0)
        return "yes";
    if (answer < 0)
        return "no";
    return "don't know";
}

}  // namespace

std::string PluginReport::decodeFlags(VstInt32 flags) {
    std::string names;
    VstInt32 known = 0;
    for (const FlagName& flag : kFlagNames) {
        known |= flag.bit;
        if (flags & flag.bit)
            names += (names.empty() ? "" : ", ") + std::string(flag.name);
    }
    if (flags & ~known) {
        char unknown[32];
        std::snprintf(unknown, sizeof unknown, "unknown 0x%X", static_cast<unsigned>(flags & ~known));
        names += (names.empty() ? "" : ", ") + std::string(unknown);
    }
    return hexText(static_cast<unsigned>(flags)) + " (" + (names.empty() ? "none" : names) + ")";
}

std::string PluginReport::uniqueIdText(VstInt32 id) {
    std::string chars;
    for (int shift = 24; shift >= 0; shift -= 8) {
        unsigned char c = static_cast<unsigned char>(static_cast<unsigned>(id) >> shift);
        chars += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '.';
    }
    return hexText(static_cast<unsigned>(id)) + " '" + chars + "'";
}

const char* PluginReport::categoryName(VstIntPtr category) {
    const VstIntPtr count = sizeof kCategoryNames / sizeof kCategoryNames[0];
    return category >= 0 && category < count ? kCategoryNames[category] : "not a known category";
}

void PluginReport::printIdentity() const {
    AEffect* plugin = host.record();
    VstIntPtr category = host.dispatch(effGetPlugCategory);
    std::printf("Plug-in        %s\n", host.path().c_str());
    std::printf("Name           %s\n", host.text(effGetEffectName).c_str());
    std::printf("Vendor         %s\n", host.text(effGetVendorString).c_str());
    std::printf("Product        %s\n", host.text(effGetProductString).c_str());
    std::printf("Vendor version %lld\n", static_cast<long long>(host.dispatch(effGetVendorVersion)));
    std::printf("VST version    %lld\n", static_cast<long long>(host.dispatch(effGetVstVersion)));
    std::printf("Record version %d\n", plugin->version);
    std::printf("Unique ID      %s\n", uniqueIdText(plugin->uniqueID).c_str());
    std::printf("Category       %lld (%s)\n", static_cast<long long>(category), categoryName(category));
    std::printf("Flags          %s\n", decodeFlags(plugin->flags).c_str());
    std::printf("Programs %d, parameters %d, inputs %d, outputs %d, initial delay %d\n", plugin->numPrograms,
                plugin->numParams, plugin->numInputs, plugin->numOutputs, plugin->initialDelay);
    printCanDo();
}

void PluginReport::printCanDo() const {
    std::printf("Can do\n");
    for (const char* text : kCanDoTexts) {
        VstIntPtr answer = host.dispatch(effCanDo, 0, 0, const_cast<char*>(text));
        std::printf("  %-20s %2lld (%s)\n", text, static_cast<long long>(answer), canDoMeaning(answer));
    }
}

std::string PluginReport::describeParameter(VstInt32 index) const {
    std::string name = host.text(effGetParamName, index);
    std::string display = host.text(effGetParamDisplay, index);
    std::string label = host.text(effGetParamLabel, index);
    char value[32];
    std::snprintf(value, sizeof value, "%f", host.parameter(index));
    return std::to_string(index) + " \"" + name + "\" = " + display + (label.empty() ? "" : " " + label) + " (" +
           value + ")";
}

void PluginReport::printParameters() const {
    AEffect* plugin = host.record();
    std::printf("Parameters\n");
    std::printf("  %5s  %-24s %-8s %-16s %s\n", "index", "name", "label", "read-out", "value");
    for (VstInt32 index = 0; index < plugin->numParams; ++index) {
        std::printf("  %5d  %-24s %-8s %-16s %f\n", index, host.text(effGetParamName, index).c_str(),
                    host.text(effGetParamLabel, index).c_str(), host.text(effGetParamDisplay, index).c_str(),
                    host.parameter(index));
    }
    std::fflush(stdout);
}
