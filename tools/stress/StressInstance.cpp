#include "tools/stress/StressInstance.h"

#include <algorithm>
#include <cstdint>

#include "tools/hosting/process/HeapCount.h"
#include "tools/hosting/process/LockCount.h"
#include "tools/hosting/process/FloatingPoint.h"
#include "tools/media/NoiseGenerator.h"
#include "tools/stress/AudioThreadPriority.h"

namespace {

// Distinct noise blocks per input: enough that no filter settles on a
// repeating pattern, few enough to stay in cache as a host's buffers do.
const size_t kNoiseBlocks = 8;
const float kNoiseLevel = 0.5f;
const int kChannels = 16;
const int kControllers = 128;
const uint8_t kModulationWheel = 1;
const int kControlChange = 0xB0;
const float kPeriodMicroseconds = 1e-3f * StressInstance::kBlockPeriod.count();

uint8_t controlByte(long value) { return static_cast<uint8_t>(value & 0x7F); }

}  // namespace

StressInstance::StressInstance(unsigned seed) : seed(seed) {}

StressInstance::~StressInstance() {
    join();
    if (plugin)
        plugin->stop();
}

void StressInstance::attach(std::unique_ptr<HostedPlugin> loaded) {
    plugin = std::move(loaded);
    routeAudio();
    plugin->start();
}

void StressInstance::routeAudio() {
    NoiseGenerator generator(seed * 2654435761u + 1u);
    for (int input = 0; input < plugin->inputCount(); ++input) {
        noise.emplace_back(kNoiseBlocks * kBlockFrames);
        for (float& sample : noise.back())
            sample = kNoiseLevel * generator.next();
        inputs.push_back(noise.back().data());
    }
    for (int output = 0; output < plugin->outputCount(); ++output) {
        outputBuffers.emplace_back(kBlockFrames, 0.0f);
        outputs.push_back(outputBuffers.back().data());
    }
    // A plug-in without inputs or outputs still gets an array to look at.
    inputs.reserve(1);
    outputs.reserve(1);
}

void StressInstance::prepare(size_t maxBlocks) {
    // Touched now, so that no page of it is first touched on the audio thread.
    durations.assign(maxBlocks, 0.0f);
}

void StressInstance::play(Clock::time_point first, const std::atomic<bool>& stopping) {
    worker = std::thread([this, first, &stopping]() { run(first, stopping); });
}

void StressInstance::join() {
    if (worker.joinable())
        worker.join();
}

void StressInstance::run(Clock::time_point first, const std::atomic<bool>& stopping) {
    AudioThreadPriority::raise(refusal);
    const DenormalsFlushed flushed;
    const unsigned long allocationsBefore = HeapCount::counted() + HeapCount::released();
    const unsigned long locksBefore = LockCount::counted();
    Clock::time_point due = first;
    size_t block = 0;
    for (; block < durations.size() && !stopping.load(std::memory_order_relaxed); ++block) {
        std::this_thread::sleep_until(due);
        const Clock::time_point woke = Clock::now();
        latestWake = std::max(latestWake, std::chrono::duration<float, std::micro>(woke - due).count());
        nextControlChanges(static_cast<long>(block));
        durations[block] = processBlock(static_cast<long>(block));
        const Clock::time_point finished = Clock::now();
        due += kBlockPeriod;
        if (finished > due) {
            missed.fetch_add(1, std::memory_order_relaxed);
            overran += durations[block] > kPeriodMicroseconds;
            due = finished;
        }
        played.fetch_add(1, std::memory_order_relaxed);
    }
    durations.resize(block);
    allocated = HeapCount::counted() + HeapCount::released() - allocationsBefore;
    locked = LockCount::counted() - locksBefore;
}

// Two control changes in every block: the modulation wheel, which most
// wahs follow, and a controller that walks through all 128, both sweeping
// their values and walking the channels.
void StressInstance::nextControlChanges(long block) {
    plugin->sendMidi(0, static_cast<uint8_t>(kControlChange | (block % kChannels)), kModulationWheel,
                     controlByte(block));
    plugin->sendMidi(kBlockFrames / 2, static_cast<uint8_t>(kControlChange | ((block / kControllers) % kChannels)),
                     controlByte(block % kControllers), controlByte(kControllers - 1 - block));
}

float StressInstance::processBlock(long block) {
    const size_t offset = static_cast<size_t>(block % static_cast<long>(kNoiseBlocks)) * kBlockFrames;
    for (size_t input = 0; input < noise.size(); ++input)
        inputs[input] = noise[input].data() + offset;
    Clock::time_point began = Clock::now();
    {
        HeapCount::Counting allocations;
        LockCount::Counting locks;
        plugin->process(inputs.data(), outputs.data(), kBlockFrames);
    }
    std::chrono::duration<float, std::micro> took = Clock::now() - began;
    return took.count();
}
