// The tool's command line: which command to run and with what options.
#pragma once

#include <string>

#include "tools/cli/Command.h"

class CommandLine {
public:
    // False with a message for arguments that make no job.
    static bool parse(int argc, char** argv, Command& command, std::string& error);
    static void printUsage(bool toStandardError);
};
