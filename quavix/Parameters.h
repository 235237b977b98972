// Each of Quavix's parameters described once. The effect's names, labels and
// read-outs, the panel's read-outs and the LV2 ports all come from this
// table; the build writes the Turtle file's control ports from it, and a
// test holds the README's port table to it.
#pragma once

#include <cstdint>

#include "quavix/QuavixConfig.h"

namespace quavix {

// What a parameter's read-out names, which decides how it is written.
enum class ReadOut : int32_t {
    kHertz,     // the corner frequency
    kDecibels,  // the output factor
    kPeakName,  // the resonance as Lo, Med or Hi
    kNumber,    // a whole number
};

struct Parameter {
    const char* name;    // what hosts show, in the VST and the LV2 build alike
    const char* label;   // the unit beside a VST host's read-out
    const char* symbol;  // the LV2 port's symbol, which hosts store in sessions
    // What the parameter values 0 and 1 stand for in the unit a user thinks
    // in (hertz, a controller number); the values between map linearly. The
    // LV2 ports take these values.
    double minimum;
    double maximum;
    double initial;  // where a new effect starts, in the same unit
    bool integer;    // only whole numbers in that unit mean anything
    ReadOut readOut;
    const char* portComment;  // what an LV2 host shows to explain the port, or null
    const char* portUnit;     // the LV2 unit of the port's values (units:hz), or null
};

constexpr Parameter kParameters[kNumParams] = {
    {"Center Frequency", "Hz", "frequency", 800.0, 3800.0, 2300.0, false, ReadOut::kHertz, nullptr, "hz"},
    {"Gain", "dB", "gain", 0.0, 1.0, 1.0, false, ReadOut::kDecibels,
     "The output level: 0 mutes, 1 is the factor 0.5 (-6 dB).", nullptr},
    // A space, not an empty label: hosts have always shown this one.
    {"peak", " ", "peak", 0.0, 1.0, 0.6, false, ReadOut::kPeakName,
     "The resonance: 0 a gentle bump, 1 a vocal peak of 20 times.", nullptr},
    {"midi controller #", "", "controller", 0.0, 127.0, 1.0, true, ReadOut::kNumber,
     "The controller number whose changes, on any channel, move the frequency; 1 is the modulation wheel.", nullptr},
};

// The parameter value v in the parameter's unit: minimum + (maximum - minimum) * v.
constexpr double unitValue(int32_t index, double value) {
    return kParameters[index].minimum + (kParameters[index].maximum - kParameters[index].minimum) * value;
}

// Where a parameter starts, as a parameter value from 0 to 1.
constexpr double initialValue(int32_t index) {
    return (kParameters[index].initial - kParameters[index].minimum) /
           (kParameters[index].maximum - kParameters[index].minimum);
}

// MIDI controller numbers run from 0 to this.
constexpr int32_t kHighestController = static_cast<int32_t>(kParameters[kControllerParam].maximum);

// The output gain factor is v * kGainAtFullScale; both read-outs name that
// factor in decibels.
constexpr double kGainAtFullScale = 0.5;
// The peak read-out: "Hi" up to this damping, "Med" up to the next, else "Lo".
constexpr float kHighPeakDamping = 0.33f;
constexpr float kMediumPeakDamping = 0.66f;
constexpr const char* kHighPeakName = "Hi";
constexpr const char* kMediumPeakName = "Med";
constexpr const char* kLowPeakName = "Lo";

}  // namespace quavix
