// What the filter does to sound: the difference equation to the bit, its
// response at 0 Hz, at the corner and at half the sample rate, in-place
// processing, suspend, empty blocks, and denormal handling.
#include <gtest/gtest.h>
#include <xmmintrin.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "tests/native/FilterProbe.h"
#include "tests/native/RecordingHost.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;

struct Memory {
    float x1 = 0, x2 = 0, y1 = 0, y2 = 0;
};

// One sample of the difference equation as written: the whole expression
// in double, one rounding to float, the gain applied afterwards in float.
float referenceStep(Memory& m, float x, const FilterProbe& f, float* beforeGain) {
    const double a = f.alphaValue(), b = f.betaValue(), g = f.gammaValue();
    const float y = static_cast<float>(2.0 * (a * (x + 2.0 * m.x1 + m.x2) + g * m.y1 - b * m.y2));
    m.x2 = m.x1;
    m.x1 = x;
    m.y2 = m.y1;
    m.y1 = y;
    if (beforeGain) {
        *beforeGain = y;
    }
    return y * f.outputGainValue();
}

// The same in single precision throughout.
float singlePrecisionStep(Memory& m, float x, const FilterProbe& f) {
    const float a = f.alphaValue(), b = f.betaValue(), g = f.gammaValue();
    const float y = 2.0f * (a * (x + 2.0f * m.x1 + m.x2) + g * m.y1 - b * m.y2);
    m.x2 = m.x1;
    m.x1 = x;
    m.y2 = m.y1;
    m.y1 = y;
    return y * f.outputGainValue();
}

StereoBuffer sine(size_t frames, double hertz, double rate) {
    StereoBuffer buffer(frames);
    for (size_t i = 0; i < frames; ++i) {
        const float v = static_cast<float>(std::sin(kTwoPi * hertz * static_cast<double>(i) / rate));
        buffer.left[i] = v;
        buffer.right[i] = -v;
    }
    return buffer;
}

float peakOfTail(const std::vector<float>& samples, size_t tail) {
    float peak = 0.0f;
    for (size_t i = samples.size() - tail; i < samples.size(); ++i) {
        peak = std::max(peak, std::fabs(samples[i]));
    }
    return peak;
}

class FilterResponse : public ::testing::Test {
protected:
    RecordingHost host;
};

TEST_F(FilterResponse, EachSampleIsTheDifferenceEquationToTheBit) {
    FilterProbe filter;
    StereoBuffer input = noise(4096, 7);
    Memory left, right, carelessLeft;
    int carelessDiffers = 0;
    const float settings[][3] = {{0.5f, 1.0f, 0.5f}, {0.1f, 0.7f, 1.0f}, {0.9f, 0.2f, 0.0f}, {1.0f, 0.5f, 0.8f}};
    size_t frame = 0;
    for (const auto& s : settings) {
        filter.setParameter(0, s[0]);
        filter.setParameter(1, s[1]);
        filter.setParameter(2, s[2]);
        StereoBuffer block = slice(input, frame, 1024);
        const StereoBuffer output = processed(filter, block);
        for (size_t i = 0; i < 1024; ++i) {
            ASSERT_EQ(output.left[i], referenceStep(left, block.left[i], filter, nullptr)) << frame + i;
            ASSERT_EQ(output.right[i], referenceStep(right, block.right[i], filter, nullptr)) << frame + i;
            carelessDiffers += singlePrecisionStep(carelessLeft, block.left[i], filter) != output.left[i];
        }
        frame += 1024;
    }
    // Single-precision arithmetic would have been caught.
    EXPECT_GT(carelessDiffers, 100);
}

TEST_F(FilterResponse, UnityAtZeroHertzTimesTheGain) {
    for (float frequency : {0.0f, 0.5f, 1.0f}) {
        for (float peak : {0.0f, 1.0f}) {
            FilterProbe filter;
            filter.setParameter(0, frequency);
            filter.setParameter(2, peak);
            filter.setParameter(1, 0.6f);
            filter.suspend();
            StereoBuffer input(20000, 1.0f);
            const StereoBuffer output = processed(filter, input);
            EXPECT_NEAR(output.left.back(), 0.3f, 0.3e-3) << frequency << " " << peak;
            EXPECT_NEAR(output.right.back(), 0.3f, 0.3e-3) << frequency << " " << peak;
        }
    }
}

TEST_F(FilterResponse, ZeroAtHalfTheSampleRate) {
    FilterProbe filter;
    filter.setParameter(2, 1.0f);
    StereoBuffer input(20000);
    for (size_t i = 0; i < input.left.size(); ++i) {
        input.left[i] = input.right[i] = (i % 2) ? -1.0f : 1.0f;
    }
    const StereoBuffer output = processed(filter, input);
    EXPECT_LT(peakOfTail(output.left, 1000), 1e-5f);
    EXPECT_LT(peakOfTail(output.right, 1000), 1e-5f);
}

struct ResonanceCase {
    float peak;  // bandwidth = 1.1 - peak
    double expectedGain;
    double rate;
};

