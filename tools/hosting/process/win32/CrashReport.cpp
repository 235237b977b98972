#include "tools/hosting/process/CrashReport.h"

#include <windows.h>

#include <cstdio>

namespace {

char hostedPlugin[MAX_PATH * 4] = "";
int crashExitCode = 1;

// Access violations tell what they reached for, and whether to read or write.
const void* dataAddressOf(const EXCEPTION_RECORD& record) {
    if (record.ExceptionCode != EXCEPTION_ACCESS_VIOLATION || record.NumberParameters < 2)
        return nullptr;
    return reinterpret_cast<const void*>(record.ExceptionInformation[1]);
}

LONG WINAPI report(EXCEPTION_POINTERS* exception) {
    const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
    CrashFacts facts = {record.ExceptionCode, record.ExceptionAddress, dataAddressOf(record)};
    char text[MAX_PATH * 12];
    CrashReport::describe(facts, hostedPlugin, text, sizeof text);
    std::fflush(stdout);
    std::fprintf(stderr, "quavix-host: %s\n", text);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(crashExitCode));
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

void CrashReport::install(const std::string& pluginPath, int exitCode) {
    // No dialog boxes for a missing drive, a missing DLL or a crash: a
    // command-line tool must end with a message, not wait for a click.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    std::snprintf(hostedPlugin, sizeof hostedPlugin, "%s", pluginPath.c_str());
    crashExitCode = exitCode;
    SetUnhandledExceptionFilter(&report);
}

void CrashReport::describe(const CrashFacts& facts, const char* pluginPath, char* text, size_t size) {
    char module[MAX_PATH * 4] = "";
    char where[sizeof module + 8] = "outside every module";
    HMODULE owner = nullptr;
    // A null address would name the program itself.
    if (facts.instruction &&
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           static_cast<LPCSTR>(facts.instruction), &owner) &&
        GetModuleFileNameA(owner, module, sizeof module) > 0) {
        std::snprintf(where, sizeof where, "in '%s'", module);
    }
    char reached[48] = "";
    if (facts.code == EXCEPTION_ACCESS_VIOLATION) {
        std::snprintf(reached, sizeof reached, " (reaching for 0x%0*llX)", static_cast<int>(sizeof(void*) * 2),
                      static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(facts.dataAddress)));
    }
    std::snprintf(text, size, "crashed with exception 0x%08lX at address 0x%0*llX %s%s while hosting '%s'", facts.code,
                  static_cast<int>(sizeof(void*) * 2),
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(facts.instruction)), where, reached,
                  pluginPath);
}
