// The last word of a run in which something crashed, most likely the
// plug-in: the fault, the instruction's address, the module that holds that
// address and the plug-in being hosted, so that the user knows which file to
// blame. The faults and the way to catch them are the system's: Windows
// exceptions in win32/, signals in linux/.
#pragma once

#include <cstddef>
#include <string>

struct CrashFacts {
    unsigned long code;       // a Windows exception code, or a Linux signal number
    const void* instruction;  // where the faulting code is
    const void* dataAddress;  // the memory it reached for, when the system says
};

class CrashReport {
public:
    // From now on a crash ends the process at once with the report on
    // standard error and this exit code, instead of a crash dialog that
    // leaves the process hanging or a core dump that names nothing.
    static void install(const std::string& pluginPath, int exitCode);
    // The report, written into a fixed buffer: the heap may be what broke.
    static void describe(const CrashFacts& facts, const char* pluginPath, char* text, size_t size);
};
