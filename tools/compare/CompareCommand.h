// --compare A B: whether two plug-ins, whatever their formats, sound the
// same to the bit through one deterministic stimulus.
#pragma once

#include <string>

struct CompareOptions {
    std::string first;
    std::string second;
};

class CompareCommand {
public:
    // kExitDone when identical, kExitFailed when they differ or cannot be compared.
    static int run(const CompareOptions& options);
};
