// Audio threads ask for real-time scheduling, as hosts' audio threads do, so
// that a block waits for the plug-in and not for whatever else the machine
// runs. Each system grants it its own way, in linux/ or win32/.
#pragma once

#include <string>

class AudioThreadPriority {
public:
    // Raises the calling thread; false, with the system's reason, when refused.
    static bool raise(std::string& reason);
    // How the raised threads are scheduled, for the report.
    static const char* describe();
};
