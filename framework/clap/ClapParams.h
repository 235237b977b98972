// The params extension: the effect's parameters in their plain ranges, the
// effect's own read-outs, and changes applied while the host is not
// processing.
#pragma once

#include "framework/clap/ClapInterface.h"

const clap_plugin_params_t& clapParamsExtension();
