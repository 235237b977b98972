// The plug-in's editor as an LV2 panel in an X window the host gives. The
// panel never sees the DSP: it draws a stand-in effect that holds the
// parameter values, tells the host of the user's changes through port
// writes in each port's own range, and learns of the host's changes, and of
// where MIDI has moved the reported parameter, through port events. It has
// one size at a scale, and tells it to a host that offers ui:resize.
#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cstring>
#include <new>
#include <vector>

#include "framework/ExtendedEffectBase.h"
#include "framework/lv2/Lv2Plugin.h"
#include "toolkit/editor/ViewTreeEditor.h"
#include "toolkit/lv2/Lv2UiPlugin.h"
#include "toolkit/views/CFrame.h"

namespace {

// Port values arrive and leave as plain floats.
constexpr uint32_t kFloatProtocol = 0;
// What ui:resize returns for a size the panel cannot take.
constexpr int kResizeRefused = 1;

class StandInEffect : public AudioEffectX {
public:
    StandInEffect(const Lv2PluginDescription& plugin, int32_t firstControlPort, LV2UI_Write_Function write,
                  LV2UI_Controller controller, const LV2UI_Touch* touch, const LV2UI_Resize* hostResize)
        : AudioEffectX(nullptr, 1, plugin.numControls),
          plugin(plugin),
          firstControlPort(firstControlPort),
          write(write),
          controller(controller),
          touch(touch),
          hostResize(hostResize),
          values(static_cast<size_t>(plugin.numControls), 0.0f) {}

    void processReplacing(float** /*inputs*/, float** /*outputs*/, VstInt32 /*sampleFrames*/) override {}

    void setParameter(VstInt32 index, float value) override {
        if (!isParameter(index))
            return;
        values[static_cast<size_t>(index)] = value;
        if (AEffGUIEditor* shown = dynamic_cast<AEffGUIEditor*>(editor))
            shown->setParameter(index, value);
    }

    float getParameter(VstInt32 index) override {
        return isParameter(index) ? values[static_cast<size_t>(index)] : 0.0f;
    }

    // The user's change: the host hears it as a write to the control port,
    // which reaches the DSP the way any other change of the port does.
    void setParameterAutomated(VstInt32 index, float value) override {
        if (!isParameter(index))
            return;
        setParameter(index, value);
        const float portValue = toPort(index, value);
        if (write)
            write(controller, controlPort(index), sizeof(float), kFloatProtocol, &portValue);
    }

    // A gesture is the host's business only when it asked to hear of them.
    bool beginEdit(VstInt32 index) override { return grab(index, true); }
    bool endEdit(VstInt32 index) override { return grab(index, false); }

    // The editor asks a VST host to size its window; here the host's
    // ui:resize does, so the frame's own size changes (a new display scale)
    // reach the host as the first size does.
    VstInt32 canHostDo(char* text) override {
        return text && std::strcmp(text, AEffGUIEditor::kSizeWindowAbility) == 0 && hostResizes() ? 1 : 0;
    }

    bool sizeWindow(VstInt32 width, VstInt32 height) override {
        return hostResizes() && hostResize->ui_resize(hostResize->handle, width, height) == 0;
    }

    // A port event: a control input the host changed, or the reported
    // parameter where the DSP has it now.
    void portChanged(uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
        if (format != kFloatProtocol || size != sizeof(float) || !buffer)
            return;
        float portValue = 0.0f;
        std::memcpy(&portValue, buffer, sizeof portValue);
        int32_t index = -1;
        if (port >= static_cast<uint32_t>(firstControlPort) &&
            port < static_cast<uint32_t>(firstControlPort + plugin.numControls))
            index = static_cast<int32_t>(port) - firstControlPort;
        else if (port == static_cast<uint32_t>(firstControlPort + plugin.numControls + 1) && reportsAValue(portValue))
            index = plugin.reportedParameter;
        if (isParameter(index))
            setParameter(index, toParameter(index, portValue));
    }

private:
    bool isParameter(int32_t index) const { return index >= 0 && index < plugin.numControls; }
    uint32_t controlPort(int32_t index) const { return static_cast<uint32_t>(firstControlPort + index); }
    bool hostResizes() const { return hostResize && hostResize->ui_resize; }

    // A host that has not run the plug-in yet reports the output as it holds
    // it, usually 0, outside the port's range: the control input's value
    // stays shown until the plug-in has reported one of its own.
    bool reportsAValue(float portValue) const {
        if (!isParameter(plugin.reportedParameter))
            return false;
        const Lv2ControlRange& range = plugin.controls[plugin.reportedParameter];
        return portValue >= range.minimum && portValue <= range.maximum;
    }

    bool grab(VstInt32 index, bool grabbed) {
        if (!touch || !touch->touch || !isParameter(index))
            return false;
        touch->touch(touch->handle, controlPort(index), grabbed);
        return true;
    }

    // As the DSP adapter maps them: linear between the port's two ends.
    float toParameter(int32_t index, float portValue) const {
        const Lv2ControlRange& range = plugin.controls[index];
        return static_cast<float>((static_cast<double>(portValue) - range.minimum) /
                                  (static_cast<double>(range.maximum) - range.minimum));
    }

    float toPort(int32_t index, float parameter) const {
        const Lv2ControlRange& range = plugin.controls[index];
        return static_cast<float>(range.minimum + (static_cast<double>(range.maximum) - range.minimum) *
                                                      static_cast<double>(parameter));
    }

