// Quavix's panel for LV2 hosts: the VST editor itself, drawing the panel
// adapter's stand-in effect. The URI is the one the Turtle files give the
// panel; hosts store it in their sessions, so it never changes.
#include <new>

#include "toolkit/lv2/Lv2UiPlugin.h"
#include "quavix/QuavixEditor.h"

namespace {

constexpr const char* kUiUri = "urn:morvella:quavix#ui";
// In Left, In Right, Out Left, Out Right come before the controls.
constexpr int32_t kAudioPorts = 4;

}  // namespace

const Lv2UiDescription& lv2UiDescription() {
    static const Lv2UiDescription description{kUiUri, kAudioPorts};
    return description;
}

AEffGUIEditor* createLv2Editor(AudioEffect* standIn) { return new (std::nothrow) QuavixEditor(standIn); }
