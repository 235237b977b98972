// What a plug-in costs a host before anyone plays it, side by side with
// others: the size of its file; the memory one more instance takes, from the
// process's resident pages and its heap once a hundred instances beyond the
// first are open, switched on, their editors closed; and a cold scan, as a
// host's plug-in scanner does it in a new process: load, open, read the
// names, close, unload. Each plug-in's instances live in a process of their
// own, and the scans of the plug-ins are interleaved, so that a busy moment
// of the machine falls on all of them alike.
#pragma once

#include <string>
#include <vector>

struct FootprintOptions {
    std::vector<std::string> plugins;
    int instances = 100;  // beyond the first
    int scans = 21;
};

class FootprintBench {
public:
    explicit FootprintBench(const FootprintOptions& options);

    // Measures every plug-in and prints one line each; false (with the
    // reasons on stderr) when the first, the reference, could not be measured.
    bool run();

private:
    struct Figures {
        std::string path;
        double fileBytes = 0.0;
        double residentPerInstance = 0.0;
        double heapPerInstance = 0.0;
        std::vector<double> scanMilliseconds;
        std::string failure;
    };

    void measureInstances(Figures& figures) const;
    void measureScans();
    void print() const;

    FootprintOptions options;
    std::vector<Figures> measured;
};