TEST_F(FilterResponse, ResonanceAtTheCornerIsTwoOverBandwidth) {
    const ResonanceCase cases[] = {
        {0.6f, 4.0, 44100.0}, {1.0f, 20.0, 44100.0}, {0.0f, 2.0 / 1.1, 44100.0}, {1.0f, 20.0, 48000.0}};
    for (const ResonanceCase& c : cases) {
        FilterProbe filter;
        filter.setSampleRate(static_cast<float>(c.rate));
        filter.setParameter(2, c.peak);
        filter.setParameter(1, 1.0f);  // output gain 0.5
        StereoBuffer input = sine(40000, 2300.0, c.rate);
        const StereoBuffer output = processed(filter, input);
        const double gain = peakOfTail(output.left, 4000) / 0.5;
        EXPECT_NEAR(gain, c.expectedGain, c.expectedGain * 0.01) << "peak " << c.peak << " at " << c.rate;
        EXPECT_NEAR(peakOfTail(output.right, 4000) / 0.5, c.expectedGain, c.expectedGain * 0.01);
    }
}

TEST_F(FilterResponse, InPlaceProcessingEqualsSeparateBuffers) {
    FilterProbe separate;
    FilterProbe inPlace;
    StereoBuffer input = noise(3000, 11);
    StereoBuffer shared = input;
    for (int block = 0; block < 3; ++block) {
        StereoBuffer in = slice(input, block * 1000, 1000);
        StereoBuffer out(1000);
        separate.processReplacing(in.channels(), out.channels(), 1000);
        float* channels[2] = {shared.left.data() + block * 1000, shared.right.data() + block * 1000};
        inPlace.processReplacing(channels, channels, 1000);
        for (int i = 0; i < 1000; ++i) {
            ASSERT_EQ(shared.left[block * 1000 + i], out.left[i]);
            ASSERT_EQ(shared.right[block * 1000 + i], out.right[i]);
        }
    }
}

TEST_F(FilterResponse, SuspendRestoresTheResponseOfANewEffect) {
    FilterProbe fresh;
    fresh.suspend();
    FilterProbe used;
    StereoBuffer warmUp = noise(5000, 3);
    processed(used, warmUp);
    used.suspend();
    for (int which = 0; which < 4; ++which) {
        EXPECT_EQ(used.memory(0, which), 0.0f);
        EXPECT_EQ(used.memory(1, which), 0.0f);
    }
    StereoBuffer impulse(500);
    impulse.left[0] = impulse.right[0] = 1.0f;
    const StereoBuffer expected = processed(fresh, impulse);
    const StereoBuffer actual = processed(used, impulse);
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.right, expected.right);
}

TEST_F(FilterResponse, ResumeKeepsTheMemories) {
    FilterProbe filter;
    StereoBuffer input = noise(100, 5);
    processed(filter, input);
    const float before = filter.memory(0, 2);
    filter.resume();
    EXPECT_EQ(filter.memory(0, 2), before);
    EXPECT_NE(before, 0.0f);
}

TEST_F(FilterResponse, EmptyAndNegativeBlocksTouchNothing) {
    FilterProbe filter;
    FilterProbe twin;
    StereoBuffer input = noise(64, 9);
    processed(filter, input);
    processed(twin, input);
    StereoBuffer sentinel(64, 42.0f);
    for (VstInt32 frames : {0, -1, -1000}) {
        filter.processReplacing(input.channels(), sentinel.channels(), frames);
    }
    EXPECT_EQ(sentinel.left, std::vector<float>(64, 42.0f));
    EXPECT_EQ(sentinel.right, std::vector<float>(64, 42.0f));
    const StereoBuffer next = processed(filter, input);
    const StereoBuffer expected = processed(twin, input);
    EXPECT_EQ(next.left, expected.left);
    EXPECT_EQ(next.right, expected.right);
}

TEST_F(FilterResponse, TheGainNeverDisturbsTheFilter) {
    FilterProbe steady;
    FilterProbe changed;
    StereoBuffer input = noise(2000, 13);
    steady.setParameter(1, 1.0f);
    changed.setParameter(1, 1.0f);
    StereoBuffer first = slice(input, 0, 1000);
    StereoBuffer second = slice(input, 1000, 1000);
    processed(steady, first);
    processed(changed, first);
    changed.setParameter(1, 0.5f);  // factor 0.25, exactly half
    const StereoBuffer a = processed(steady, second);
    const StereoBuffer b = processed(changed, second);
    for (size_t i = 0; i < 1000; ++i) {
        ASSERT_EQ(a.left[i], 2.0f * b.left[i]);
        ASSERT_EQ(a.right[i], 2.0f * b.right[i]);
    }
}

TEST_F(FilterResponse, TheCallersFloatingPointStateIsRestored) {
    FilterProbe filter;
    StereoBuffer input = noise(256, 17);
    const unsigned int original = _mm_getcsr();
    const unsigned int caller = (original & ~0x8040u) | 0x6000u;  // round toward zero, no flushing
    _mm_setcsr(caller);
    processed(filter, input);
    const unsigned int after = _mm_getcsr();
    _mm_setcsr(original);
    EXPECT_EQ(after & ~0x3Fu, caller & ~0x3Fu);  // exception flags aside
}

