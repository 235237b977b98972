#include "tools/render/DemoPhrase.h"

#include <algorithm>
#include <cmath>

namespace {

const double kPi = 3.14159265358979323846;
const double kBeatsPerMinute = 100.0;
const double kStepSeconds = 60.0 / kBeatsPerMinute / 4.0;  // a sixteenth note
const int kStepsPerBar = 16;
const int kBars = 4;
const double kTailSeconds = 0.6;
const double kReleaseSeconds = 0.01;  // the fretting hand lifting off
const double kStrumSeconds = 0.008;   // between the strings of a downstroke
const double kRingingLoss = 0.996;    // Karplus-Strong feedback per sample, ringing string
const double kMutedLoss = 0.90;       // and with the palm on the strings: a short thud
const double kLineLength = 1.5;       // single notes ring a little into the next
const double kStabLength = 2.0;       // chord stabs ring through the scratch after them
const float kPeak = 0.5f;
const int kPedalHeel = 1;  // controller value 0 does not move the wah
const int kPedalToe = HostedPlugin::kHighestController;

double noteFrequency(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

}  // namespace

DemoPhrase::DemoPhrase(int sampleRate) : sampleRate(sampleRate) {}

double DemoPhrase::seconds() const { return kBars * kStepsPerBar * kStepSeconds + kTailSeconds; }

// E minor pentatonic: a single-note bar, a bar of Em7 stabs, each played twice.
std::vector<DemoPhrase::Pluck> DemoPhrase::riff() {
    const int kE2 = 40, kE3 = 52, kG3 = 55, kA3 = 57, kB3 = 59, kD3 = 50, kD4 = 62;
    const std::vector<Pluck> lineBar = {
        {0, kE2, 2, false},
        {2, kE3, kLineLength, false},
        {3, kE3, 1, true},
        {4, kG3, kLineLength, false},
        {5, kG3, 1, true},
        {6, kA3, kLineLength, false},
        {7, kA3, 1, true},
        {8, kB3, kLineLength, false},
        {9, kA3, kLineLength, false},
        {10, kG3, kLineLength, false},
        {11, kG3, 1, true},
        {12, kE3, kLineLength, false},
        {13, kE3, 1, true},
        {14, kD3, kLineLength, false},
        {15, kE3, 2, false},
    };
    const std::vector<int> chord = {kE3, kG3, kB3, kD4};
    const std::vector<std::pair<double, bool>> stabBar = {
        {0, false}, {1, true}, {2, true},   {3, false}, {4, true},  {5, true},   {6, false}, {7, true},
        {8, true},  {9, true}, {10, false}, {11, true}, {12, true}, {13, false}, {14, true}, {15, true},
    };
    std::vector<Pluck> plucks;
    for (int bar = 0; bar < kBars; ++bar) {
        double offset = bar * kStepsPerBar;
        if (bar % 2 == 0) {
            for (Pluck pluck : lineBar) {
                pluck.step += offset;
                plucks.push_back(pluck);
            }
            continue;
        }
        for (const std::pair<double, bool>& stab : stabBar) {
            for (size_t string = 0; string < chord.size(); ++string) {
                double strum = string * kStrumSeconds / kStepSeconds;
                plucks.push_back({offset + stab.first + strum, chord[string], kStabLength, stab.second});
            }
        }
    }
    return plucks;
}

void DemoPhrase::renderPluck(const Pluck& pluck, std::vector<float>& out, NoiseGenerator& noise) const {
    size_t start = static_cast<size_t>(pluck.step * kStepSeconds * sampleRate);
    double seconds = pluck.length * kStepSeconds;
    size_t length = std::min(static_cast<size_t>(seconds * sampleRate), out.size() - std::min(start, out.size()));
    size_t period = std::max<size_t>(2, static_cast<size_t>(std::lround(sampleRate / noteFrequency(pluck.note))));
    // The excitation: a burst of low-passed noise with its offset removed.
    std::vector<float> line(period);
    float smoothed = 0.0f, mean = 0.0f;
    for (float& sample : line) {
        smoothed += 0.5f * (noise.next() - smoothed);
        sample = smoothed;
        mean += smoothed / period;
    }
    for (float& sample : line)
        sample -= mean;
    float loss = static_cast<float>(pluck.muted ? kMutedLoss : kRingingLoss);
    float gain = pluck.muted ? 0.6f : 1.0f;
    size_t release = static_cast<size_t>(kReleaseSeconds * sampleRate);
    for (size_t i = 0; i < length; ++i) {
        size_t at = i % period;
        float current = line[at];
        line[at] = loss * 0.5f * (current + line[(at + 1) % period]);
        float fade = i + release > length ? static_cast<float>(length - i) / release : 1.0f;
        out[start + i] += gain * fade * current;
    }
}

AudioClip DemoPhrase::render() const {
    AudioClip clip;
    clip.sampleRate = sampleRate;
    clip.resize(1, static_cast<size_t>(seconds() * sampleRate));
    // Deterministic, so that every render of the demo is the same file.
    NoiseGenerator noise(0x5175u);
    for (const Pluck& pluck : riff())
        renderPluck(pluck, clip.channels[0], noise);
    float peak = 0.0f;
    for (float sample : clip.channels[0])
        peak = std::max(peak, std::fabs(sample));
    if (peak > 0.0f) {
        for (float& sample : clip.channels[0])
            sample *= kPeak / peak;
    }
    return clip;
}

// Bars 1 and 2: heel on the beat, toe on the off-beat. Bar 3: one slow sweep
// up; bar 4: back down; the tail rests on the heel.
int DemoPhrase::pedalAt(double time) {
    double beat = 4.0 * kStepSeconds;
    double bar = kStepsPerBar * kStepSeconds;
    double toe;
    if (time < 2.0 * bar)
        toe = 0.5 - 0.5 * std::cos(2.0 * kPi * time / beat);
    else if (time < 4.0 * bar)
        toe = 0.5 - 0.5 * std::cos(kPi * (time - 2.0 * bar) / bar);
    else
        toe = 0.0;
    return kPedalHeel + static_cast<int>(std::lround((kPedalToe - kPedalHeel) * toe));
}

ControllerCurve DemoPhrase::pedal() const {
    double length = seconds();
    return [length](size_t block, size_t numBlocks) {
        return pedalAt(length * static_cast<double>(block) / static_cast<double>(std::max<size_t>(numBlocks, 1)));
    };
}
