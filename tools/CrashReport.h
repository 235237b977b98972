// The last word of a run in which something crashed, most likely the
// plug-in: the exception, its address, the module that holds that address
// and the plug-in being hosted, so that the user knows which file to blame.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

class CrashReport {
public:
    // From now on an unhandled exception ends the process at once with the
    // report on standard error and this exit code, instead of a crash dialog
    // that leaves the process hanging.
    static void install(const std::string& pluginPath, int exitCode);
    // The report, written into a fixed buffer: the heap may be what broke.
    static void describe(DWORD code, const void* address, const char* pluginPath, char* text, size_t size);

private:
    static LONG WINAPI report(EXCEPTION_POINTERS* exception);
};
