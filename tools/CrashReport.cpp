#include "tools/CrashReport.h"

#include <cstdio>

namespace {
char hostedPlugin[MAX_PATH * 4] = "";
int crashExitCode = 1;
}  // namespace

void CrashReport::install(const std::string& pluginPath, int exitCode) {
    std::snprintf(hostedPlugin, sizeof hostedPlugin, "%s", pluginPath.c_str());
    crashExitCode = exitCode;
    SetUnhandledExceptionFilter(&CrashReport::report);
}

void CrashReport::describe(DWORD code, const void* address, const char* pluginPath, char* text, size_t size) {
    char module[MAX_PATH * 4] = "";
    char where[sizeof module + 8] = "outside every module";
    HMODULE owner = nullptr;
    // A null address would name the program itself.
    if (address && GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           static_cast<LPCSTR>(address), &owner) &&
        GetModuleFileNameA(owner, module, sizeof module) > 0) {
        std::snprintf(where, sizeof where, "in '%s'", module);
    }
    std::snprintf(text, size, "crashed with exception 0x%08lX at address %p %s while hosting '%s'",
                  static_cast<unsigned long>(code), address, where, pluginPath);
}

LONG WINAPI CrashReport::report(EXCEPTION_POINTERS* exception) {
    char text[MAX_PATH * 12];
    describe(exception->ExceptionRecord->ExceptionCode, exception->ExceptionRecord->ExceptionAddress, hostedPlugin,
             text, sizeof text);
    std::fflush(stdout);
    std::fprintf(stderr, "quavix-host: %s\n", text);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(crashExitCode));
    return EXCEPTION_EXECUTE_HANDLER;
}
