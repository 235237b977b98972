// The validator's building blocks: a check is a small named function with
// the least strictness at which it runs; a group is a list of checks that
// share one child process.
#pragma once

#include <string>
#include <vector>

class CheckContext;

struct ValidationCheck {
    const char* name;
    int minStrictness;
    void (*run)(CheckContext& context);
};

struct ValidationGroup {
    const char* id;     // for --validate-group and messages
    const char* title;  // for the report
    std::vector<std::string> notes;
    std::vector<ValidationCheck> checks;
    // Written against the hosting interface, so it runs on plug-ins of every
    // format; the others speak VST 2.4 itself.
    bool everyFormat = false;
};

// One function per group, each in its own file in groups/.
ValidationGroup identityGroup();
ValidationGroup parametersGroup();
ValidationGroup dispatcherGroup();
ValidationGroup processingGroup();
ValidationGroup sampleRatesGroup();
ValidationGroup midiGroup();
ValidationGroup threadsGroup();
ValidationGroup editorGroup();
ValidationGroup instancesGroup();
ValidationGroup stateGroup();
ValidationGroup hostHabitsGroup();
