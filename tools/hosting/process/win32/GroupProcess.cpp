#include "tools/hosting/process/GroupProcess.h"

#include <windows.h>

namespace {

const DWORD kPollMilliseconds = 20;

// The rules CommandLineToArgvW undoes: quotes around, backslashes doubled before a quote.
std::string quoted(const std::string& argument) {
    std::string text = "\"";
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        text.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        text += c;
    }
    text.append(backslashes * 2, '\\');
    return text + "\"";
}

void deliverLines(std::string& pending, const GroupProcess::LineSink& sink) {
    size_t end;
    while ((end = pending.find('\n')) != std::string::npos) {
        std::string line = pending.substr(0, end);
        // The child writes its pipe in text mode.
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        sink(line);
        pending.erase(0, end + 1);
    }
}

}  // namespace

GroupOutcome GroupProcess::run(const std::function<int()>&, const std::vector<std::string>& arguments,
                               double timeoutSeconds, const LineSink& sink) {
    GroupOutcome outcome;
    char self[MAX_PATH * 4];
    DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
    if (length == 0 || length >= sizeof self) {
        outcome.ending = "cannot find the tool's own program to start the group";
        return outcome;
    }
    std::string commandLine = quoted(self);
    for (const std::string& argument : arguments)
        commandLine += " " + quoted(argument);

    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
        outcome.ending = "could not make a pipe for the group's process";
        return outcome;
    }
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    HANDLE nothing =
        CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nothing;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process = {};
    std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back(0);
    BOOL started = CreateProcessA(self, mutableLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                                  &startup, &process);
    CloseHandle(writeEnd);
    if (nothing != INVALID_HANDLE_VALUE)
        CloseHandle(nothing);
    if (!started) {
        CloseHandle(readEnd);
        outcome.ending = "could not start the group's process (error " + std::to_string(GetLastError()) + ")";
        return outcome;
    }
    CloseHandle(process.hThread);
    std::string pending;
    ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeoutSeconds * 1000.0);
    char chunk[4096];
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr))
            break;  // the child closed its end
        if (available > 0) {
            DWORD got = 0;
            if (!ReadFile(readEnd, chunk, available < sizeof chunk ? available : sizeof chunk, &got, nullptr) ||
                got == 0) {
                break;
            }
            pending.append(chunk, got);
            deliverLines(pending, sink);
            continue;
        }
        if (GetTickCount64() > deadline) {
            TerminateProcess(process.hProcess, 99);
            outcome.timedOut = true;
            break;
        }
        // The child may have ended while something it started still holds the pipe.
        if (WaitForSingleObject(process.hProcess, kPollMilliseconds) == WAIT_OBJECT_0) {
            if (!PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) || available == 0)
                break;
        }
    }
    CloseHandle(readEnd);
    if (!pending.empty())
        sink(pending);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    if (outcome.timedOut)
        outcome.ending = "no answer within the time allowed: killed";
    else
        outcome.exitCode = static_cast<int>(code);
    return outcome;
}
