// The one name a CLAP binary exports, clap_entry, its plug-in factory and
// the record every instance answers through.
#include <cstring>
#include <memory>
#include <new>

#include "framework/clap/ClapGui.h"
#include "framework/clap/ClapInstance.h"
#include "framework/clap/ClapParams.h"
#include "framework/clap/ClapPorts.h"
#include "framework/clap/ClapState.h"
#include "framework/clap/Guarded.h"

#if defined(_WIN32)
#define QUAVIX_CLAP_EXPORT
#else
#define QUAVIX_CLAP_EXPORT __attribute__((visibility("default")))
#endif

namespace {

bool init(const clap_plugin_t* plugin) {
    return guarded(false, [&] { return ClapInstance::of(plugin)->init(); });
}

void destroy(const clap_plugin_t* plugin) {
    guarded(0, [&] {
        ClapInstance* instance = ClapInstance::of(plugin);
        clapGuiExtension().destroy(plugin);
        delete instance;
        return 0;
    });
}

bool activate(const clap_plugin_t* plugin, double rate, uint32_t /*shortest*/, uint32_t longest) {
    return guarded(false, [&] { return ClapInstance::of(plugin)->activate(rate, longest); });
}

void deactivate(const clap_plugin_t* plugin) {
    guarded(0, [&] {
        ClapInstance::of(plugin)->deactivate();
        return 0;
    });
}

bool startProcessing(const clap_plugin_t*) { return true; }

void stopProcessing(const clap_plugin_t*) {}

void reset(const clap_plugin_t* plugin) {
    guarded(0, [&] {
        ClapInstance::of(plugin)->reset();
        return 0;
    });
}

int32_t process(const clap_plugin_t* plugin, const clap_process_t* process) {
    return guarded(static_cast<int32_t>(CLAP_PROCESS_ERROR), [&] {
        return process ? ClapInstance::of(plugin)->process(*process) : static_cast<int32_t>(CLAP_PROCESS_ERROR);
    });
}

struct Extension {
    const char* id;
    const void* (*get)();
    bool needsPanel;
};

template <typename Record, const Record& (*extension)()>
const void* extensionRecord() {
    return &extension();
}

const Extension kExtensions[] = {
    {CLAP_EXT_AUDIO_PORTS, extensionRecord<clap_plugin_audio_ports_t, clapAudioPortsExtension>, false},
    {CLAP_EXT_NOTE_PORTS, extensionRecord<clap_plugin_note_ports_t, clapNotePortsExtension>, false},
    {CLAP_EXT_PARAMS, extensionRecord<clap_plugin_params_t, clapParamsExtension>, false},
    {CLAP_EXT_STATE, extensionRecord<clap_plugin_state_t, clapStateExtension>, false},
    {CLAP_EXT_LATENCY, extensionRecord<clap_plugin_latency_t, clapLatencyExtension>, false},
    {CLAP_EXT_TAIL, extensionRecord<clap_plugin_tail_t, clapTailExtension>, false},
    {CLAP_EXT_GUI, extensionRecord<clap_plugin_gui_t, clapGuiExtension>, true},
    {CLAP_EXT_TIMER_SUPPORT, extensionRecord<clap_plugin_timer_support_t, clapTimerExtension>, true},
    {CLAP_EXT_POSIX_FD_SUPPORT, extensionRecord<clap_plugin_posix_fd_support_t, clapDescriptorExtension>, true},
};

// A headless build offers no panel, so hosts show their generic controls.
const void* getExtension(const clap_plugin_t* plugin, const char* id) {
    return guarded<const void*>(nullptr, [&]() -> const void* {
        if (!id) {
            return nullptr;
        }
        for (const Extension& extension : kExtensions) {
            if (std::strcmp(id, extension.id) == 0) {
                return extension.needsPanel && !ClapInstance::of(plugin)->effect().editor() ? nullptr : extension.get();
            }
        }
        return nullptr;
    });
}

void onMainThread(const clap_plugin_t*) {}

const clap_plugin_descriptor_t& descriptor() {
    static const clap_plugin_descriptor_t record = [] {
        const ClapPluginDescription& description = clapPluginDescription();
        return clap_plugin_descriptor_t{
            CLAP_VERSION, description.id,      description.name,        description.vendor,  description.url, "",
            "",           description.version, description.description, description.features};
    }();
    return record;
}

uint32_t pluginCount(const clap_plugin_factory_t*) { return 1; }

const clap_plugin_descriptor_t* pluginDescriptor(const clap_plugin_factory_t*, uint32_t index) {
    return guarded<const clap_plugin_descriptor_t*>(nullptr, [&] { return index == 0 ? &descriptor() : nullptr; });
}

const clap_plugin_t* createPlugin(const clap_plugin_factory_t*, const clap_host_t* host, const char* id) {
    return guarded<const clap_plugin_t*>(nullptr, [&]() -> const clap_plugin_t* {
        if (!host || !id || std::strcmp(id, descriptor().id) != 0) {
            return nullptr;
        }
        ClapInstance* instance = new (std::nothrow) ClapInstance(host);
        return instance ? instance->record() : nullptr;
    });
}

const clap_plugin_factory_t kFactory{pluginCount, pluginDescriptor, createPlugin};

bool entryInit(const char*) { return true; }

void entryDeinit() {}

const void* entryFactory(const char* id) {
    return id && std::strcmp(id, CLAP_PLUGIN_FACTORY_ID) == 0 ? &kFactory : nullptr;
}

}  // namespace

const clap_plugin_t& clapPluginRecord() {
    static const clap_plugin_t record{&descriptor(),   nullptr,        init,  destroy, activate,     deactivate,
                                      startProcessing, stopProcessing, reset, process, getExtension, onMainThread};
    return record;
}

extern "C" QUAVIX_CLAP_EXPORT const clap_plugin_entry_t clap_entry{CLAP_VERSION, entryInit, entryDeinit, entryFactory};
