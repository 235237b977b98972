#include "tools/hosting/clap/ClapHost.h"

#include <algorithm>
#include <cstring>

#include "tools/hosting/clap/ClapSystem.h"

namespace {

ClapHost& hostOf(const clap_host_t* host) { return *static_cast<ClapHost*>(host->host_data); }

bool registerTimer(const clap_host_t* host, uint32_t period, clap_id* id) {
    return id && hostOf(host).addTimer(period, *id);
}
bool unregisterTimer(const clap_host_t* host, clap_id id) { return hostOf(host).removeTimer(id); }
bool registerFd(const clap_host_t* host, int fd, uint32_t flags) { return hostOf(host).watch(fd, flags); }
bool modifyFd(const clap_host_t* host, int fd, uint32_t flags) { return hostOf(host).watch(fd, flags); }
bool unregisterFd(const clap_host_t* host, int fd) { return hostOf(host).unwatch(fd); }
bool requestResize(const clap_host_t* host, uint32_t width, uint32_t height) {
    return hostOf(host).resize(width, height);
}
// The editor's window is the host's; it shows and hides with it.
void hintsChanged(const clap_host_t*) {}
bool requestShowOrHide(const clap_host_t*) { return false; }
void guiClosed(const clap_host_t*, bool) {}

const clap_host_timer_support_t kTimers = {registerTimer, unregisterTimer};
const clap_host_posix_fd_support_t kDescriptors = {registerFd, modifyFd, unregisterFd};
const clap_host_gui_t kGui = {hintsChanged, requestResize, requestShowOrHide, requestShowOrHide, guiClosed};

const void* extension(const clap_host_t*, const char* id) {
    if (std::strcmp(id, CLAP_EXT_TIMER_SUPPORT) == 0)
        return &kTimers;
    if (std::strcmp(id, CLAP_EXT_POSIX_FD_SUPPORT) == 0)
        return &kDescriptors;
    if (std::strcmp(id, CLAP_EXT_GUI) == 0)
        return &kGui;
    return nullptr;
}

// Restarts, processing and main-thread callbacks are what a live session
// would honour; an offline host runs each job to its end regardless.
void nothingRequested(const clap_host_t*) {}

}  // namespace

ClapHost::ClapHost()
    : host{CLAP_VERSION, this,      "quavix-host",    "Quavix project", "",
           "1.0",        extension, nothingRequested, nothingRequested, nothingRequested} {}

bool ClapHost::addTimer(uint32_t periodMilliseconds, clap_id& id) {
    const std::chrono::milliseconds period(std::max<uint32_t>(periodMilliseconds, 1));
    id = nextTimer++;
    timers.push_back({id, period, std::chrono::steady_clock::now() + period});
    return true;
}

bool ClapHost::removeTimer(clap_id id) {
    const size_t before = timers.size();
    timers.erase(std::remove_if(timers.begin(), timers.end(), [id](const Timer& t) { return t.id == id; }),
                 timers.end());
    return timers.size() != before;
}

bool ClapHost::watch(int fd, uint32_t flags) {
    unwatch(fd);
    descriptors.push_back({fd, flags});
    return true;
}

bool ClapHost::unwatch(int fd) {
    const size_t before = descriptors.size();
    descriptors.erase(
        std::remove_if(descriptors.begin(), descriptors.end(), [fd](const Descriptor& d) { return d.fd == fd; }),
        descriptors.end());
    return descriptors.size() != before;
}

// Copies of the lists: a handler may register or unregister as it runs.
void ClapHost::serve() {
    if (!plugin)
        return;
    const auto* timerSupport =
        static_cast<const clap_plugin_timer_support_t*>(plugin->get_extension(plugin, CLAP_EXT_TIMER_SUPPORT));
    const auto now = std::chrono::steady_clock::now();
    for (Timer timer : std::vector<Timer>(timers)) {
        if (!timerSupport || now < timer.due)
            continue;
        for (Timer& kept : timers) {
            if (kept.id == timer.id)
                kept.due = now + kept.period;
        }
        timerSupport->on_timer(plugin, timer.id);
    }
    const auto* fdSupport =
        static_cast<const clap_plugin_posix_fd_support_t*>(plugin->get_extension(plugin, CLAP_EXT_POSIX_FD_SUPPORT));
    for (const Descriptor& descriptor : std::vector<Descriptor>(descriptors)) {
        const uint32_t ready = fdSupport ? clapReadyFlags(descriptor.fd, descriptor.flags) : 0;
        if (ready)
            fdSupport->on_fd(plugin, descriptor.fd, ready);
    }
}
