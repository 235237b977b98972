// The host's side of a CLAP plug-in: the host record and the extensions the
// tool offers it (timers and file descriptors for an editor's event loop,
// and the editor's requests to resize), and the timers and descriptors the
// plug-in registered, served whenever the editor gets idle time.
#pragma once

#include <chrono>
#include <vector>

#include "framework/clap/ClapInterface.h"
#include "tools/hosting/PluginEditor.h"

class ClapHost {
public:
    ClapHost();
    ClapHost(const ClapHost&) = delete;
    ClapHost& operator=(const ClapHost&) = delete;

    const clap_host_t* record() const { return &host; }
    // The plug-in whose timers and descriptors this host serves.
    void attach(const clap_plugin_t* created) { plugin = created; }
    void setSizer(PluginEditor::Sizer resize) { sizer = std::move(resize); }
    // Calls the plug-in's timers that are due and its descriptors that are ready.
    void serve();

    bool addTimer(uint32_t periodMilliseconds, clap_id& id);
    bool removeTimer(clap_id id);
    bool watch(int fd, uint32_t flags);
    bool unwatch(int fd);
    bool resize(uint32_t width, uint32_t height) { return sizer && sizer(int(width), int(height)); }

private:
    struct Timer {
        clap_id id;
        std::chrono::milliseconds period;
        std::chrono::steady_clock::time_point due;
    };
    struct Descriptor {
        int fd;
        uint32_t flags;
    };

    clap_host_t host;
    const clap_plugin_t* plugin = nullptr;
    std::vector<Timer> timers;
    std::vector<Descriptor> descriptors;
    clap_id nextTimer = 1;
    PluginEditor::Sizer sizer;
};
