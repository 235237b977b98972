// What one check found: its verdict, the first few failures and warnings in
// the order they came with how many there were in all, its notes and its
// figures. The group's process hands it to the validator as it is, and the
// report is printed from it.
#pragma once

#include <string>
#include <vector>

enum class Verdict { Pass, Fail, Skip };

struct Finding {
    enum class Kind { Failure, Warning };
    Kind kind;
    std::string text;
};

struct Figure {
    std::string name;
    std::string value;
};

struct CheckResult {
    // How many failures, and how many warnings, a result carries word for word; the rest are counted.
    static const int kDetailLimit = 5;

    std::string name;
    Verdict verdict = Verdict::Pass;
    std::string skipReason;
    std::vector<std::string> notes;
    std::vector<Finding> findings;
    int failures = 0;
    int warnings = 0;
    std::vector<Figure> figures;
    // Not even the first instance loaded: the rest of the run has nothing to host.
    bool unloadable = false;
};
