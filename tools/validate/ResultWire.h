// What a group's process tells the validator, one message a line on its
// standard output, among whatever the plug-in itself prints there: which
// check starts, what it is doing (so that a crash can be placed), each
// check's result whole, and the group's end. A message starts with a
// record separator no text a plug-in prints is likely to hold, and its
// fields are escaped, so that any text inside crosses unchanged.
#pragma once

#include <string>

#include "tools/validate/CheckResult.h"

struct GroupMessage {
    enum class Kind { CheckStarts, Doing, Result, GroupDone };
    Kind kind = Kind::GroupDone;
    std::string text;  // the check's name, or what it is doing
    CheckResult result;
};

class ResultWire {
public:
    // One line, without its line end.
    static std::string encode(const GroupMessage& message);
    // False for a line that holds no whole message: the plug-in's own output,
    // a crash report. Text before the message's start is the plug-in's.
    static bool decode(const std::string& line, GroupMessage& message);
};
