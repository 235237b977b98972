#include "tools/hosting/vst/PluginReport.h"

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

std::vector<std::pair<std::string, std::string>> PluginReport::details() const {
    AEffect* plugin = host.record();
    const VstIntPtr category = host.dispatch(effGetPlugCategory);
    std::vector<std::pair<std::string, std::string>> lines = {
        {"Product", host.text(effGetProductString)},
        {"Vendor version", std::to_string(static_cast<long long>(host.dispatch(effGetVendorVersion)))},
        {"VST version", std::to_string(static_cast<long long>(host.dispatch(effGetVstVersion)))},
        {"Record version", std::to_string(plugin->version)},
        {"Unique ID", uniqueIdText(plugin->uniqueID)},
        {"Category", std::to_string(static_cast<long long>(category)) + " (" + categoryName(category) + ")"},
        {"Flags", decodeFlags(plugin->flags)},
        {"Programs", std::to_string(plugin->numPrograms)},
        {"Initial delay", std::to_string(plugin->initialDelay)},
    };
    std::string answers;
    for (const char* text : kCanDoTexts) {
        const VstIntPtr answer = host.dispatch(effCanDo, 0, 0, const_cast<char*>(text));
        answers += std::string(answers.empty() ? "" : ", ") + text + " " + canDoMeaning(answer);
    }
    lines.push_back({"Can do", answers});
    return lines;
}
