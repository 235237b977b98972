#include "tests/linux/support/ToolProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace hosttool {

namespace {

const std::chrono::seconds kRunTimeout(60);
const int kTimedOut = 99;

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::filesystem::absolute(value).string() : "";
}

}  // namespace

std::string testPluginPath() { return environment("QUAVIX_TEST_PLUGIN"); }

std::string pluginPath() { return environment("QUAVIX_PLUGIN"); }

std::string hostPath() { return environment("QUAVIX_HOST"); }

ToolRun runTool(const std::vector<std::string>& arguments, const std::string& directory) {
    ToolRun run;
    std::string logPath = directory + "/tool-output.txt";
    std::string program = hostPath();
    std::vector<std::string> words = {program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(&word[0]);
    argv.push_back(nullptr);
    pid_t child = fork();
    if (child == 0) {
        int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (log < 0 || dup2(log, STDOUT_FILENO) < 0 || dup2(log, STDERR_FILENO) < 0 || chdir(directory.c_str()) != 0) {
            _exit(127);
        }
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    EXPECT_GT(child, 0) << "cannot start " << program;
    if (child <= 0)
        return run;
    int status = 0;
    std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::now() + kRunTimeout;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ADD_FAILURE() << "no answer within " << kRunTimeout.count() << " s";
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            status = kTimedOut << 8;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    // A death by signal shows as the shell shows it, never as a success.
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    wavbytes::Bytes text = wavbytes::readFile(logPath);
    run.output.assign(text.begin(), text.end());
    return run;
}

}  // namespace hosttool
