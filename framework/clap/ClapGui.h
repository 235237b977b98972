// The gui extension: the effect's own editor embedded in the host's window
// (X11 on Linux, Win32 on Windows), at the host's scale from 1 to 3, of the
// one size the panel has. Between the host's calls the editor lives on the
// host's timer, and on Linux also on the descriptor of its X connection,
// so that it needs no thread of its own.
#pragma once

#include "framework/clap/ClapInterface.h"

const clap_plugin_gui_t& clapGuiExtension();
const clap_plugin_timer_support_t& clapTimerExtension();
const clap_plugin_posix_fd_support_t& clapDescriptorExtension();
