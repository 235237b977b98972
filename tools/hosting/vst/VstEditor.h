// A VST 2.4 plug-in's editor behind the editor interface: effEditGetRect,
// the vendor request for the display's scale, effEditOpen with the parent,
// effEditIdle, audioMasterSizeWindow and effEditClose.
#pragma once

#include "tools/hosting/PluginEditor.h"
#include "tools/hosting/vst/PluginHost.h"

class VstEditor : public PluginEditor {
public:
    explicit VstEditor(PluginHost& host) : host(host) {}

    std::string name() override { return host.text(effGetEffectName); }
    const std::string& path() const override { return host.path(); }
    bool available(std::string& why) override;
    bool size(int& width, int& height) override { return host.editorSize(width, height); }
    bool setScale(double factor) override { return host.setEditorScale(static_cast<float>(factor)); }
    void setSizer(Sizer sizer) override { host.setWindowSizer(std::move(sizer)); }
    bool open(void* parent) override { return host.dispatch(effEditOpen, 0, 0, parent) != 0; }
    void idle() override { host.dispatch(effEditIdle); }
    void close() override { host.dispatch(effEditClose); }

private:
    PluginHost& host;
};
