// Quavix as CLAP hosts list it: its identity, and each parameter in the
// plain range of the parameter table.
#include <QuavixVersion.h>  // made by the build from the VERSION file
#include "framework/clap/ClapPlugin.h"
#include "quavix/Filter.h"
#include "quavix/Parameters.h"
#include "quavix/ReadOutValue.h"

namespace {

constexpr const char* kId = "com.morvella.quavix";
constexpr const char* const kFeatures[] = {"audio-effect", "filter", "stereo", nullptr};

constexpr ClapParameterRange rangeOf(int32_t index) {
    return {quavix::kParameters[index].minimum, quavix::kParameters[index].maximum, quavix::kParameters[index].initial,
            quavix::kParameters[index].integer};
}

const ClapParameterRange kRanges[quavix::kNumParams] = {
    rangeOf(quavix::kFrequencyParam),
    rangeOf(quavix::kGainParam),
    rangeOf(quavix::kPeakParam),
    rangeOf(quavix::kControllerParam),
};

uint32_t tailFrames(const float* values, double rate) {
    return Filter::ringOutFrames(values[quavix::kFrequencyParam], values[quavix::kPeakParam], rate);
}

}  // namespace

const ClapPluginDescription& clapPluginDescription() {
    static const ClapPluginDescription description{kId,
                                                   quavix::kEffectName,
                                                   quavix::kVendorString,
                                                   "",
                                                   QUAVIX_VERSION,
                                                   "A wah: a resonant low-pass swept by hand, automation or MIDI",
                                                   kFeatures,
                                                   kRanges,
                                                   quavix::kNumParams,
                                                   quavix::readOutValue,
                                                   tailFrames};
    return description;
}
