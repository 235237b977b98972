#include "tools/stress/StressFigures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tools/stress/AudioThreadPriority.h"
#include "tools/stress/StressInstance.h"

namespace {

const double kRarePercentile = 0.999;
const double kMegabyte = 1024.0 * 1024.0;

// The value below which that share of the values lie (nearest rank).
double percentile(std::vector<float>& values, double share) {
    if (values.empty())
        return 0.0;
    size_t rank = static_cast<size_t>(std::ceil(share * static_cast<double>(values.size())));
    size_t index = std::min(values.size() - 1, rank > 0 ? rank - 1 : 0);
    std::nth_element(values.begin(), values.begin() + static_cast<long>(index), values.end());
    return values[index];
}

double megabytes(uint64_t bytes) { return static_cast<double>(bytes) / kMegabyte; }

}  // namespace

void StressFigures::summarise(std::vector<float> microseconds) {
    medianMicroseconds = percentile(microseconds, 0.5);
    rareMicroseconds = percentile(microseconds, kRarePercentile);
    worstMicroseconds = microseconds.empty() ? 0.0 : *std::max_element(microseconds.begin(), microseconds.end());
}

void StressFigures::print() const {
    printSession();
    printMeasures();
    printLastLine();
    std::fflush(stdout);
}

void StressFigures::printSession() const {
    const double periodMilliseconds = StressInstance::kBlockPeriod.count() / 1e6;
    const std::string scheduling =
        priorityRefusal.empty() ? AudioThreadPriority::describe() : "normal priority: " + priorityRefusal;
    std::printf(
        "\nStress: %d instances of \"%s\" for %.1f s, each on its own audio thread (%s), %d Hz in blocks of %d "
        "frames (%.3f ms)\n",
        instances, pluginName.c_str(), seconds, scheduling.c_str(), StressInstance::kSampleRate,
        StressInstance::kBlockFrames, periodMilliseconds);
    std::printf(
        "  automation: every parameter of every instance, from one thread, a pass per block: %ld passes, %ld "
        "changes\n",
        automationPasses, automationChanges);
    std::printf("  MIDI: 2 control changes in every block (the modulation wheel, and a controller walking 0..127)\n");
    std::printf("  editor: %s\n", editor.c_str());
}

void StressFigures::printMeasures() const {
    std::printf("processing per block: median %.2f us, 99.9th percentile %.2f us, worst %.2f us\n", medianMicroseconds,
                rareMicroseconds, worstMicroseconds);
    std::printf(
        "deadline misses: %ld of %ld blocks (processing done after the next block was due): %ld with "
        "processing longer than a block, %ld woken too late to finish (at worst %.0f us late)\n",
        misses, blocks, overruns, misses - overruns, latestWakeMicroseconds);
    if (lockingCounted)
        std::printf(
            "on audio threads while processing: %lu allocations (calls into the allocator, frees included), "
            "%lu locks\n",
            allocations, locks);
    else
        std::printf("on audio threads while processing: allocations and locks not counted on this system\n");
    std::printf(
        "resident memory: %.1f MB before loading, %.1f MB at the start, %.1f MB after the run (%+.1f MB during it)\n",
        megabytes(residentBeforeLoading), megabytes(residentAtStart), megabytes(residentAfter),
        megabytes(residentAfter) - megabytes(residentAtStart));
}

void StressFigures::printLastLine() const {
    if (lockingCounted)
        std::printf(
            "stress: %d instances, %ld blocks, %ld deadline misses, %lu allocations, %lu locks on audio threads\n",
            instances, blocks, misses, allocations, locks);
    else
        std::printf(
            "stress: %d instances, %ld blocks, %ld deadline misses, allocations and locks on audio threads not "
            "counted\n",
            instances, blocks, misses);
}
