// The coefficients a block filters with: the published values at 44100 and
// 48000 Hz, every stated rounding to the bit, ready for a new effect's first
// block, and following the host's sample rate.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/native/FilterProbe.h"
#include "tests/native/RecordingHost.h"

namespace {

// The computation written out step by step from the filter's equations,
// rounding to single precision exactly where they say.
Coefficients expectedCoefficients(float frequencyValue, float bandwidth, double rate) {
    const double fc = 800.0 + 3000.0 * frequencyValue;
    const float theta = static_cast<float>(fc * 6.2831854820251465 / rate);
    const float s = static_cast<float>(std::sin(static_cast<double>(theta)));
    const double x = static_cast<double>(s) * (static_cast<double>(bandwidth) * 0.25);
    const float beta = static_cast<float>(0.5 * (1.0 - x) / (1.0 + x));
    const float k = static_cast<float>(std::cos(static_cast<double>(theta)));
    const float gamma = static_cast<float>(static_cast<double>(k) * (0.5 + static_cast<double>(beta)));
    const float alpha = static_cast<float>((0.5 + static_cast<double>(beta) - static_cast<double>(gamma)) * 0.25);
    return {alpha, beta, gamma};
}

// The same with every step in single precision: what a careless port gives.
Coefficients singlePrecisionCoefficients(float frequencyValue, float bandwidth, float rate) {
    const float fc = 800.0f + 3000.0f * frequencyValue;
    const float theta = fc * 6.2831855f / rate;
    const float x = std::sin(theta) * (bandwidth * 0.25f);
    const float beta = 0.5f * (1.0f - x) / (1.0f + x);
    const float gamma = std::cos(theta) * (0.5f + beta);
    const float alpha = (0.5f + beta - gamma) * 0.25f;
    return {alpha, beta, gamma};
}

void expectBits(const FilterProbe& probe, const Coefficients& expected, const char* where) {
    EXPECT_EQ(probe.alphaValue(), expected.alpha) << where;
    EXPECT_EQ(probe.betaValue(), expected.beta) << where;
    EXPECT_EQ(probe.gammaValue(), expected.gamma) << where;
}

// Every filter here asks this host for its sample rate (44100 unless a test
// says otherwise).
class FilterCoefficients : public ::testing::Test {
protected:
    RecordingHost host;
};

TEST_F(FilterCoefficients, PublishedValuesAt44100) {
    FilterProbe probe;
    EXPECT_NEAR(probe.alphaValue(), 0.0127887, 0.00000005);
    EXPECT_NEAR(probe.betaValue(), 0.461323, 0.0000005);
    EXPECT_NEAR(probe.gammaValue(), 0.910168, 0.0000005);
    EXPECT_NEAR(static_cast<float>(2300.0 * 6.2831854820251465 / probe.filterRate()), 0.327694, 0.0000005);
}

TEST_F(FilterCoefficients, PublishedValuesAt48000FromTheHost) {
    host.answers[audioMasterGetSampleRate] = 48000;
    FilterProbe probe;
    EXPECT_EQ(probe.getSampleRate(), 48000.0f);
    EXPECT_NEAR(probe.alphaValue(), 0.0108431, 0.00000005);
    EXPECT_NEAR(probe.betaValue(), 0.464257, 0.0000005);
    EXPECT_NEAR(probe.gammaValue(), 0.920885, 0.0000005);
}

TEST_F(FilterCoefficients, HostWithoutAnAnswerLeaves44100) {
    host.answers[audioMasterGetSampleRate] = 0;
    FilterProbe probe;
    EXPECT_EQ(probe.filterRate(), 44100.0);
    expectBits(probe, expectedCoefficients(0.5f, 0.5f, 44100.0), "no answer");
}

TEST_F(FilterCoefficients, EveryRoundingHappensWhereStated) {
    int differsFromSinglePrecision = 0;
    for (double rate : {22050.0, 44100.0, 48000.0, 88200.0, 96000.0, 192000.0}) {
        FilterProbe probe;
        probe.setSampleRate(static_cast<float>(rate));
        for (float peak : {0.0f, 0.3f, 0.5f, 1.0f}) {
            probe.setParameter(2, peak);
            for (int step = 0; step <= 64; ++step) {
                const float frequency = step / 64.0f;
                probe.setParameter(0, frequency);
                const Coefficients expected = expectedCoefficients(frequency, probe.bandwidthValue(), rate);
                expectBits(probe, expected, "grid");
                const Coefficients careless =
                    singlePrecisionCoefficients(frequency, probe.bandwidthValue(), static_cast<float>(rate));
                differsFromSinglePrecision += careless.alpha != expected.alpha || careless.beta != expected.beta ||
                                              careless.gamma != expected.gamma;
            }
        }
    }
    // The grid is fine enough to tell the exact float roundings from plain floats.
    EXPECT_GT(differsFromSinglePrecision, 100);
}

TEST_F(FilterCoefficients, ANewEffectFiltersFromItsFirstBlock) {
    FilterProbe probe;
    EXPECT_NE(probe.alphaValue(), 0.0f);
    StereoBuffer input(64, 1.0f);
    const StereoBuffer output = processed(probe, input);
    EXPECT_GT(output.left.back(), 0.1f);
    EXPECT_GT(output.right.back(), 0.1f);
}

TEST_F(FilterCoefficients, FollowTheSampleRateFromEitherOpcode) {
    host.answers[audioMasterGetSampleRate] = 48000;
    FilterProbe at48000;
    host.answers[audioMasterGetSampleRate] = 44100;
    FilterProbe at44100;
    FilterProbe moved;
    AEffect* record = moved.getAeffect();
    record->dispatcher(record, effSetSampleRate, 0, 0, nullptr, 48000.0f);
    EXPECT_EQ(moved.getSampleRate(), 48000.0f);
    EXPECT_EQ(moved.filterRate(), 48000.0);
    expectBits(moved, at48000.coefficients(), "effSetSampleRate");
    record->dispatcher(record, effSetBlockSizeAndSampleRate, 0, 512, nullptr, 44100.0f);
    EXPECT_EQ(moved.getBlockSize(), 512);
    expectBits(moved, at44100.coefficients(), "effSetBlockSizeAndSampleRate");
    record->dispatcher(record, effSetBlockSizeAndSampleRate, 0, 256, nullptr, 48000.0f);
    expectBits(moved, at48000.coefficients(), "effSetBlockSizeAndSampleRate");
}

TEST_F(FilterCoefficients, BlockSizeGainAndControllerLeaveThemAlone) {
    FilterProbe probe;
    const Coefficients before = probe.coefficients();
    probe.setBlockSize(17);
    expectBits(probe, before, "setBlockSize");
    probe.setParameter(1, 0.1f);
    probe.setParameter(3, 1.0f);
    expectBits(probe, before, "gain and controller");
}

}  // namespace
