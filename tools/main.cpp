// quavix-host: a command-line VST 2.4 host, built for Windows (and Wine) and
// for Linux, that loads any plug-in library, tells what it is, and runs WAV
// files, a built-in demo, a benchmark or its editor through it.
#include <cstdio>
#include <exception>
#include <string>

#include "tools/cli/CommandLine.h"
#include "tools/hosting/process/CrashReport.h"

int main(int argc, char** argv) {
    Command command;
    std::string error;
    if (!CommandLine::parse(argc, argv, command, error)) {
        std::fprintf(stderr, "quavix-host: %s\n\n", error.c_str());
        CommandLine::printUsage(true);
        return kExitUsage;
    }
    CrashReport::install(command.hostedPlugins(), kExitFailed);
    try {
        return command.run();
    } catch (const std::exception& failure) {
        // Chiefly memory running out for what a plug-in asked, such as a huge editor.
        std::fflush(stdout);
        std::fprintf(stderr, "quavix-host: %s while hosting '%s'\n", failure.what(), command.hostedPlugins().c_str());
        return kExitFailed;
    }
}
