// The validator's report for people, printed from the checks' results as
// each group's process hands them over: one line per check with what it
// found, a table of figures per group, and the tally last.
#pragma once

#include <string>
#include <vector>

#include "tools/validate/CheckResult.h"

class ValidationReport {
public:
    void startGroup(const std::string& title, size_t number, size_t count, const std::string& id,
                    const std::vector<std::string>& notes);
    void notRun(const std::string& why);
    void check(const CheckResult& result);
    // The group's process ended before the group did: a failure of the
    // group, placed by the check under way and what it was doing.
    void died(const std::string& title, const std::string& how, const std::string& check, const std::string& doing,
              const std::vector<std::string>& lastLines);
    void endGroup();
    void summary();
    bool anyFailed() const { return failed > 0; }

private:
    void findings(const CheckResult& result);

    std::vector<Figure> figures;
    int passed = 0;
    int failed = 0;
    int warnings = 0;
};
