// Cost of processReplacing per stereo frame, in nanoseconds and in CPU
// (time-stamp counter) cycles: with a normal signal, with a resonant tail
// that decays into the subnormal range, and beside the floor set by the
// filter's own recurrence (its dependent multiply-add chain, both channels
// interleaved). Without an argument it measures the effect linked into this
// program; the Windows build, given a library path, measures that library
// through its record, as a host would.
#include <x86intrin.h>
#include <xmmintrin.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "tests/reference/EffectSource.h"
#include "tests/reference/ReferenceSignal.h"

namespace {

constexpr int32_t kBlockFrames = 512;
constexpr int32_t kFramesPerRun = 1 << 22;
constexpr int kRuns = 5;
constexpr int32_t kTailSpacing = 4096;     // frames between tiny impulses
constexpr float kTailImpulse = 1e-35f;     // decays into subnormals within a few hundred frames
constexpr unsigned int kFlushBits = 0x8040;  // flush-to-zero, denormals-are-zero

struct Figures {
    double nanoseconds;
    double cycles;
};

// The best of several runs: the least disturbed by everything else.
template <typename Body>
Figures measure(Body body) {
    Figures best{1e30, 1e30};
    for (int run = 0; run < kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const uint64_t startCycles = __rdtsc();
        body();
        const uint64_t cycles = __rdtsc() - startCycles;
        const std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;
        best.nanoseconds = std::min(best.nanoseconds, elapsed.count() / kFramesPerRun);
        best.cycles = std::min(best.cycles, static_cast<double>(cycles) / kFramesPerRun);
    }
    return best;
}

struct Signal {
    std::vector<float> left;
    std::vector<float> right;
};

Signal noise() {
    reference::Random random(7);
    Signal s{std::vector<float>(kFramesPerRun), std::vector<float>(kFramesPerRun)};
    for (int32_t i = 0; i < kFramesPerRun; ++i) {
        s.left[i] = random.sample();
        s.right[i] = random.sample();
    }
    return s;
}

Signal decayingTail() {
    Signal s{std::vector<float>(kFramesPerRun), std::vector<float>(kFramesPerRun)};
    for (int32_t i = 0; i < kFramesPerRun; i += kTailSpacing) {
        s.left[i] = kTailImpulse;
        s.right[i] = -kTailImpulse;
    }
    return s;
}

void processAll(AEffect* effect, Signal& input, Signal& output) {
    for (int32_t frame = 0; frame < kFramesPerRun; frame += kBlockFrames) {
        float* in[2] = {input.left.data() + frame, input.right.data() + frame};
        float* out[2] = {output.left.data() + frame, output.right.data() + frame};
        effect->processReplacing(effect, in, out, kBlockFrames);
    }
}

// The recurrence alone: the same expression per sample, the same roundings,
// no parameter loads, no checks, no floating-point state changes.
struct Recurrence {
    float alpha, beta, gamma, gain;
    float x1[2] = {0, 0}, x2[2] = {0, 0}, y1[2] = {0, 0}, y2[2] = {0, 0};

    float step(int c, float x) {
        const float y =
            static_cast<float>(2.0 * (alpha * (x + 2.0 * x1[c] + x2[c]) + gamma * static_cast<double>(y1[c]) -
                                      beta * static_cast<double>(y2[c])));
        x2[c] = x1[c];
        x1[c] = x;
        y2[c] = y1[c];
        y1[c] = y;
        return y * gain;
    }

    void run(Signal& input, Signal& output) {
        for (int32_t i = 0; i < kFramesPerRun; ++i) {
            const float l = input.left[i];
            const float r = input.right[i];
            output.left[i] = step(0, l);
            output.right[i] = step(1, r);
        }
    }
};

void print(const char* name, const Figures& f) {
    std::printf("  %-44s %8.2f ns %8.1f cycles\n", name, f.nanoseconds, f.cycles);
}

int run(AEffect* effect, const char* what) {
    if (!effect) {
        std::fprintf(stderr, "quavix_bench: no effect from %s\n", what);
        return 1;
    }
    reference::dispatch(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    reference::dispatch(effect, effMainsChanged, 0, 1);
    effect->setParameter(effect, 2, 1.0f);  // sharpest peak: the longest tail
    Signal normal = noise();
    Signal tail = decayingTail();
    Signal output{std::vector<float>(kFramesPerRun), std::vector<float>(kFramesPerRun)};
    std::printf("quavix_bench: processReplacing per stereo frame, %s, blocks of %d\n", what, kBlockFrames);
    print("normal signal (noise)", measure([&] { processAll(effect, normal, output); }));
    print("decaying tail (would run into subnormals)", measure([&] { processAll(effect, tail, output); }));
    // The floor, with the coefficients of a sharp peak at 2300 Hz, 44100 Hz.
    Recurrence floor{0.0131971f, 0.492018f, 0.939229f, 0.5f};
    print("recurrence floor (2 channels interleaved)", measure([&] { floor.run(normal, output); }));
    const unsigned int callerState = _mm_getcsr();
    _mm_setcsr(callerState & ~kFlushBits);
    Recurrence unflushed{0.0131971f, 0.492018f, 0.939229f, 0.5f};
    print("recurrence on the tail, subnormals not flushed", measure([&] { unflushed.run(tail, output); }));
    _mm_setcsr(callerState);
    reference::dispatch(effect, effMainsChanged, 0, 0);
    reference::dispatch(effect, effClose);
    return 0;
}

}  // namespace

int main(int argc, char** argv) { return reference::withEffect(argc, argv, "quavix_bench", run); }
