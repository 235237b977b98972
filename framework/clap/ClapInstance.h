// One plug-in instance as a CLAP host holds it: the effect, the record the
// host calls through, what the host offers, and the state of activation and
// of the panel. The extensions' functions (ClapParams, ClapState, ClapGui)
// reach it from the record's plugin_data.
//
// Threads as CLAP states them: the host's main thread creates, activates,
// asks for parameters, texts, state and the panel; its audio thread calls
// process, and flush while the instance is active. Nothing the audio thread
// runs allocates, locks or calls the host's main-thread functions.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/clap/ClapEffect.h"
#include "framework/clap/ClapInterface.h"
#include "framework/clap/ClapPlugin.h"
#include "framework/clap/PanelChanges.h"

class ClapInstance {
public:
    explicit ClapInstance(const clap_host_t* host);
    ClapInstance(const ClapInstance&) = delete;
    ClapInstance& operator=(const ClapInstance&) = delete;

    static ClapInstance* of(const clap_plugin_t* plugin) {
        return plugin ? static_cast<ClapInstance*>(plugin->plugin_data) : nullptr;
    }
    const clap_plugin_t* record() const { return &plugin; }
    const clap_host_t* host() const { return clapHost; }
    const ClapPluginDescription& description() const { return plugInDescription; }
    ClapEffect& effect() { return theEffect; }

    bool init();
    bool activate(double rate, uint32_t longestBlock);
    void deactivate();
    void reset();
    int32_t process(const clap_process_t& process);

    // Parameter ids are indices; these answer -1 for an id the effect lacks.
    int32_t indexOf(clap_id id) const;
    double plainValue(int32_t index, float normalized) const;
    float normalizedValue(int32_t index, double plain) const;
    // Applies a parameter value or MIDI event; others are ignored.
    void apply(const clap_event_header_t& event);
    // Tells the host what the panel did since the last call.
    void sendPanelChanges(const clap_output_events_t* out);
    // An effect no host drives, for writing the read-out of any value
    // exactly as the effect writes its own; made when first needed.
    ClapEffect* readOutEffect();
    uint32_t tailFrames();

    // The host's extensions this instance uses, each null when not offered.
    const clap_host_params_t* hostParams = nullptr;
    const clap_host_timer_support_t* hostTimers = nullptr;
    const clap_host_posix_fd_support_t* hostDescriptors = nullptr;

    // The panel's state, the main thread's.
    bool panelCreated = false;
    bool panelOpen = false;
    clap_id panelTimer = CLAP_INVALID_ID;
    int panelDescriptor = -1;

private:
    static void panelChanged(void* context);
    void processBetween(const clap_process_t& process, uint32_t from, uint32_t to);

    const clap_host_t* const clapHost;
    const ClapPluginDescription& plugInDescription;
    clap_plugin_t plugin;
    PanelChanges panelChanges;
    ClapEffect theEffect;
    std::unique_ptr<ClapEffect> readOuts;
    bool active = false;
    int32_t longestActiveBlock = 0;
};

// The record functions of every CLAP instance.
const clap_plugin_t& clapPluginRecord();
