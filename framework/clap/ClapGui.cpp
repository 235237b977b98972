#include "framework/clap/ClapGui.h"

#include <cmath>
#include <cstring>

#include "framework/EditorBase.h"
#include "framework/clap/ClapInstance.h"
#include "framework/clap/Guarded.h"

namespace {

#if defined(_WIN32)
constexpr const char* kWindowApi = CLAP_WINDOW_API_WIN32;
#else
constexpr const char* kWindowApi = CLAP_WINDOW_API_X11;
#endif
// The editor redraws what changed at its idle: often enough for a slider
// under automation to move smoothly, and cheap when nothing did.
constexpr uint32_t kIdlePeriodMs = 16;
constexpr double kSmallestScale = 1.0;
constexpr double kLargestScale = 3.0;

AEffEditor* editorOf(ClapInstance* instance) { return instance->effect().editor(); }

bool isOurApi(const char* api, bool floating) { return api && !floating && std::strcmp(api, kWindowApi) == 0; }

bool isApiSupported(const clap_plugin_t* plugin, const char* api, bool floating) {
    return guarded(false, [&] { return isOurApi(api, floating) && editorOf(ClapInstance::of(plugin)); });
}

bool getPreferredApi(const clap_plugin_t* plugin, const char** api, bool* floating) {
    return guarded(false, [&] {
        if (!api || !floating || !editorOf(ClapInstance::of(plugin))) {
            return false;
        }
        *api = kWindowApi;
        *floating = false;
        return true;
    });
}

bool create(const clap_plugin_t* plugin, const char* api, bool floating) {
    return guarded(false, [&] {
        ClapInstance* instance = ClapInstance::of(plugin);
        if (!isOurApi(api, floating) || !editorOf(instance) || instance->panelCreated) {
            return false;
        }
        instance->panelCreated = true;
        return true;
    });
}

void closePanel(ClapInstance& instance) {
    if (instance.panelTimer != CLAP_INVALID_ID && instance.hostTimers) {
        instance.hostTimers->unregister_timer(instance.host(), instance.panelTimer);
    }
    if (instance.panelDescriptor >= 0 && instance.hostDescriptors) {
        instance.hostDescriptors->unregister_fd(instance.host(), instance.panelDescriptor);
    }
    instance.panelTimer = CLAP_INVALID_ID;
    instance.panelDescriptor = -1;
    if (instance.panelOpen) {
        instance.effect().dispatch(effEditClose);
        instance.panelOpen = false;
    }
}

void destroy(const clap_plugin_t* plugin) {
    guarded(0, [&] {
        ClapInstance* instance = ClapInstance::of(plugin);
        closePanel(*instance);
        instance->panelCreated = false;
        return 0;
    });
}

// A scale outside 1..3 is refused: the panel has no pictures for it.
bool setScale(const clap_plugin_t* plugin, double scale) {
    return guarded(false, [&] {
        AEffEditor* editor = editorOf(ClapInstance::of(plugin));
        if (!editor || !(scale >= kSmallestScale && scale <= kLargestScale)) {
            return false;
        }
        return editor->setContentScaleFactor(static_cast<float>(scale));
    });
}

// The size at the scale the panel is, or will open, at.
bool getSize(const clap_plugin_t* plugin, uint32_t* width, uint32_t* height) {
    return guarded(false, [&] {
        ERect* rect = nullptr;
        if (!width || !height || !editorOf(ClapInstance::of(plugin)) ||
            !ClapInstance::of(plugin)->effect().dispatch(effEditGetRect, 0, 0, &rect) || !rect) {
            return false;
        }
        *width = static_cast<uint32_t>(rect->right - rect->left);
        *height = static_cast<uint32_t>(rect->bottom - rect->top);
        return true;
    });
}

bool canResize(const clap_plugin_t*) { return false; }

bool getResizeHints(const clap_plugin_t*, clap_gui_resize_hints_t* hints) {
    if (!hints) {
        return false;
    }
    *hints = clap_gui_resize_hints_t{false, false, true, 0, 0};
    return true;
}

// The panel has one size: whatever the host proposes becomes that.
bool adjustSize(const clap_plugin_t* plugin, uint32_t* width, uint32_t* height) {
    return getSize(plugin, width, height);
}

bool setSize(const clap_plugin_t* plugin, uint32_t width, uint32_t height) {
    uint32_t ownWidth = 0, ownHeight = 0;
    return getSize(plugin, &ownWidth, &ownHeight) && width == ownWidth && height == ownHeight;
}

// The host's timer drives the editor's idle; on Linux the X connection's
// descriptor wakes it as soon as events arrive.
void listenToHost(ClapInstance& instance) {
    if (instance.hostTimers && instance.hostTimers->register_timer) {
        clap_id timer = CLAP_INVALID_ID;
        if (instance.hostTimers->register_timer(instance.host(), kIdlePeriodMs, &timer)) {
            instance.panelTimer = timer;
        }
    }
    const int descriptor = editorOf(&instance)->windowEventDescriptor();
    if (descriptor >= 0 && instance.hostDescriptors && instance.hostDescriptors->register_fd &&
        instance.hostDescriptors->register_fd(instance.host(), descriptor, CLAP_POSIX_FD_READ)) {
        instance.panelDescriptor = descriptor;
    }
}

bool setParent(const clap_plugin_t* plugin, const clap_window_t* window) {
    return guarded(false, [&] {
        ClapInstance* instance = ClapInstance::of(plugin);
        if (!instance->panelCreated || !window || !isOurApi(window->api, false)) {
            return false;
        }
        closePanel(*instance);
#if defined(_WIN32)
        void* parent = window->win32;
#else
        void* parent = reinterpret_cast<void*>(static_cast<uintptr_t>(window->x11));
#endif
        if (!parent || !instance->effect().dispatch(effEditOpen, 0, 0, parent)) {
            return false;
        }
        instance->panelOpen = true;
        listenToHost(*instance);
        return true;
    });
}

bool setTransient(const clap_plugin_t*, const clap_window_t*) { return false; }

void suggestTitle(const clap_plugin_t*, const char*) {}

// Embedded, the panel is shown and hidden with the host's window.
bool show(const clap_plugin_t* plugin) {
    return guarded(false, [&] { return ClapInstance::of(plugin)->panelOpen; });
}

bool hide(const clap_plugin_t* plugin) { return show(plugin); }

void idlePanel(ClapInstance& instance) {
    if (instance.panelOpen) {
        instance.effect().dispatch(effEditIdle);
    }
}

void onTimer(const clap_plugin_t* plugin, clap_id timer) {
    guarded(0, [&] {
        ClapInstance* instance = ClapInstance::of(plugin);
        if (timer == instance->panelTimer) {
            idlePanel(*instance);
        }
        return 0;
    });
}

void onDescriptor(const clap_plugin_t* plugin, int descriptor, uint32_t /*flags*/) {
    guarded(0, [&] {
        ClapInstance* instance = ClapInstance::of(plugin);
        if (descriptor == instance->panelDescriptor) {
            idlePanel(*instance);
        }
        return 0;
    });
}

}  // namespace

const clap_plugin_gui_t& clapGuiExtension() {
    static const clap_plugin_gui_t extension{isApiSupported, getPreferredApi, create,         destroy,    setScale,
                                             getSize,        canResize,       getResizeHints, adjustSize, setSize,
                                             setParent,      setTransient,    suggestTitle,   show,       hide};
    return extension;
}

const clap_plugin_timer_support_t& clapTimerExtension() {
    static const clap_plugin_timer_support_t extension{onTimer};
    return extension;
}

const clap_plugin_posix_fd_support_t& clapDescriptorExtension() {
    static const clap_plugin_posix_fd_support_t extension{onDescriptor};
    return extension;
}
