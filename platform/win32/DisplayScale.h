// Windows' DPI awareness around the frame's window.
#pragma once

#include <windows.h>

namespace VSTGUI {

// Windows made on this thread while it lives are per-monitor DPI aware where
// the system allows it: the host's window must accept children of another
// awareness, else they take the host's. Such a window is drawn at its
// monitor's scale instead of being stretched, and hears when that changes.
class PerMonitorAwareScope {
public:
    PerMonitorAwareScope();
    ~PerMonitorAwareScope();
    PerMonitorAwareScope(const PerMonitorAwareScope&) = delete;
    PerMonitorAwareScope& operator=(const PerMonitorAwareScope&) = delete;

private:
    HANDLE previous = nullptr;
};

}  // namespace VSTGUI
