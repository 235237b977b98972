// Every record of ClapInterface.h held to the size hosts lay it out with, on
// each architecture we build: x86_64 (Linux and Windows agree) and i686
// Windows, where mingw-w64 aligns 64-bit members to 8 bytes. A wrong field
// fails the build here instead of corrupting a host's memory.
#include "framework/clap/ClapInterface.h"

namespace {

constexpr bool kWide = sizeof(void*) == 8;

// The size on x86_64, else on i686.
constexpr size_t sized(size_t wide, size_t narrow) { return kWide ? wide : narrow; }

#define QUAVIX_CLAP_SIZE(type, wide, narrow) \
    static_assert(sizeof(type) == sized(wide, narrow), #type " has the size hosts lay it out with")

QUAVIX_CLAP_SIZE(clap_version_t, 12, 12);
QUAVIX_CLAP_SIZE(clap_plugin_entry_t, 40, 24);
QUAVIX_CLAP_SIZE(clap_plugin_factory_t, 24, 12);
QUAVIX_CLAP_SIZE(clap_plugin_descriptor_t, 88, 48);
QUAVIX_CLAP_SIZE(clap_plugin_t, 96, 48);
QUAVIX_CLAP_SIZE(clap_host_t, 88, 48);
QUAVIX_CLAP_SIZE(clap_process_t, 64, 40);
QUAVIX_CLAP_SIZE(clap_audio_buffer_t, 32, 24);
QUAVIX_CLAP_SIZE(clap_event_header_t, 16, 16);
QUAVIX_CLAP_SIZE(clap_event_param_value_t, 56, 48);
QUAVIX_CLAP_SIZE(clap_event_param_mod_t, 56, 48);
QUAVIX_CLAP_SIZE(clap_event_param_gesture_t, 20, 20);
QUAVIX_CLAP_SIZE(clap_event_midi_t, 24, 24);
QUAVIX_CLAP_SIZE(clap_event_midi_sysex_t, 40, 28);
QUAVIX_CLAP_SIZE(clap_event_midi2_t, 36, 36);
QUAVIX_CLAP_SIZE(clap_event_note_t, 40, 40);
QUAVIX_CLAP_SIZE(clap_event_transport_t, 104, 104);
QUAVIX_CLAP_SIZE(clap_input_events_t, 24, 12);
QUAVIX_CLAP_SIZE(clap_output_events_t, 16, 8);
QUAVIX_CLAP_SIZE(clap_istream_t, 16, 8);
QUAVIX_CLAP_SIZE(clap_ostream_t, 16, 8);
QUAVIX_CLAP_SIZE(clap_param_info_t, 1320, 1320);
QUAVIX_CLAP_SIZE(clap_plugin_params_t, 48, 24);
QUAVIX_CLAP_SIZE(clap_host_params_t, 24, 12);
QUAVIX_CLAP_SIZE(clap_plugin_state_t, 16, 8);
QUAVIX_CLAP_SIZE(clap_host_state_t, 8, 4);
QUAVIX_CLAP_SIZE(clap_plugin_gui_t, 120, 60);
QUAVIX_CLAP_SIZE(clap_host_gui_t, 40, 20);
QUAVIX_CLAP_SIZE(clap_window_t, 16, 8);
QUAVIX_CLAP_SIZE(clap_gui_resize_hints_t, 12, 12);
QUAVIX_CLAP_SIZE(clap_plugin_audio_ports_t, 16, 8);
QUAVIX_CLAP_SIZE(clap_audio_port_info_t, 288, 276);
QUAVIX_CLAP_SIZE(clap_host_audio_ports_t, 16, 8);
QUAVIX_CLAP_SIZE(clap_plugin_note_ports_t, 16, 8);
QUAVIX_CLAP_SIZE(clap_note_port_info_t, 268, 268);
QUAVIX_CLAP_SIZE(clap_host_note_ports_t, 16, 8);
QUAVIX_CLAP_SIZE(clap_plugin_latency_t, 8, 4);
QUAVIX_CLAP_SIZE(clap_host_latency_t, 8, 4);
QUAVIX_CLAP_SIZE(clap_plugin_tail_t, 8, 4);
QUAVIX_CLAP_SIZE(clap_host_tail_t, 8, 4);
QUAVIX_CLAP_SIZE(clap_plugin_timer_support_t, 8, 4);
QUAVIX_CLAP_SIZE(clap_host_timer_support_t, 16, 8);
QUAVIX_CLAP_SIZE(clap_plugin_posix_fd_support_t, 8, 4);
QUAVIX_CLAP_SIZE(clap_host_posix_fd_support_t, 24, 12);
QUAVIX_CLAP_SIZE(clap_host_log_t, 8, 4);
QUAVIX_CLAP_SIZE(clap_host_thread_check_t, 16, 8);
QUAVIX_CLAP_SIZE(clap_plugin_render_t, 16, 8);

#undef QUAVIX_CLAP_SIZE

// The offsets a wrong alignment would move without changing a size.
#define QUAVIX_CLAP_OFFSET(type, field, wide, narrow) \
    static_assert(offsetof(type, field) == sized(wide, narrow), #type "." #field " sits where hosts read it")

QUAVIX_CLAP_OFFSET(clap_plugin_entry_t, init, 16, 12);
QUAVIX_CLAP_OFFSET(clap_plugin_descriptor_t, id, 16, 12);
QUAVIX_CLAP_OFFSET(clap_plugin_descriptor_t, features, 80, 44);
QUAVIX_CLAP_OFFSET(clap_host_t, host_data, 16, 12);
QUAVIX_CLAP_OFFSET(clap_host_t, request_callback, 80, 44);
QUAVIX_CLAP_OFFSET(clap_plugin_t, process, 72, 36);
QUAVIX_CLAP_OFFSET(clap_plugin_t, on_main_thread, 88, 44);
QUAVIX_CLAP_OFFSET(clap_process_t, frames_count, 8, 8);
QUAVIX_CLAP_OFFSET(clap_process_t, audio_inputs, 24, 16);
QUAVIX_CLAP_OFFSET(clap_process_t, audio_inputs_count, 40, 24);
QUAVIX_CLAP_OFFSET(clap_process_t, in_events, 48, 32);
QUAVIX_CLAP_OFFSET(clap_audio_buffer_t, channel_count, 16, 8);
QUAVIX_CLAP_OFFSET(clap_audio_buffer_t, constant_mask, 24, 16);
QUAVIX_CLAP_OFFSET(clap_event_header_t, type, 10, 10);
QUAVIX_CLAP_OFFSET(clap_event_param_value_t, param_id, 16, 16);
QUAVIX_CLAP_OFFSET(clap_event_param_value_t, cookie, 24, 20);
QUAVIX_CLAP_OFFSET(clap_event_param_value_t, note_id, 32, 24);
QUAVIX_CLAP_OFFSET(clap_event_param_value_t, value, 48, 40);
QUAVIX_CLAP_OFFSET(clap_event_midi_t, data, 18, 18);
QUAVIX_CLAP_OFFSET(clap_event_transport_t, song_pos_beats, 24, 24);
QUAVIX_CLAP_OFFSET(clap_event_transport_t, bar_number, 96, 96);
QUAVIX_CLAP_OFFSET(clap_param_info_t, name, 16, 12);
QUAVIX_CLAP_OFFSET(clap_param_info_t, module, 272, 268);
QUAVIX_CLAP_OFFSET(clap_param_info_t, min_value, 1296, 1296);
QUAVIX_CLAP_OFFSET(clap_param_info_t, default_value, 1312, 1312);
QUAVIX_CLAP_OFFSET(clap_audio_port_info_t, flags, 260, 260);
QUAVIX_CLAP_OFFSET(clap_audio_port_info_t, port_type, 272, 268);
QUAVIX_CLAP_OFFSET(clap_audio_port_info_t, in_place_pair, 280, 272);
QUAVIX_CLAP_OFFSET(clap_note_port_info_t, name, 12, 12);
QUAVIX_CLAP_OFFSET(clap_window_t, x11, 8, 4);
QUAVIX_CLAP_OFFSET(clap_gui_resize_hints_t, aspect_ratio_width, 4, 4);

#undef QUAVIX_CLAP_OFFSET

}  // namespace
