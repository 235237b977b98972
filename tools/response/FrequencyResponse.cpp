#include "tools/response/FrequencyResponse.h"

#include <algorithm>
#include <cmath>

#include "tools/render/OfflineRenderer.h"

namespace {

const double kPi = 3.14159265358979323846;
// The sweep ends just below half the rate, so that it passes every
// frequency read, and at a tone that no plug-in mistakes for its alias.
const double kSweepEndRatio = 0.49;
// The highest frequency read at low rates, as a share of the rate.
const double kHighestReadRatio = 0.48;
// Fades keep the sweep's ends from clicking; both lie outside 20 Hz .. 20 kHz.
const double kFadeInShare = 0.02;
const double kFadeOutShare = 0.0025;
// The phasor of the Fourier sum is recomputed exactly this often, so that
// its rounding never builds up over a long signal.
const size_t kPhasorRefresh = 512;
// Below this, a magnitude is taken as silence (-300 dB).
const double kSilentMagnitude = 1e-15;

}  // namespace

size_t MeasuredResponse::topIndex() const {
    size_t top = 0;
    for (size_t i = 1; i < impulseDecibels.size(); ++i) {
        if (impulseDecibels[i] > impulseDecibels[top])
            top = i;
    }
    return top;
}

FrequencyResponse::FrequencyResponse(HostedPlugin& host, int sampleRate, int blockSize)
    : host(host), sampleRate(sampleRate), blockSize(std::max(blockSize, 1)) {
    frequencyList = logFrequencies(kLowestHz, std::min(kHighestHz, kHighestReadRatio * sampleRate), kPointsPerDecade);
}

bool FrequencyResponse::check(std::string& error) const {
    const int numInputs = host.inputCount();
    const int numOutputs = host.outputCount();
    if (numInputs >= 1 && numInputs <= OfflineRenderer::kMaxChannels && numOutputs >= 1 &&
        numOutputs <= OfflineRenderer::kMaxChannels) {
        return true;
    }
    error = "plug-in '" + host.path() + "' has no response to measure: it has " + std::to_string(numInputs) +
            " inputs and " + std::to_string(numOutputs) + " outputs (an instrument or generator takes no input)";
    return false;
}

std::vector<double> FrequencyResponse::logFrequencies(double low, double high, int perDecade) {
    std::vector<double> result;
    if (!(low > 0.0) || !(high >= low) || perDecade < 1)
        return result;
    int steps = static_cast<int>(std::floor(std::log10(high / low) * perDecade + 1e-9));
    for (int i = 0; i <= steps; ++i) {
        result.push_back(low * std::pow(10.0, static_cast<double>(i) / perDecade));
    }
    // The top of the range is read too when it is not a whole step away.
    if (result.back() < high * (1.0 - 1e-9))
        result.push_back(high);
    return result;
}

double FrequencyResponse::decibels(double magnitude) {
    return 20.0 * std::log10(std::max(magnitude, kSilentMagnitude));
}

std::vector<float> FrequencyResponse::exponentialSweep(size_t frames, double startHz, double endHz, double sampleRate,
                                                       float level) {
    std::vector<float> result(frames, 0.0f);
    double seconds = static_cast<double>(frames) / sampleRate;
    double rise = seconds / std::log(endHz / startHz);  // the time the frequency takes to grow e-fold
    size_t fadeIn = static_cast<size_t>(kFadeInShare * frames);
    size_t fadeOut = static_cast<size_t>(kFadeOutShare * frames);
    for (size_t n = 0; n < frames; ++n) {
        double t = static_cast<double>(n) / sampleRate;
        double phase = 2.0 * kPi * startHz * rise * (std::exp(t / rise) - 1.0);
        double gain = 1.0;
        if (n < fadeIn)
            gain = 0.5 - 0.5 * std::cos(kPi * static_cast<double>(n) / fadeIn);
        if (frames - n <= fadeOut)
            gain = 0.5 - 0.5 * std::cos(kPi * static_cast<double>(frames - n) / fadeOut);
        result[n] = static_cast<float>(level * gain * std::sin(phase));
    }
    return result;
}

