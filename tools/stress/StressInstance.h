// One instance of a stress session and the audio thread that plays it, as a
// host's audio callback would: a block of 64 frames due every 1.333 ms at
// 48 kHz, control changes in every block, and the time each block took.
// The thread paces itself by the clock; a block whose processing ends after
// the next block was due has missed its deadline, and after a miss the
// thread starts a fresh period, as a host starts again after a dropout.
// Calls into the allocator (allocations and frees) and locks are counted
// while the plug-in processes, where the system can count them.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <memory>
#include <ratio>
#include <string>
#include <thread>
#include <vector>

#include "tools/hosting/HostedPlugin.h"

class StressInstance {
public:
    using Clock = std::chrono::steady_clock;

    static constexpr int kSampleRate = 48000;
    static constexpr int kBlockFrames = 64;
    // kBlockFrames / kSampleRate s, to the nanosecond (rounded down).
    static constexpr std::chrono::nanoseconds kBlockPeriod = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::duration<long long, std::ratio<kBlockFrames, kSampleRate>>(1));

    explicit StressInstance(unsigned seed);
    ~StressInstance();
    StressInstance(const StressInstance&) = delete;
    StressInstance& operator=(const StressInstance&) = delete;

    // Takes a host with the plug-in loaded at kSampleRate and kBlockFrames,
    // and switches it on.
    void attach(std::unique_ptr<HostedPlugin> loaded);
    HostedPlugin& host() { return *plugin; }

    // Makes room for the times of at most maxBlocks blocks.
    void prepare(size_t maxBlocks);
    // Starts the audio thread: the first block is due at first, and the
    // thread plays until stopping or until it has played the blocks prepared.
    void play(Clock::time_point first, const std::atomic<bool>& stopping);
    void join();

    long blocks() const { return played.load(std::memory_order_relaxed); }
    long misses() const { return missed.load(std::memory_order_relaxed); }
    // Known once joined: the misses whose processing alone took longer than
    // a block's time (the others woke too late to finish in time), and how
    // late the thread woke at worst, in microseconds.
    long overruns() const { return overran; }
    float latestWakeMicroseconds() const { return latestWake; }
    // Known once joined.
    const std::vector<float>& blockMicroseconds() const { return durations; }
    unsigned long allocations() const { return allocated; }
    unsigned long locks() const { return locked; }
    // Why the thread runs at normal priority; empty when it got real-time priority.
    const std::string& priorityRefusal() const { return refusal; }

private:
    void run(Clock::time_point first, const std::atomic<bool>& stopping);
    void routeAudio();
    void nextControlChanges(long block);
    float processBlock(long block);

    std::unique_ptr<HostedPlugin> plugin;
    unsigned seed;
    // Noise blocks per input, cycled through; outputs of one block.
    std::vector<std::vector<float>> noise;
    std::vector<std::vector<float>> outputBuffers;
    std::vector<float*> inputs;
    std::vector<float*> outputs;
    std::vector<float> durations;
    std::atomic<long> played{0};
    std::atomic<long> missed{0};
    long overran = 0;
    float latestWake = 0.0f;
    unsigned long allocated = 0;
    unsigned long locked = 0;
    std::string refusal;
    std::thread worker;
};
