// quavix-host.exe: a command-line VST 2.4 host for Windows (and Wine) that
// loads any plug-in DLL, tells what it is, and runs WAV files, a built-in
// demo, or its editor through it.
#include <windows.h>

#include <cstdio>
#include <exception>
#include <string>

#include "tools/CommandLine.h"
#include "tools/HostCommands.h"

namespace {

// A plug-in that crashes ends the run at once with a message, rather than
// leaving a hung process behind a crash dialog.
LONG WINAPI reportCrash(EXCEPTION_POINTERS* exception) {
    std::fflush(stdout);
    std::fprintf(stderr, "quavix-host: crashed with exception 0x%08lX at address %p (inside the plug-in?)\n",
                 static_cast<unsigned long>(exception->ExceptionRecord->ExceptionCode),
                 exception->ExceptionRecord->ExceptionAddress);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), HostCommands::kExitFailed);
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

int main(int argc, char** argv) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(reportCrash);
    HostOptions options;
    std::string error;
    if (!CommandLine::parse(argc, argv, options, error)) {
        std::fprintf(stderr, "quavix-host: %s\n\n", error.c_str());
        CommandLine::printUsage(true);
        return HostCommands::kExitUsage;
    }
    try {
        return HostCommands(options).run();
    } catch (const std::exception& failure) {
        // Chiefly a file too large for memory.
        std::fflush(stdout);
        std::fprintf(stderr, "quavix-host: %s\n", failure.what());
        return HostCommands::kExitFailed;
    }
}
