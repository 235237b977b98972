// The rate as the integer audioMasterGetSampleRate answers with, for the
// format adapters that answer an effect in a VST host's place. A rate no
// integer holds is answered as unknown (0); the effect hears the exact rate
// from effSetSampleRate anyway.
#pragma once

#include <limits>

#include "framework/VstInterface.h"

inline VstIntPtr wholeRate(double rate) {
    if (!(rate >= 1.0 && rate <= static_cast<double>(std::numeric_limits<VstInt32>::max()))) {
        return 0;
    }
    return static_cast<VstIntPtr>(rate);
}
