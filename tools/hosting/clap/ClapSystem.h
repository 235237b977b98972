// What the CLAP host does its own way on each system: the window API its
// editors are asked for, and whether a descriptor a plug-in registered is
// ready. linux/ and win32/ beside it each implement it.
#pragma once

#include <cstdint>

// CLAP_WINDOW_API_X11 or CLAP_WINDOW_API_WIN32.
const char* clapWindowApi();
// Of the CLAP_POSIX_FD_* flags wanted, those the descriptor is ready for now.
uint32_t clapReadyFlags(int fd, uint32_t wanted);
