// A CLAP plug-in's editor behind the editor interface, through clap.gui:
// made embedded in the system's window API when first needed (its size and
// scale are asked before it opens), given the host's window as parent and
// shown; idle time serves the timers and descriptors it registered.
#pragma once

#include <string>

#include "framework/clap/ClapInterface.h"
#include "tools/hosting/PluginEditor.h"
#include "tools/hosting/clap/ClapHost.h"

class ClapEditor : public PluginEditor {
public:
    ClapEditor(ClapHost& host, const std::string& path) : host(host), pluginPath(path) {}
    ~ClapEditor() override { close(); }
    ClapEditor(const ClapEditor&) = delete;
    ClapEditor& operator=(const ClapEditor&) = delete;

    void attach(const clap_plugin_t* created);

    std::string name() override { return plugin && plugin->desc->name ? plugin->desc->name : ""; }
    const std::string& path() const override { return pluginPath; }
    bool available(std::string& why) override;
    bool size(int& width, int& height) override;
    bool setScale(double factor) override { return made() && gui->set_scale(plugin, factor); }
    void setSizer(Sizer sizer) override { host.setSizer(std::move(sizer)); }
    bool open(void* parent) override;
    void idle() override { host.serve(); }
    void close() override;

private:
    // Makes the editor the first time it is needed; false when it will not be made.
    bool made();

    ClapHost& host;
    const std::string& pluginPath;  // the plug-in's, named once it is known
    const clap_plugin_t* plugin = nullptr;
    const clap_plugin_gui_t* gui = nullptr;
    bool created = false;
};