TEST_F(FilterResponse, ADecayingTailNeverProducesSubnormals) {
    FilterProbe filter;
    filter.setParameter(2, 1.0f);
    filter.setParameter(1, 1.0f);
    StereoBuffer input(200000);
    for (size_t i = 0; i < input.left.size(); i += 20000) {
        input.left[i] = 1e-30f;
        input.right[i] = 1e-20f;
    }
    const unsigned int original = _mm_getcsr();
    _mm_setcsr(original & ~0x8040u);  // the caller flushes nothing
    const StereoBuffer output = processed(filter, input);
    _mm_setcsr(original);
    size_t subnormal = 0;
    for (size_t i = 0; i < output.left.size(); ++i) {
        subnormal += std::fpclassify(output.left[i]) == FP_SUBNORMAL;
        subnormal += std::fpclassify(output.right[i]) == FP_SUBNORMAL;
    }
    EXPECT_EQ(subnormal, 0u);
    for (int which = 0; which < 4; ++which) {
        EXPECT_NE(std::fpclassify(filter.memory(0, which)), FP_SUBNORMAL);
    }
    // Inside this one long block the tail sinks to the floor of the normal
    // numbers, more than 700 dB down, where flushed values keep it ticking
    // over; only at the end of a block does it fall silent (see below).
    float tailPeak = 0.0f;
    for (size_t i = 5000; i < 20000; ++i) {
        tailPeak = std::max(tailPeak, std::fabs(output.left[i]));
    }
    EXPECT_LT(tailPeak, 1e-36f);
}

// The effect's own flushing, for a model that runs beside it.
class Flushing {
public:
    Flushing() : saved(_mm_getcsr()) { _mm_setcsr(saved | 0x8040u); }
    ~Flushing() { _mm_setcsr(saved); }

private:
    unsigned int saved;
};

struct SilenceCase {
    float rate;
    float frequency;  // 0.5 puts the corner at 2300 Hz, 0 at 800 Hz: the slowest decay
};

// At the sharpest peak, the left channel gets an impulse, then silence; the
// right one a signal at half the rate just above the silence threshold, whose
// output dies away while its input goes on. Both follow the difference
// equation to the bit, except that once the left memories are all below the
// threshold at a block's end, the left output is exact zeros from the next
// block on. The bound: the ringing starts no higher than the impulse and
// shrinks by the pole radius sqrt(2 beta) per sample; one block for the
// check at block ends, one for slack.
TEST_F(FilterResponse, AnImpulseAtTheSharpestPeakEndsInExactSilence) {
    const SilenceCase cases[] = {{44100.0f, 0.5f}, {44100.0f, 0.0f}, {192000.0f, 0.5f}, {192000.0f, 0.0f}};
    constexpr size_t kBlock = 512;
    const float threshold = Filter::kSilenceThreshold;
    for (const SilenceCase& c : cases) {
        const Flushing flushing;
        FilterProbe filter;
        filter.setSampleRate(c.rate);
        filter.setParameter(0, c.frequency);
        filter.setParameter(2, 1.0f);
        filter.setParameter(1, 1.0f);
        const double decayPerSample = -0.5 * std::log(2.0 * filter.betaValue());
        const size_t bound = static_cast<size_t>(std::log(1.0 / threshold) / decayPerSample) + 2 * kBlock;
        Memory left, right;
        size_t silentFrom = 0;  // 0: still ringing
        StereoBuffer input(kBlock);
        for (size_t start = 0; start < bound + static_cast<size_t>(c.rate); start += kBlock) {
            for (size_t i = 0; i < kBlock; ++i) {
                input.left[i] = start + i == 0 ? 1.0f : 0.0f;
                input.right[i] = (i % 2 ? 1e5f : -1e5f) * threshold;
            }
            const StereoBuffer output = processed(filter, input);
            for (size_t i = 0; i < kBlock; ++i) {
                const float expected = referenceStep(left, input.left[i], filter, nullptr);
                ASSERT_EQ(output.left[i], silentFrom ? 0.0f : expected) << c.rate << " Hz, frame " << start + i;
                ASSERT_FALSE(silentFrom && std::signbit(output.left[i])) << c.rate << " Hz, frame " << start + i;
                ASSERT_EQ(output.right[i], referenceStep(right, input.right[i], filter, nullptr)) << start + i;
            }
            if (!silentFrom && std::fabs(left.x1) < threshold && std::fabs(left.x2) < threshold &&
                std::fabs(left.y1) < threshold && std::fabs(left.y2) < threshold) {
                silentFrom = start + kBlock;
            }
        }
        EXPECT_NE(silentFrom, 0u) << c.rate << " Hz";
        EXPECT_LE(silentFrom, bound) << c.rate << " Hz";
        EXPECT_EQ(filter.memory(0, 2), 0.0f);
        EXPECT_EQ(filter.memory(1, 0), right.x1);
    }
}

}  // namespace
