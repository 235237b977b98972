// The magnitude response of a hosted plug-in, measured rather than assumed:
// an impulse on its first input (silence on any others), the first output's
// spectrum read at log-spaced frequencies, and, as a second opinion, an
// exponential sine sweep through the same settings, deconvolved by spectral
// division. A linear, time-invariant plug-in gives the same curve both ways;
// one that is not shows up as their disagreement. Portable: drawing the
// curves is someone else's job.
#pragma once

#include <complex>
#include <cstddef>
#include <string>
#include <vector>

#include "tools/hosting/HostedPlugin.h"

struct MeasuredResponse {
    std::vector<double> impulseDecibels;  // one per frequency
    std::vector<double> sweepDecibels;
    // The largest |impulse - sweep| in dB over the frequencies where the
    // impulse curve lies within kCompareRangeDb of its own top: further
    // down, both read the plug-in's rounding noise.
    double disagreement = 0.0;
    size_t nonFiniteSamples = 0;  // output samples that were NaN or infinite, counted as silence

    // The frequency of the impulse curve's top and its level.
    size_t topIndex() const;
};

class FrequencyResponse {
public:
    // Long enough for a resonant filter's tail to die out, at 1.4 s at 48 kHz.
    static constexpr size_t kImpulseFrames = 65536;
    // The sweep goes from kSweepStartHz to just below half the rate; it is
    // followed by kImpulseFrames of silence so that the response ends inside
    // the recording.
    static constexpr size_t kSweepFrames = 131072;
    static constexpr double kSweepStartHz = 10.0;
    static constexpr float kSweepLevel = 0.5f;
    static constexpr double kLowestHz = 20.0;
    static constexpr double kHighestHz = 20000.0;
    static constexpr int kPointsPerDecade = 200;
    static constexpr double kCompareRangeDb = 80.0;
    // Silence after each reset, for plug-ins that glide to new settings.
    static constexpr double kSettleSeconds = 0.25;

    // host: a loaded plug-in, configured for sampleRate and at least blockSize.
    FrequencyResponse(HostedPlugin& host, int sampleRate, int blockSize);

    // Log-spaced from kLowestHz to kHighestHz, or to just below half the rate at low rates.
    const std::vector<double>& frequencies() const { return frequencyList; }
    // False, naming the plug-in, when it has no input or no output to measure.
    bool check(std::string& error) const;
    // Measures the plug-in as it is set now. It is switched on for each
    // method and off after it, so that nothing of one run rings into the next.
    MeasuredResponse measure();

    // The spectrum (discrete-time Fourier transform) of a signal at these frequencies.
    static std::vector<std::complex<double>> spectrum(const std::vector<float>& signal,
                                                      const std::vector<double>& frequencies, double sampleRate);
    static std::vector<double> logFrequencies(double low, double high, int perDecade);
    static double decibels(double magnitude);
    static std::vector<float> exponentialSweep(size_t frames, double startHz, double endHz, double sampleRate,
                                               float level);

private:
    // The first output for this signal on the first input, after a reset and the settling silence.
    std::vector<float> firstOutputFor(const std::vector<float>& input, size_t& nonFinite);
    void processBlocks(const float* input, float* output, size_t frames, size_t& nonFinite);

    HostedPlugin& host;
    int sampleRate;
    int blockSize;
    std::vector<double> frequencyList;
    std::vector<float> sweep;
    std::vector<std::complex<double>> sweepSpectrum;
    std::vector<std::vector<float>> inputs;
    std::vector<std::vector<float>> outputs;
    std::vector<float*> inputPointers;
    std::vector<float*> outputPointers;
};
