// Cost of processReplacing per stereo frame, in nanoseconds and in CPU
// (time-stamp counter) cycles: with a normal signal and with a resonant tail
// that decays towards the subnormal range, each beside the floor, the
// filter's own arithmetic with nothing else around it. Without an argument it
// measures the effect linked into this program; given a library path, it
// measures that library through its record, as a host would.
#include <emmintrin.h>
#include <x86intrin.h>
#include <xmmintrin.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "tests/reference/EffectSource.h"
#include "tests/reference/ReferenceSignal.h"

namespace {

constexpr int32_t kBlockFrames = 512;
constexpr int32_t kFramesPerRun = 1 << 22;
constexpr int kRuns = 7;
constexpr int32_t kTailSpacing = 4096;       // frames between tiny impulses
constexpr float kTailImpulse = 1e-35f;       // decays into subnormals within a few hundred frames
constexpr unsigned int kFlushBits = 0x8040;  // flush-to-zero, denormals-are-zero
// processReplacing may cost at most this much more than the floor.
constexpr double kTargetRatio = 1.10;

#if defined(_WIN64)
const char* const kBuild = "win64 x86_64";
#elif defined(_WIN32)
const char* const kBuild = "win32 i686";
#else
const char* const kBuild = "native";
#endif

struct Figures {
    double nanoseconds;
    double cycles;
};

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

// Anything that processes a whole signal in blocks of kBlockFrames.
struct Subject {
    void (*process)(void* context, Signal& input, Signal& output);
    void* context;
};

Figures timeOnce(const Subject& subject, Signal& input, Signal& output) {
    const auto start = std::chrono::steady_clock::now();
    const uint64_t startCycles = __rdtsc();
    subject.process(subject.context, input, output);
    const uint64_t cycles = __rdtsc() - startCycles;
    const std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;
    return {elapsed.count() / kFramesPerRun, static_cast<double>(cycles) / kFramesPerRun};
}

// The best of several runs of each subject, the runs of the two taking turns
// so that a disturbance from elsewhere on the machine weighs on both alike.
void measurePair(const Subject& first, const Subject& second, Signal& input, Signal& output, Figures& a, Figures& b) {
    a = b = Figures{1e30, 1e30};
    timeOnce(first, input, output);  // caches, pages and clock warmed up for both
    timeOnce(second, input, output);
    for (int run = 0; run < kRuns; ++run) {
        const Figures x = timeOnce(first, input, output);
        const Figures y = timeOnce(second, input, output);
        a = {std::min(a.nanoseconds, x.nanoseconds), std::min(a.cycles, x.cycles)};
        b = {std::min(b.nanoseconds, y.nanoseconds), std::min(b.cycles, y.cycles)};
    }
}

void processAll(void* context, Signal& input, Signal& output) {
    AEffect* effect = static_cast<AEffect*>(context);
    for (int32_t frame = 0; frame < kFramesPerRun; frame += kBlockFrames) {
        float* in[2] = {input.left.data() + frame, input.right.data() + frame};
        float* out[2] = {output.left.data() + frame, output.right.data() + frame};
        effect->processReplacing(effect, in, out, kBlockFrames);
    }
}

// The floor: the filter's arithmetic and nothing else, as tight as it can be
// written. Per block the coefficients are widened once and the memories go
// into locals; per sample the whole expression in double, one rounding to
// float per channel, the gain in float. The factor 2 sits in the widened
// coefficients, where doubling is exact: the same bits as doubling the sum,
// with one operation fewer on the dependent chain. The two channels share
// each register, left in the low lane, so that everything stays in
// registers on i686 too: written as two scalar channels, the same arithmetic
// takes about 1.1 times as long on x86_64 and 1.15 to 1.6 times on i686,
// where memories spill to the stack. No parameter loads, no checks, no
// floating-point state changes.
struct Floor {
    float alpha, beta, gamma, gain;
    float x1[2] = {0, 0}, x2[2] = {0, 0}, y1[2] = {0, 0}, y2[2] = {0, 0};

    static __m128d widened(const float* left, const float* right) {
        return _mm_cvtps_pd(_mm_unpacklo_ps(_mm_load_ss(left), _mm_load_ss(right)));
    }

    static void narrowed(__m128d pair, float* both) {
        const __m128 single = _mm_cvtpd_ps(pair);
        _mm_store_ss(both, single);
        _mm_store_ss(both + 1, _mm_shuffle_ps(single, single, _MM_SHUFFLE(1, 1, 1, 1)));
    }

    void block(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int32_t frames) {
        const __m128d a = _mm_set1_pd(2.0 * alpha), b = _mm_set1_pd(2.0 * beta), g = _mm_set1_pd(2.0 * gamma);
        const __m128 k = _mm_set1_ps(gain);
        __m128d mx1 = widened(&x1[0], &x1[1]), mx2 = widened(&x2[0], &x2[1]);
        __m128d my1 = widened(&y1[0], &y1[1]), my2 = widened(&y2[0], &y2[1]);
        for (int32_t n = 0; n < frames; ++n) {
            const __m128d x = widened(inLeft + n, inRight + n);
            const __m128d feedforward = _mm_add_pd(_mm_add_pd(x, _mm_add_pd(mx1, mx1)), mx2);
            const __m128 y = _mm_cvtpd_ps(
                _mm_sub_pd(_mm_add_pd(_mm_mul_pd(a, feedforward), _mm_mul_pd(g, my1)), _mm_mul_pd(b, my2)));
            mx2 = mx1;
            mx1 = x;
            my2 = my1;
            my1 = _mm_cvtps_pd(y);
            const __m128 out = _mm_mul_ps(y, k);
            _mm_store_ss(outLeft + n, out);
            _mm_store_ss(outRight + n, _mm_shuffle_ps(out, out, _MM_SHUFFLE(1, 1, 1, 1)));
        }
        narrowed(mx1, x1);
        narrowed(mx2, x2);
        narrowed(my1, y1);
        narrowed(my2, y2);
    }

