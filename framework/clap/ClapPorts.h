// The fixed extensions: one stereo main input and output that may share
// their buffers, one MIDI note input for the controller, no latency, and a
// tail as long as the filter rings.
#pragma once

#include "framework/clap/ClapInterface.h"

const clap_plugin_audio_ports_t& clapAudioPortsExtension();
const clap_plugin_note_ports_t& clapNotePortsExtension();
const clap_plugin_latency_t& clapLatencyExtension();
const clap_plugin_tail_t& clapTailExtension();
