// Quavix's panel for LV2 hosts: the VST editor itself, drawing the panel
// adapter's stand-in effect, under the panel URI the Turtle files give it.
#include <new>

#include "toolkit/lv2/Lv2UiPlugin.h"
#include "quavix/QuavixConfig.h"
#include "quavix/QuavixEditor.h"

namespace {

// The audio inputs and outputs come before the controls.
constexpr int32_t kAudioPorts = quavix::kNumInputs + quavix::kNumOutputs;

}  // namespace

const Lv2UiDescription& lv2UiDescription() {
    static const Lv2UiDescription description{quavix::kLv2UiUri, kAudioPorts};
    return description;
}

AEffGUIEditor* createLv2Editor(AudioEffect* standIn) { return new (std::nothrow) QuavixEditor(standIn); }