    const Lv2PluginDescription& plugin;
    const int32_t firstControlPort;
    const LV2UI_Write_Function write;
    const LV2UI_Controller controller;
    const LV2UI_Touch* const touch;
    const LV2UI_Resize* const hostResize;
    std::vector<float> values;
};

struct Panel {
    StandInEffect* effect;  // owns the editor
    AEffGUIEditor* editor;
    // The last size the host asked for that the panel does not have: asked
    // again, it is refused without another answer, so a host that keeps
    // asking cannot set the two sides answering each other for ever.
    VSTGUI::PanelSize refused;
};

const void* findFeature(const LV2_Feature* const* features, const char* uri) {
    for (const LV2_Feature* const* feature = features; feature && *feature; ++feature)
        if ((*feature)->URI && std::strcmp((*feature)->URI, uri) == 0)
            return (*feature)->data;
    return nullptr;
}

// The display's scale where the host gives it as an option; 0 otherwise.
float hostScaleFactor(const LV2_Feature* const* features) {
    const auto* options = static_cast<const LV2_Options_Option*>(findFeature(features, LV2_OPTIONS__options));
    const auto* map = static_cast<const LV2_URID_Map*>(findFeature(features, LV2_URID__map));
    if (!options || !map)
        return 0.0f;
    const LV2_URID scaleFactor = map->map(map->handle, LV2_UI__scaleFactor);
    const LV2_URID floatType = map->map(map->handle, LV2_ATOM__Float);
    for (const LV2_Options_Option* option = options; option->key || option->value; ++option)
        if (option->key == scaleFactor && option->type == floatType && option->size == sizeof(float) && option->value)
            return *static_cast<const float*>(option->value);
    return 0.0f;
}

// Hosts that put the panel in a window container of their own (Qtractor,
// MusE) read no size hints of an embedded window: they size the container
// from this call, else from a default of their own.
void announceSize(Panel* panel) {
    const VSTGUI::PanelSize size = panel->editor->panelSize();
    panel->editor->resizeHostWindow(size.width, size.height);
}

LV2UI_Handle instantiate(const LV2UI_Descriptor* /*descriptor*/, const char* pluginUri, const char* /*bundlePath*/,
                         LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
                         const LV2_Feature* const* features) {
    const Lv2PluginDescription& plugin = lv2PluginDescription();
    // The panel is an X window inside the host's; without one it has nowhere to go.
    void* parent = const_cast<void*>(findFeature(features, LV2_UI__parent));
    if (!pluginUri || std::strcmp(pluginUri, plugin.uri) != 0 || !parent || !widget)
        return nullptr;
    const auto* touch = static_cast<const LV2UI_Touch*>(findFeature(features, LV2_UI__touch));
    const auto* hostResize = static_cast<const LV2UI_Resize*>(findFeature(features, LV2_UI__resize));
    StandInEffect* effect = new (std::nothrow)
        StandInEffect(plugin, lv2UiDescription().numAudioPorts, write, controller, touch, hostResize);
    if (!effect)
        return nullptr;
    AEffGUIEditor* editor = createLv2Editor(effect);
    Panel* panel = editor ? new (std::nothrow) Panel{effect, editor, {}} : nullptr;
    const float scale = hostScaleFactor(features);
    if (editor && scale > 0.0f)
        editor->setContentScaleFactor(scale);
    if (!panel || !editor->open(parent) || !editor->getFrame() || !editor->getFrame()->getSystemWindow()) {
        delete panel;
        delete effect;
        return nullptr;
    }
    *widget = editor->getFrame()->getSystemWindow();
    announceSize(panel);
    return panel;
}

void cleanup(LV2UI_Handle handle) {
    Panel* panel = static_cast<Panel*>(handle);
    panel->editor->close();
    delete panel->effect;
    delete panel;
}

void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
    static_cast<Panel*>(handle)->effect->portChanged(port, size, format, buffer);
}

// The panel reads its window's events and draws only here, on the host's UI thread.
int idle(LV2UI_Handle handle) {
    static_cast<Panel*>(handle)->editor->idle();
    return 0;
}

// The host asks the panel to take a size. It has one at its scale: a request
// for that size succeeds, any other is refused and answered, once per size
// asked, with the panel's own size through the host's ui:resize.
int resizeRequested(LV2UI_Feature_Handle handle, int width, int height) {
    Panel* panel = static_cast<Panel*>(handle);
    if (!panel)
        return kResizeRefused;
    const VSTGUI::PanelSize asked{width, height};
    if (asked == panel->editor->panelSize())
        return 0;
    if (asked != panel->refused) {
        panel->refused = asked;
        announceSize(panel);
    }
    return kResizeRefused;
}

const LV2UI_Idle_Interface kIdleInterface = {idle};
const LV2UI_Resize kResizeInterface = {nullptr, resizeRequested};

const void* extensionData(const char* uri) {
    if (!uri)
        return nullptr;
    if (std::strcmp(uri, LV2_UI__idleInterface) == 0)
        return &kIdleInterface;
    return std::strcmp(uri, LV2_UI__resize) == 0 ? &kResizeInterface : nullptr;
}

}  // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
    static const LV2UI_Descriptor descriptor = {lv2UiDescription().uri, instantiate, cleanup, portEvent, extensionData};
    return index == 0 ? &descriptor : nullptr;
}
