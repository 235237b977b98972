#include "tools/hosting/clap/ClapSystem.h"

#include "framework/clap/ClapInterface.h"

const char* clapWindowApi() { return CLAP_WINDOW_API_WIN32; }

// Windows plug-ins register no descriptors: their windows get messages.
uint32_t clapReadyFlags(int, uint32_t) { return 0; }
