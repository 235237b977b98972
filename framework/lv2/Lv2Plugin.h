// What a plug-in gives the LV2 adapter besides its effect, which comes from
// createEffectInstance as for VST: the URI its Turtle files describe, and the
// range of each control port, so that a port can show a value in the unit a
// user thinks in (hertz, a controller number) while the effect keeps its
// normalized parameters.
//
// The adapter numbers the ports as the Turtle files must list them: the
// effect's audio inputs, its audio outputs, one control input per entry of
// controls (parameter 0 first), the MIDI input (an atom sequence), and one
// control output reporting reportedParameter in its port's range.
#pragma once

#include <cstdint>

struct Lv2ControlRange {
    // The port values that stand for the parameter values 0 and 1; the
    // values between map linearly.
    float minimum;
    float maximum;
};

struct Lv2PluginDescription {
    const char* uri;
    const Lv2ControlRange* controls;
    int32_t numControls;
    int32_t reportedParameter;
};

// The plug-in defines it, as it defines createEffectInstance.
const Lv2PluginDescription& lv2PluginDescription();
