// quavix-host --validate: any VST 2.4 plug-in through groups of small named
// checks, each group in a child process so that a crash or a hang is that
// group's failure and the run goes on. Prints one line per check, a table
// of figures per group, and "N passed, M failed" last.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/validate/CheckContext.h"
#include "tools/validate/ValidationReport.h"

struct ValidateOptions {
    std::string pluginPath;
    int strictness = ValidationSettings::kDefaultStrictness;  // --strictness
    unsigned long long seed = 0;                              // --seed: the random stream, printed for reruns
    bool seedGiven = false;
    std::string group;  // the hidden --validate-group: one group in this process
};

class Validator {
public:
    explicit Validator(const ValidateOptions& options);

    // The whole run; 0 when nothing failed.
    int run();
    // One group in this process (the child's side of --validate-group).
    int runGroup(const std::string& id);

private:
    struct GroupProgress;
    void runInChild(const std::string& id, const std::string& title);
    void receive(const std::string& line, GroupProgress& progress);
    std::vector<std::string> childArguments(const std::string& id) const;

    std::string pluginPath;
    int strictness;
    uint64_t seed;
    ValidationReport report;
    bool unloadable = false;
};
