// What a stress session measured, and its report.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct StressFigures {
    std::string pluginName;
    int instances = 0;
    double seconds = 0.0;
    long blocks = 0;
    long misses = 0;
    long overruns = 0;  // misses whose processing alone took longer than a block
    double latestWakeMicroseconds = 0.0;
    bool lockingCounted = false;    // allocations and locks
    unsigned long allocations = 0;  // calls into the allocator, frees included
    unsigned long locks = 0;
    // Per block, in microseconds.
    double medianMicroseconds = 0.0;
    double rareMicroseconds = 0.0;  // the 99.9th percentile
    double worstMicroseconds = 0.0;
    long automationPasses = 0;
    long automationChanges = 0;
    std::string editor;           // how the editor took part, or why it did not
    std::string priorityRefusal;  // empty when every audio thread got real-time priority
    uint64_t residentBeforeLoading = 0;
    uint64_t residentAtStart = 0;
    uint64_t residentAfter = 0;

    // Median, 99.9th percentile and worst of every block's time.
    void summarise(std::vector<float> microseconds);
    // The whole report, ending with the one line that sums it up.
    void print() const;

private:
    void printSession() const;
    void printMeasures() const;
    void printLastLine() const;
};
