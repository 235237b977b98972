// The state extension. A saved state is the effect's parameter values, in a
// small versioned record:
//
//   bytes 0-3   the effect's unique ID, most significant byte first
//   bytes 4-7   the format's version, 1, little-endian
//   bytes 8-11  how many parameters follow, little-endian
//   then each   its id (uint32) and its normalized value (IEEE float), little-endian
//
// The normalized values are what the effect reads back, so a loaded state
// sounds the same to the bit. A stream that is not exactly one such record
// of this effect, with every parameter once and every value in 0..1, is
// refused and changes nothing.
#pragma once

#include "framework/clap/ClapInterface.h"

const clap_plugin_state_t& clapStateExtension();
