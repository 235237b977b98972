// Quavix as LV2 hosts see it: one control port per parameter, in the range
// the parameter table gives it (the build writes the same into quavix.ttl,
// from the same table).
#include "framework/lv2/Lv2Plugin.h"
#include "quavix/Parameters.h"

namespace {

constexpr Lv2ControlRange rangeOf(int32_t index) {
    return {static_cast<float>(quavix::kParameters[index].minimum),
            static_cast<float>(quavix::kParameters[index].maximum)};
}

// In parameter order. The corner is shown in hertz, as the VST read-out
// shows it, so a host's generic control and its automation speak in hertz;
// gain and peak keep the VST values, which name no unit of their own; the
// controller is its MIDI number.
const Lv2ControlRange kControls[quavix::kNumParams] = {
    rangeOf(quavix::kFrequencyParam),
    rangeOf(quavix::kGainParam),
    rangeOf(quavix::kPeakParam),
    rangeOf(quavix::kControllerParam),
};

}  // namespace

// The output port tells hosts and panels the corner MIDI has moved to.
const Lv2PluginDescription& lv2PluginDescription() {
    static const Lv2PluginDescription description{quavix::kLv2Uri, kControls, quavix::kNumParams,
                                                  quavix::kFrequencyParam};
    return description;
}
