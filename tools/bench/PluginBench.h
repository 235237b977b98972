// What plug-ins cost side by side: the same stereo noise through each, set
// up as a host sets it up (opened, told the rate and block size, switched on,
// started) and processed in full blocks with flush-to-zero and
// denormals-are-zero on, as hosts process. Rounds interleave the plug-ins,
// each round starting with another one, so that a busy moment of the
// machine falls on all of them alike; each plug-in's figure is the median
// of its rounds.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "tools/hosting/PluginOptions.h"

// A plug-in of the benchmark with the settings it is measured at.
struct BenchEntry {
    std::string path;
    std::vector<ParameterSetting> parameters;
};

struct BenchSettings {
    static constexpr int kDefaultRounds = 9;

    int sampleRate = PluginSetup::kDefaultSampleRate;
    int blockSize = PluginSetup::kDefaultBlockSize;
    int rounds = kDefaultRounds;
    size_t framesPerRound = size_t(1) << 20;
};

class PluginBench {
public:
    explicit PluginBench(const BenchSettings& settings);
    ~PluginBench();
    PluginBench(const PluginBench&) = delete;
    PluginBench& operator=(const PluginBench&) = delete;

    // Loads the plug-in, applies its settings and switches it on; false with
    // a message naming it when it cannot take part: it does not load, takes
    // no audio input, has no outputs, or a setting names no parameter.
    bool add(const BenchEntry& entry, std::string& error);
    size_t size() const { return contenders.size(); }
    void measure();
    // One line per plug-in: median and best nanoseconds per stereo frame and
    // the ratio of the medians to the first plug-in's.
    void printTable() const;

private:
    struct Contender;

    bool setUp(Contender& contender, std::string& error);
    bool addInstance(Contender& contender, std::string& error);
    bool applySettings(Contender& contender, std::string& error);
    void route(Contender& contender);
    double run(Contender& contender, size_t frames);

    BenchSettings settings;
    std::vector<std::unique_ptr<Contender>> contenders;
    // Left and right noise, a ring of blocks with room to read a block past the last.
    std::vector<float> noise[2];
    std::vector<float> silence;
};
