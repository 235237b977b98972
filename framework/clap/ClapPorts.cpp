#include "framework/clap/ClapPorts.h"

#include <cstdio>
#include <cstring>

#include "framework/clap/ClapInstance.h"
#include "framework/clap/Guarded.h"

namespace {

// The input's and the output's id; each names the other as its in-place pair.
constexpr clap_id kMainAudioPort = 0;
constexpr clap_id kMidiPort = 0;
constexpr uint32_t kStereo = 2;

uint32_t audioPortCount(const clap_plugin_t*, bool) { return 1; }

bool audioPort(const clap_plugin_t*, uint32_t index, bool isInput, clap_audio_port_info_t* info) {
    if (index != 0 || !info) {
        return false;
    }
    std::memset(info, 0, sizeof(*info));
    info->id = kMainAudioPort;
    std::snprintf(info->name, sizeof(info->name), "%s", isInput ? "Stereo In" : "Stereo Out");
    info->flags = CLAP_AUDIO_PORT_IS_MAIN;
    info->channel_count = kStereo;
    info->port_type = CLAP_PORT_STEREO;
    info->in_place_pair = kMainAudioPort;
    return true;
}

uint32_t notePortCount(const clap_plugin_t*, bool isInput) { return isInput ? 1 : 0; }

bool notePort(const clap_plugin_t*, uint32_t index, bool isInput, clap_note_port_info_t* info) {
    if (index != 0 || !isInput || !info) {
        return false;
    }
    std::memset(info, 0, sizeof(*info));
    info->id = kMidiPort;
    info->supported_dialects = CLAP_NOTE_DIALECT_MIDI;
    info->preferred_dialect = CLAP_NOTE_DIALECT_MIDI;
    std::snprintf(info->name, sizeof(info->name), "%s", "MIDI In");
    return true;
}

uint32_t noLatency(const clap_plugin_t*) { return 0; }

uint32_t tail(const clap_plugin_t* plugin) {
    return guarded(0u, [&] { return ClapInstance::of(plugin)->tailFrames(); });
}

}  // namespace

const clap_plugin_audio_ports_t& clapAudioPortsExtension() {
    static const clap_plugin_audio_ports_t extension{audioPortCount, audioPort};
    return extension;
}

const clap_plugin_note_ports_t& clapNotePortsExtension() {
    static const clap_plugin_note_ports_t extension{notePortCount, notePort};
    return extension;
}

const clap_plugin_latency_t& clapLatencyExtension() {
    static const clap_plugin_latency_t extension{noLatency};
    return extension;
}

const clap_plugin_tail_t& clapTailExtension() {
    static const clap_plugin_tail_t extension{tail};
    return extension;
}
