#include "tools/hosting/process/CrashReport.h"

#include <dlfcn.h>
#include <signal.h>
#include <ucontext.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

const size_t kPathBytes = 4096;
char hostedPlugin[kPathBytes] = "";
int crashExitCode = 1;
// A stack overflow leaves no stack to report on: the report runs on its own.
const size_t kAlternateStackBytes = 64 * 1024;
alignas(16) char alternateStack[kAlternateStackBytes];

struct FatalSignal {
    int number;
    const char* name;
    const char* meaning;
    bool reportsData;  // si_addr is the memory reached for, not the instruction
};

const FatalSignal kFatalSignals[] = {
    {SIGSEGV, "SIGSEGV", "invalid memory access", true},
    {SIGBUS, "SIGBUS", "bus error", true},
    {SIGFPE, "SIGFPE", "arithmetic fault", false},
    {SIGILL, "SIGILL", "illegal instruction", false},
};

const FatalSignal* findSignal(unsigned long number) {
    for (const FatalSignal& signal : kFatalSignals) {
        if (static_cast<unsigned long>(signal.number) == number)
            return &signal;
    }
    return nullptr;
}

const void* instructionOf(const void* context) {
    const ucontext_t* state = static_cast<const ucontext_t*>(context);
#if defined(__x86_64__)
    return reinterpret_cast<const void*>(state->uc_mcontext.gregs[REG_RIP]);
#elif defined(__i386__)
    return reinterpret_cast<const void*>(state->uc_mcontext.gregs[REG_EIP]);
#else
    (void)state;
    return nullptr;
#endif
}

void writeAll(const char* text) {
    size_t left = std::strlen(text);
    while (left > 0) {
        ssize_t written = write(STDERR_FILENO, text, left);
        if (written <= 0)
            return;
        text += written;
        left -= static_cast<size_t>(written);
    }
}

void report(int number, siginfo_t* info, void* context) {
    const FatalSignal* signal = findSignal(static_cast<unsigned long>(number));
    const void* instruction = instructionOf(context);
    if (!instruction && signal && !signal->reportsData)
        instruction = info->si_addr;
    CrashFacts facts = {static_cast<unsigned long>(number), instruction,
                        signal && signal->reportsData ? info->si_addr : nullptr};
    char text[kPathBytes * 3];
    CrashReport::describe(facts, hostedPlugin, text, sizeof text);
    // What the tool said before the crash is still in its buffer when the
    // output is a file or a pipe.
    std::fflush(stdout);
    writeAll("quavix-host: ");
    writeAll(text);
    writeAll("\n");
    _exit(crashExitCode);
}

void hexAddress(char* text, size_t size, const void* address) {
    std::snprintf(text, size, "0x%0*llX", static_cast<int>(sizeof(void*) * 2),
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(address)));
}

}  // namespace

void CrashReport::install(const std::string& pluginPath, int exitCode) {
    std::snprintf(hostedPlugin, sizeof hostedPlugin, "%s", pluginPath.c_str());
    crashExitCode = exitCode;
    stack_t stack = {};
    stack.ss_sp = alternateStack;
    stack.ss_size = sizeof alternateStack;
    sigaltstack(&stack, nullptr);
    struct sigaction action = {};
    action.sa_sigaction = &report;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (const FatalSignal& signal : kFatalSignals)
        sigaction(signal.number, &action, nullptr);
}

void CrashReport::describe(const CrashFacts& facts, const char* pluginPath, char* text, size_t size) {
    const FatalSignal* signal = findSignal(facts.code);
    char name[64];
    if (signal)
        std::snprintf(name, sizeof name, "%s (%s)", signal->name, signal->meaning);
    else
        std::snprintf(name, sizeof name, "signal %lu", facts.code);
    char where[kPathBytes + 8] = "outside every module";
    Dl_info owner = {};
    if (facts.instruction && dladdr(facts.instruction, &owner) && owner.dli_fname && owner.dli_fname[0]) {
        std::snprintf(where, sizeof where, "in '%s'", owner.dli_fname);
    }
    char address[32], data[32];
    hexAddress(address, sizeof address, facts.instruction);
    hexAddress(data, sizeof data, facts.dataAddress);
    char reached[48] = "";
    if (signal && signal->reportsData)
        std::snprintf(reached, sizeof reached, " (reaching for %s)", data);
    std::snprintf(text, size, "crashed with %s at address %s %s%s while hosting '%s'", name, address, where, reached,
                  pluginPath);
}