    static void processAll(void* context, Signal& input, Signal& output) {
        Floor* floor = static_cast<Floor*>(context);
        for (int32_t frame = 0; frame < kFramesPerRun; frame += kBlockFrames) {
            floor->block(input.left.data() + frame, input.right.data() + frame, output.left.data() + frame,
                         output.right.data() + frame, kBlockFrames);
        }
    }
};

void print(const char* name, const Figures& f) {
    std::printf("  %-46s %8.2f ns/frame %8.1f cycles/frame\n", name, f.nanoseconds, f.cycles);
}

// The floor set to the coefficients of the sharpest peak at 2300 Hz, 44100 Hz,
// as the effect computes them, and to its gain factor of 0.5.
Floor sharpPeakFloor() { return Floor{0.0131970719f, 0.492017716f, 0.939229429f, 0.5f}; }

// Whether the floor, from silence, gives processReplacing's output to the
// bit: that it is the filter's own arithmetic and not something cheaper.
bool sameOutput(AEffect* effect, Signal& input) {
    Signal expected{std::vector<float>(kFramesPerRun), std::vector<float>(kFramesPerRun)};
    Signal actual = expected;
    reference::dispatch(effect, effMainsChanged, 0, 0);  // back to silence
    reference::dispatch(effect, effMainsChanged, 0, 1);
    processAll(effect, input, expected);
    Floor floor = sharpPeakFloor();
    const unsigned int callerState = _mm_getcsr();
    _mm_setcsr(callerState | kFlushBits);
    Floor::processAll(&floor, input, actual);
    _mm_setcsr(callerState);
    return std::memcmp(expected.left.data(), actual.left.data(), sizeof(float) * kFramesPerRun) == 0 &&
           std::memcmp(expected.right.data(), actual.right.data(), sizeof(float) * kFramesPerRun) == 0;
}

// processReplacing and the floor on one signal, and how far apart they are.
// The floor runs flushing subnormals, as the effect does for each block.
void compare(const char* signal, AEffect* effect, Signal& input, Signal& output) {
    Floor floor = sharpPeakFloor();
    const Subject plugin{processAll, effect};
    const Subject bare{Floor::processAll, &floor};
    const unsigned int callerState = _mm_getcsr();
    _mm_setcsr(callerState | kFlushBits);
    Figures p, f;
    measurePair(plugin, bare, input, output, p, f);
    _mm_setcsr(callerState);
    const double ratio = p.nanoseconds / f.nanoseconds;
    std::printf("%s:\n", signal);
    print("processReplacing", p);
    print("floor (the filter's arithmetic alone)", f);
    std::printf("  %-46s %8.3f    (target at most %.2f: %s)\n", "ratio processReplacing / floor", ratio, kTargetRatio,
                ratio <= kTargetRatio ? "met" : "MISSED");
}

int run(AEffect* effect, const char* what) {
    if (!effect) {
        std::fprintf(stderr, "quavix_bench: no effect from %s\n", what);
        return 1;
    }
    reference::dispatch(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    reference::dispatch(effect, effMainsChanged, 0, 1);
    effect->setParameter(effect, 2, 1.0f);  // sharpest peak: the longest tail
    effect->setParameter(effect, 1, 1.0f);  // gain factor 0.5
    Signal normal = noise();
    Signal tail = decayingTail();
    Signal output{std::vector<float>(kFramesPerRun), std::vector<float>(kFramesPerRun)};
    std::printf("quavix_bench, %s build: per stereo frame, %s, blocks of %d\n", kBuild, what, kBlockFrames);
    std::printf("floor output %s processReplacing's\n",
                sameOutput(effect, normal) ? "bit-identical to" : "DIFFERS from");
    compare("normal signal (noise)", effect, normal, output);
    compare("decaying tail", effect, tail, output);
    // What the tail would cost if nobody flushed subnormals.
    const unsigned int callerState = _mm_getcsr();
    _mm_setcsr(callerState & ~kFlushBits);
    Floor unflushed = sharpPeakFloor();
    const Subject bare{Floor::processAll, &unflushed};
    Figures best{1e30, 1e30};
    for (int run = 0; run < kRuns; ++run) {
        const Figures f = timeOnce(bare, tail, output);
        best = {std::min(best.nanoseconds, f.nanoseconds), std::min(best.cycles, f.cycles)};
    }
    _mm_setcsr(callerState);
    print("floor on the tail, subnormals not flushed", best);
    reference::dispatch(effect, effMainsChanged, 0, 0);
    reference::dispatch(effect, effClose);
    return 0;
}

}  // namespace

int main(int argc, char** argv) { return reference::withEffect(argc, argv, "quavix_bench", run); }
