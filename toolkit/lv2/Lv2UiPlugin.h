// What a plug-in gives the LV2 panel adapter: the panel's URI, the audio
// ports that come before the controls (the adapter numbers ports as the DSP
// adapter does, framework/lv2/Lv2Plugin.h, whose ranges it shares), and its
// editor. The editor draws a stand-in effect that holds the parameter values
// and sends the user's changes to the host as port writes.
#pragma once

#include <cstdint>

class AEffGUIEditor;
class AudioEffect;

struct Lv2UiDescription {
    const char* uri;
    int32_t numAudioPorts;
};

// The plug-in defines both.
const Lv2UiDescription& lv2UiDescription();
// A new editor attached to the stand-in, or null.
AEffGUIEditor* createLv2Editor(AudioEffect* standIn);