std::vector<std::complex<double>> FrequencyResponse::spectrum(const std::vector<float>& signal,
                                                              const std::vector<double>& frequencies,
                                                              double sampleRate) {
    // Trailing silence adds nothing; a decayed response is mostly that.
    size_t length = signal.size();
    while (length > 0 && signal[length - 1] == 0.0f) {
        --length;
    }
    std::vector<std::complex<double>> result;
    result.reserve(frequencies.size());
    for (double frequency : frequencies) {
        double omega = 2.0 * kPi * frequency / sampleRate;
        double stepRe = std::cos(omega), stepIm = -std::sin(omega);
        double sumRe = 0.0, sumIm = 0.0;
        // Real and imaginary parts by hand: complex multiplication would
        // check every product for infinities.
        for (size_t start = 0; start < length; start += kPhasorRefresh) {
            double phase = omega * static_cast<double>(start);
            double re = std::cos(phase), im = -std::sin(phase);
            size_t end = std::min(length, start + kPhasorRefresh);
            for (size_t n = start; n < end; ++n) {
                sumRe += signal[n] * re;
                sumIm += signal[n] * im;
                double next = re * stepRe - im * stepIm;
                im = re * stepIm + im * stepRe;
                re = next;
            }
        }
        result.emplace_back(sumRe, sumIm);
    }
    return result;
}

MeasuredResponse FrequencyResponse::measure() {
    MeasuredResponse response;
    std::vector<float> impulse(kImpulseFrames, 0.0f);
    impulse[0] = 1.0f;
    std::vector<std::complex<double>> impulseSpectrum =
        spectrum(firstOutputFor(impulse, response.nonFiniteSamples), frequencyList, sampleRate);

    if (sweep.empty()) {
        double endHz = kSweepEndRatio * sampleRate;
        sweep = exponentialSweep(kSweepFrames, kSweepStartHz, endHz, sampleRate, kSweepLevel);
        sweepSpectrum = spectrum(sweep, frequencyList, sampleRate);
        sweep.resize(kSweepFrames + kImpulseFrames, 0.0f);
    }
    std::vector<std::complex<double>> sweptSpectrum =
        spectrum(firstOutputFor(sweep, response.nonFiniteSamples), frequencyList, sampleRate);

    for (size_t i = 0; i < frequencyList.size(); ++i) {
        response.impulseDecibels.push_back(decibels(std::abs(impulseSpectrum[i])));
        response.sweepDecibels.push_back(decibels(std::abs(sweptSpectrum[i]) / std::abs(sweepSpectrum[i])));
    }
    double floor = response.impulseDecibels[response.topIndex()] - kCompareRangeDb;
    for (size_t i = 0; i < frequencyList.size(); ++i) {
        if (response.impulseDecibels[i] < floor)
            continue;
        response.disagreement =
            std::max(response.disagreement, std::fabs(response.impulseDecibels[i] - response.sweepDecibels[i]));
    }
    return response;
}

std::vector<float> FrequencyResponse::firstOutputFor(const std::vector<float>& input, size_t& nonFinite) {
    size_t frames = static_cast<size_t>(blockSize);
    inputs.assign(static_cast<size_t>(std::max(host.inputCount(), 1)), std::vector<float>(frames, 0.0f));
    outputs.assign(static_cast<size_t>(std::max(host.outputCount(), 1)), std::vector<float>(frames, 0.0f));
    inputPointers.clear();
    outputPointers.clear();
    for (std::vector<float>& buffer : inputs) {
        inputPointers.push_back(buffer.data());
    }
    for (std::vector<float>& buffer : outputs) {
        outputPointers.push_back(buffer.data());
    }

    // Switched on here and off at the end: every run starts from a plug-in just switched on.
    host.start();
    // The settling output is not part of the measurement: its non-finite samples are not counted.
    size_t ignored = 0;
    std::vector<float> silence(static_cast<size_t>(kSettleSeconds * sampleRate), 0.0f);
    std::vector<float> scratch(silence.size());
    processBlocks(silence.data(), scratch.data(), silence.size(), ignored);
    std::vector<float> output(input.size(), 0.0f);
    processBlocks(input.data(), output.data(), input.size(), nonFinite);
    host.stop();
    return output;
}

void FrequencyResponse::processBlocks(const float* input, float* output, size_t frames, size_t& nonFinite) {
    for (size_t start = 0; start < frames; start += static_cast<size_t>(blockSize)) {
        size_t count = std::min(frames - start, static_cast<size_t>(blockSize));
        // Plug-ins may write into their inputs, so every block starts from clean buffers.
        for (std::vector<float>& buffer : inputs) {
            std::fill(buffer.begin(), buffer.end(), 0.0f);
        }
        std::copy_n(input + start, count, inputs[0].begin());
        host.process(inputPointers.data(), outputPointers.data(), static_cast<int>(count));
        for (size_t i = 0; i < count; ++i) {
            float sample = outputs[0][i];
            if (!std::isfinite(sample)) {
                ++nonFinite;
                sample = 0.0f;
            }
            output[start + i] = sample;
        }
    }
}
