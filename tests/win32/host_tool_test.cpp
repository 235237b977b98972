// quavix-host.exe on QUAVIX.dll: the behaviour every build shares
// (tests/tools/), how Windows answers the system's questions, and what only
// the Windows build does: host the editor, and name the module of a crash.
#include <windows.h>

#include "tests/tools/HostToolCases.h"
#include "tests/tools/LibraryFormatCases.h"
#include "tools/hosting/process/CrashReport.h"

namespace hosttool {

namespace {

const DWORD kRunTimeoutMs = 60000;
const UINT kTimedOut = 99;
const int kEditorWidth = 330;
const int kEditorHeight = 354;

std::string fullPath(const std::string& path) {
    char buffer[MAX_PATH * 4];
    DWORD length = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    return length > 0 && length < sizeof buffer ? std::string(buffer, length) : path;
}

std::string quote(const std::string& argument) { return "\"" + argument + "\""; }

}  // namespace

std::string pluginPath() {
    const char* dll = std::getenv("QUAVIX_DLL");
    return dll ? fullPath(dll) : "";
}

// The tool sits beside the plug-in in dist/ unless QUAVIX_HOST says otherwise.
std::string hostPath() {
    if (const char* host = std::getenv("QUAVIX_HOST"))
        return fullPath(host);
    std::string dll = pluginPath();
    size_t slash = dll.find_last_of("\\/");
    return slash == std::string::npos ? "quavix-host.exe" : dll.substr(0, slash + 1) + "quavix-host.exe";
}

bool pluginHasEditor() { return true; }

bool stressCountsLocking() { return false; }

std::string nullDevice() { return "NUL"; }

std::string libraryWithoutEntry() {
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    return std::string(system) + "\\msimg32.dll";
}

bool growSparse(const std::string& path, uint64_t length) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(length);
    bool grown = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return grown;
}

// Windows ignores case, and resolves ".." before it looks for a directory.
std::vector<std::string> aliasesOf(const std::string& directory, const std::string& name) {
    std::string upper = name, lower = name;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return {directory + "\\" + upper, lower, "sub\\..\\" + name};
}

std::vector<ForeignLibrary> foreignLibraries() {
    using namespace libraryformat;
    bool is64 = sizeof(void*) == 8;
    return {
        {"quavix.so", elfHeader(kElf64, kElfX86_64), "is a Linux plug-in; use dist/linux-x86_64/quavix-host"},
        is64 ? ForeignLibrary{"QUAVIX32.dll", peHeader(kPeI386),
                              "is a 32-bit Windows plug-in; use dist/win32/quavix-host.exe"}
             : ForeignLibrary{"QUAVIX64.dll", peHeader(kPeAmd64),
                              "is a 64-bit Windows plug-in; use dist/win64/quavix-host.exe"},
    };
}

ToolRun runTool(const std::vector<std::string>& arguments, const std::string& directory) {
    ToolRun run;
    std::string commandLine = quote(hostPath());
    for (const std::string& argument : arguments)
        commandLine += " " + quote(argument);
    std::string logPath = directory + "\\tool-output.txt";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE log = CreateFileA(logPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(log, INVALID_HANDLE_VALUE);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = log;
    startup.hStdError = log;
    PROCESS_INFORMATION child = {};
    BOOL started = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, directory.c_str(),
                                  &startup, &child);
    CloseHandle(log);
    EXPECT_TRUE(started) << commandLine;
    if (!started)
        return run;
    if (WaitForSingleObject(child.hProcess, kRunTimeoutMs) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "no answer within " << kRunTimeoutMs << " ms: " << commandLine;
        TerminateProcess(child.hProcess, kTimedOut);
        WaitForSingleObject(child.hProcess, INFINITE);
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(child.hProcess, &exitCode);
    run.exitCode = static_cast<int>(exitCode);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    // Text-mode streams end lines with CR LF; the shared checks expect LF.
    for (uint8_t c : wavbytes::readFile(logPath)) {
        if (c == '\n' && !run.output.empty() && run.output.back() == '\r')
            run.output.back() = '\n';
        else
            run.output += static_cast<char>(c);
    }
    return run;
}

namespace {

TEST_F(HostToolTest, EditorPictureIsAPngOfTheEditorsSize) {
    ToolRun run = host({"--editor-png", file("editor.png"), pluginPath()});
    ASSERT_EQ(run.exitCode, kExitDone) << run.output;
    wavbytes::Bytes png = wavbytes::readFile(file("editor.png"));
    ASSERT_GT(png.size(), 33u);
    const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_EQ(std::memcmp(png.data(), signature, sizeof signature), 0);
    EXPECT_EQ(std::memcmp(png.data() + 12, "IHDR", 4), 0);
    auto bigEndian = [&](size_t at) {
        return (png[at] << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3];
    };
    EXPECT_EQ(bigEndian(16), kEditorWidth);
    EXPECT_EQ(bigEndian(20), kEditorHeight);
}

// Cairo draws response pictures, and the cross-build has none.
TEST_F(HostToolTest, ResponsePictureNamesTheLinuxBuild) {
    ToolRun run = host({"--response-png", file("response.png"), pluginPath()});
    EXPECT_EQ(run.exitCode, kExitFailed) << run.output;
    EXPECT_TRUE(run.says("response pictures are available in the Linux build: run dist/linux-x86_64/quavix-host"))
        << run.output;
    EXPECT_FALSE(fileExists(file("response.png")));
}

TEST_F(HostToolTest, GuiSessionOpensAndClosesTheEditorCleanly) {
    ToolRun run = host({"--gui", pluginPath(), "--close-after", "1"});
    EXPECT_EQ(run.exitCode, kExitDone) << run.output;
    EXPECT_TRUE(run.says("Editor and plug-in closed")) << run.output;
}

TEST(HostToolPlugins, CrashReportNamesTheModuleTheAddressesAndThePlugin) {
    char program[MAX_PATH];
    GetModuleFileNameA(nullptr, program, sizeof program);
    const void* inProgram = reinterpret_cast<const void*>(&OddPlugin::entry);
    char text[2048];
    CrashReport::describe({0xC0000005, inProgram, nullptr}, "odd.dll", text, sizeof text);
    std::string report = text;
    EXPECT_NE(report.find("exception 0xC0000005"), std::string::npos) << report;
    EXPECT_NE(report.find(std::string("in '") + program + "'"), std::string::npos) << report;
    EXPECT_NE(report.find("'odd.dll'"), std::string::npos) << report;
    // Every hex digit of a 64-bit address, and a null access named as one.
    char address[32];
    std::snprintf(address, sizeof address, "at address 0x%0*llX", static_cast<int>(sizeof(void*) * 2),
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(inProgram)));
    EXPECT_NE(report.find(address), std::string::npos) << report;
    EXPECT_NE(report.find(std::string("(reaching for 0x") + std::string(sizeof(void*) * 2, '0') + ")"),
              std::string::npos)
        << report;
    CrashReport::describe({0xC0000005, nullptr, nullptr}, "odd.dll", text, sizeof text);
    EXPECT_NE(std::string(text).find("outside every module"), std::string::npos) << text;
    CrashReport::describe({0xC0000094, inProgram, nullptr}, "odd.dll", text, sizeof text);
    EXPECT_EQ(std::string(text).find("reaching for"), std::string::npos) << text;
}

}  // namespace
}  // namespace hosttool
