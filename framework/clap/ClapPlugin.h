// What a plug-in gives the CLAP adapter besides its effect, which comes from
// createEffectInstance as for VST: its identity as CLAP hosts list it, the
// plain range of each parameter (the values a host's automation and generic
// panel speak in, while the effect keeps its normalized ones), and the two
// facts a VST effect cannot tell through its record: how a read-out reads
// back into a value, and how long the output rings on after the input stops.
//
// Parameter ids are the effect's parameter indices: hosts store them in
// sessions, and the indices never change.
#pragma once

#include <cstdint>

struct ClapParameterRange {
    // The plain values that stand for the parameter values 0 and 1; the
    // values between map linearly.
    double minimum;
    double maximum;
    double initial;
    bool stepped;  // only whole numbers mean anything
};

struct ClapPluginDescription {
    const char* id;  // reverse DNS; hosts store it in sessions: it never changes
    const char* name;
    const char* vendor;
    const char* url;
    const char* version;
    const char* description;
    const char* const* features;  // null-terminated
    const ClapParameterRange* parameters;
    int32_t numParameters;
    // A read-out of parameter index, or a plain number, as a plain value
    // inside its range; false for any other text.
    bool (*readText)(int32_t index, const char* text, double* plain);
    // Frames until the output dies away to exact silence once the input
    // has, for the effect's current parameter values (normalized, one per
    // parameter) at rate.
    uint32_t (*tailFrames)(const float* values, double rate);
};

// The plug-in defines it, as it defines createEffectInstance.
const ClapPluginDescription& clapPluginDescription();
