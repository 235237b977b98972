// Every command of the tool, described once: the option that picks it, the
// operands it takes, its line in the usage text, how it is made from what
// the command line said, and how it runs. A new command is a row here, its
// options rows of OptionTable, and its options' structure a member of Command.
#pragma once

#include <string>
#include <vector>

#include "tools/cli/ParsedArguments.h"

enum class Operands { None, Plugin, PluginAndTwoFiles, Plugins };

struct CommandRow {
    HostMode mode;
    const char* selector;   // the option that picks it; null for the two their operands pick
    const char* valueName;  // the selector's value, or null
    const char* title;      // how messages name it
    Operands operands;
    const char* synopsis;  // null: left out of the usage text
    const char* summary;
    // Moves what it takes from the parsed arguments into the command; false
    // with a message for operands it cannot use.
    bool (*build)(ParsedArguments& parsed, Command& command, std::string& error);
    int (*run)(const Command& command);
    std::string (*plugins)(const Command& command);
};

class CommandTable {
public:
    static const std::vector<CommandRow>& all();
    static const CommandRow& of(HostMode mode);
    // Null when no command is picked by that option.
    static const CommandRow* selectedBy(const std::string& option);
    // Whether the command opens the plug-in's editor.
    static bool opensEditors(HostMode mode);
    // The titles of these commands in table order: "--editor-png and --gui".
    static std::string titles(CommandSet commands);
};
