// Quavix as LV2 hosts see it. The ports and their ranges repeat what
// resources/lv2/quavix.ttl tells hosts; the LV2 tests hold the two together.
#include "framework/lv2/Lv2Plugin.h"
#include "quavix/QuavixConfig.h"

namespace {

// The URI of quavix.ttl and manifest.ttl. Hosts store it in their sessions:
// it never changes.
constexpr const char* kUri = "urn:morvella:quavix";

// In parameter order. The corner is shown in hertz, as the VST read-out
// shows it, so a host's generic control and its automation speak in hertz;
// gain and peak keep the VST values, which name no unit of their own; the
// controller is its MIDI number.
const Lv2ControlRange kControls[quavix::kNumParams] = {
    {static_cast<float>(quavix::kLowestCornerHz), static_cast<float>(quavix::kLowestCornerHz + quavix::kCornerRangeHz)},
    {0.0f, 1.0f},
    {0.0f, 1.0f},
    {0.0f, static_cast<float>(quavix::kHighestController)},
};

}  // namespace

// The output port tells hosts and panels the corner MIDI has moved to.
const Lv2PluginDescription& lv2PluginDescription() {
    static const Lv2PluginDescription description{kUri, kControls, quavix::kNumParams, quavix::kFrequencyParam};
    return description;
}
