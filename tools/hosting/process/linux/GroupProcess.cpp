#include "tools/hosting/process/GroupProcess.h"

#include <poll.h>
#include <signal.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>

namespace {

const int kPollMilliseconds = 100;

double now() {
    timespec clock = {};
    clock_gettime(CLOCK_MONOTONIC, &clock);
    return static_cast<double>(clock.tv_sec) + static_cast<double>(clock.tv_nsec) * 1e-9;
}

void deliverLines(std::string& pending, const GroupProcess::LineSink& sink) {
    size_t end;
    while ((end = pending.find('\n')) != std::string::npos) {
        sink(pending.substr(0, end));
        pending.erase(0, end + 1);
    }
}

}  // namespace

GroupOutcome GroupProcess::run(const std::function<int()>& body, const std::vector<std::string>&, double timeoutSeconds,
                               const LineSink& sink) {
    GroupOutcome outcome;
    int channel[2];
    if (pipe(channel) != 0) {
        outcome.ending = "could not make a pipe for the group's process";
        return outcome;
    }
    std::fflush(stdout);
    std::fflush(stderr);
    pid_t child = fork();
    if (child < 0) {
        close(channel[0]);
        close(channel[1]);
        outcome.ending = "could not start the group's process";
        return outcome;
    }
    if (child == 0) {
        close(channel[0]);
        dup2(channel[1], STDOUT_FILENO);
        dup2(channel[1], STDERR_FILENO);
        close(channel[1]);
        int code = body();
        std::fflush(stdout);
        std::fflush(stderr);
        // No destructors of the parent's objects, no atexit handlers: they are the parent's.
        _exit(code);
    }
    close(channel[1]);
    std::string pending;
    double deadline = now() + timeoutSeconds;
    char chunk[4096];
    for (;;) {
        pollfd watch = {channel[0], POLLIN, 0};
        int ready = poll(&watch, 1, kPollMilliseconds);
        if (ready > 0) {
            ssize_t got = read(channel[0], chunk, sizeof chunk);
            if (got <= 0)
                break;
            pending.append(chunk, static_cast<size_t>(got));
            deliverLines(pending, sink);
        }
        if (now() > deadline) {
            kill(child, SIGKILL);
            outcome.timedOut = true;
            break;
        }
    }
    close(channel[0]);
    if (!pending.empty())
        sink(pending);
    int status = 0;
    waitpid(child, &status, 0);
    if (outcome.timedOut) {
        outcome.ending = "no answer within the time allowed: killed";
    } else if (WIFEXITED(status)) {
        outcome.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        outcome.ending = std::string("killed by signal ") + strsignal(WTERMSIG(status));
    }
    return outcome;
}
