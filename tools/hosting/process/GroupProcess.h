// One validation group run in a process of its own, so that a plug-in that
// crashes or hangs takes down that group only. Linux forks and runs the
// group in the child; Windows starts the tool again with the hidden
// --validate-group option. Either way the child's standard output and
// error come back line by line.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct GroupOutcome {
    int exitCode = -1;
    bool timedOut = false;
    std::string ending;  // how it ended when not by exiting: a signal's name, or a hang
};

class GroupProcess {
public:
    using LineSink = std::function<void(const std::string& line)>;

    // body runs in the child where the system can fork (Linux);
    // arguments restart the tool where it cannot (Windows).
    static GroupOutcome run(const std::function<int()>& body, const std::vector<std::string>& arguments,
                            double timeoutSeconds, const LineSink& sink);
};
