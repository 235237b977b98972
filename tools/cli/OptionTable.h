// Every option of the tool that is no command, described once: whether it
// takes a value, which commands take it, its help text, and where its value
// goes. Parsing, the refusal of an option a command does not take, and the
// usage text all read this table.
#pragma once

#include <string>
#include <vector>

#include "tools/cli/ParsedArguments.h"

struct OptionRow {
    const char* name;
    const char* valueName;  // null: the option takes no value
    CommandSet commands;
    std::string help;  // lines after the first start with a newline
    // False for a bad value, with what a good one looks like when the
    // value's form alone does not say it.
    bool (*apply)(const char* value, ParsedArguments& parsed, std::string& expected);
};

class OptionTable {
public:
    static const std::vector<OptionRow>& all();
    // Null for an unknown option.
    static const OptionRow* find(const std::string& name);
};
