#include "effect/Filter.h"

#include <xmmintrin.h>

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "effect/EditorFactory.h"
#include "effect/QuavixConfig.h"

namespace {

using quavix::kControllerParam;
using quavix::kCornerRangeHz;
using quavix::kHighestController;
using quavix::kHighPeakDamping;
using quavix::kLowestCornerHz;
using quavix::kMediumPeakDamping;
using quavix::kFrequencyParam;
using quavix::kGainParam;
using quavix::kPeakParam;

constexpr float kInitialFrequencyValue = 0.5f;
// A factor setParameter itself can produce (v = 1.0), so the gain read-out
// and the value the host reads back both name the factor applied.
constexpr float kInitialOutputGain = 0.5f;
constexpr float kInitialBandwidth = 0.5f;
constexpr int32_t kInitialController = 1;

constexpr double kSingleTenth = 0.10000000149011612;  // 0.1f widened
constexpr double kPeakReadBack = 1.1;

constexpr double kTwoPiSingle = 6.2831854820251465;  // 2 pi as a float, widened
constexpr double kFeedbackScale = 2.0;               // K of the difference equation
// The corner stays inside the range where these coefficients are stable
// after rounding: at most 0.49 of the rate (theta 0.98 pi, cos(theta) still
// clearly above -1) and at least 1/2048 of it (cos(theta) still clearly below
// 1). From 7756 Hz to 1.6 MHz neither bound touches the 800..3800 Hz range.
constexpr double kHighestCornerRatio = 0.49;
constexpr double kLowestCornerRatio = 1.0 / 2048.0;

constexpr VstInt32 kMaxExaminedEvents = 1022;
constexpr unsigned char kStatusTypeMask = 0xF0;
constexpr unsigned char kControlChange = 0xB0;
constexpr unsigned char kFirstNonDataByte = 0x80;

const char* const kReceiveEvents = "receiveVstEvents";
const char* const kReceiveMidiEvent = "receiveVstMidiEvent";

constexpr auto kRelaxed = std::memory_order_relaxed;

// Flush-to-zero and denormals-are-zero for one block: a resonant tail decays
// straight into subnormal numbers, which cost many times a normal operation on
// most processors. Normal signals give the same bits either way.
class FlushDenormals {
public:
    FlushDenormals() : saved(_mm_getcsr()) { _mm_setcsr(saved | kFlushToZero | kDenormalsAreZero); }
    ~FlushDenormals() { _mm_setcsr(saved); }
    FlushDenormals(const FlushDenormals&) = delete;
    FlushDenormals& operator=(const FlushDenormals&) = delete;

private:
    static constexpr unsigned int kFlushToZero = 0x8000;
    static constexpr unsigned int kDenormalsAreZero = 0x0040;
    unsigned int saved;
};

struct Coefficients {
    float alpha;
    float beta;
    float gamma;
};

double clampedCorner(double corner, double rate) {
    const double highest = kHighestCornerRatio * rate;
    const double lowest = kLowestCornerRatio * rate;
    if (corner > highest) {
        return highest;
    }
    return corner < lowest ? lowest : corner;
}

// Each float conversion below is a rounding the filter's sound depends on.
Coefficients coefficientsFor(float frequency, float damping, double rate) {
    const double corner = clampedCorner(kLowestCornerHz + kCornerRangeHz * frequency, rate);
    const float theta = static_cast<float>(corner * kTwoPiSingle / rate);
    const float s = static_cast<float>(std::sin(static_cast<double>(theta)));
    const double x = s * (damping * 0.25);
    const float beta = static_cast<float>(0.5 * (1.0 - x) / (1.0 + x));
    const float k = static_cast<float>(std::cos(static_cast<double>(theta)));
    const float gamma = static_cast<float>(k * (0.5 + beta));
    const float alpha = static_cast<float>((0.5 + beta - gamma) * 0.25);
    return {alpha, beta, gamma};
}

float clampedUnit(float value) {
    if (value < 0.0f) {
        return 0.0f;
    }
    return value > 1.0f ? 1.0f : value;
}

bool usableRate(float rate) { return rate > 0.0f && std::isfinite(rate); }

bool hasStereo(float** channels) { return channels && channels[0] && channels[1]; }

// One of the identity texts into the host's buffer; false for a null buffer.
bool writeIdentity(char* text, const char* identity) {
    if (!text) {
        return false;
    }
    std::strcpy(text, identity);
    return true;
}

// The memory of one channel, held in registers for a block.
struct ChannelMemory {
    float x1;
    float x2;
    float y1;
    float y2;
};

// One sample of the difference equation: the whole expression in double,
// rounded to float once. A result that is not finite (non-finite or absurd
// input) restarts the channel from silence instead of poisoning its memory.
inline float filterStep(ChannelMemory& m, float input, float alpha, float beta, float gamma) {
    const double feedforward = input + kFeedbackScale * m.x1 + m.x2;
    const float y = static_cast<float>(
        kFeedbackScale * (alpha * feedforward + gamma * static_cast<double>(m.y1) - beta * static_cast<double>(m.y2)));
    if (!std::isfinite(y)) {
        m = ChannelMemory{0.0f, 0.0f, 0.0f, 0.0f};
        return 0.0f;
    }
    m.x2 = m.x1;
    m.x1 = input;
    m.y2 = m.y1;
    m.y1 = y;
    return y;
}

}  // namespace

Filter::Filter(audioMasterCallback audioMaster)
    : AudioEffectX(audioMaster, quavix::kNumPrograms, quavix::kNumParams),
      frequencyValue(kInitialFrequencyValue),
      outputGain(kInitialOutputGain),
      bandwidth(kInitialBandwidth),
      controllerNumber(kInitialController),
      justSteppedUp(false),
      programName(),
      filterSampleRate(0.0),
      alpha(0.0f),
      beta(0.0f),
      gamma(0.0f) {
    clearMemories();
    updateSampleRate();
    filterSampleRate.store(sampleRate, kRelaxed);
    cEffect.flags |= effFlagsCanReplacing | effFlagsIsSynth;
    cEffect.numInputs = quavix::kNumInputs;
    cEffect.numOutputs = quavix::kNumOutputs;
    cEffect.uniqueID = quavix::kUniqueId;
    std::strncpy(programName, quavix::kDefaultProgramName, kProgramNameSize - 1);
    createEditor(this);  // attaches itself, setting the editor flag
    computeCoefficients();
}

void Filter::clearMemories() {
    for (int channel = 0; channel < kNumChannels; ++channel) {
        x1[channel] = x2[channel] = y1[channel] = y2[channel] = 0.0f;
    }
}

void Filter::suspend() { clearMemories(); }

void Filter::resume() { wantEvents(1); }

// The filter follows the host's rate so that the corner stays where the
// read-out says; rates that are not positive finite numbers are ignored.
void Filter::setSampleRate(float newSampleRate) {
    if (!usableRate(newSampleRate)) {
        return;
    }
    sampleRate = newSampleRate;
    filterSampleRate.store(newSampleRate);
    computeCoefficients();
}

void Filter::setBlockSizeAndSampleRate(VstInt32 newBlockSize, float newSampleRate) {
    blockSize = newBlockSize;
    setSampleRate(newSampleRate);
}

// Automation and MIDI may run this on two threads at once. Each pass checks,
// after its stores, that the inputs it read are still current and goes round
// again if not, so the last stores always belong to one coherent set. The
// inputs' stores, these loads and the coefficient stores are sequentially
// consistent, which orders the check after the stores on every processor;
// processReplacing's loads stay relaxed.
void Filter::computeCoefficients() {
    for (;;) {
        const float frequency = frequencyValue.load();
        const float damping = bandwidth.load();
        const double rate = filterSampleRate.load();
        const Coefficients c = coefficientsFor(frequency, damping, rate);
        alpha.store(c.alpha);
        beta.store(c.beta);
        gamma.store(c.gamma);
        if (frequency == frequencyValue.load() && damping == bandwidth.load() && rate == filterSampleRate.load()) {
            return;
        }
    }
}

void Filter::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    if (sampleFrames <= 0 || !hasStereo(inputs) || !hasStereo(outputs)) {
        return;
    }
    const FlushDenormals flush;
    const float* inLeft = inputs[0];
    const float* inRight = inputs[1];
    float* outLeft = outputs[0];
    float* outRight = outputs[1];
    ChannelMemory left{x1[0], x2[0], y1[0], y2[0]};
    ChannelMemory right{x1[1], x2[1], y1[1], y2[1]};
    for (VstInt32 n = 0; n < sampleFrames; ++n) {
        // Read afresh each sample: a change landing mid-block acts at once.
        const float a = alpha.load(kRelaxed);
        const float b = beta.load(kRelaxed);
        const float g = gamma.load(kRelaxed);
        const float gain = outputGain.load(kRelaxed);
        // Both inputs first: an output may share memory with either input.
        const float xl = inLeft[n];
        const float xr = inRight[n];
        const float yl = filterStep(left, xl, a, b, g);
        const float yr = filterStep(right, xr, a, b, g);
        outLeft[n] = yl * gain;
        outRight[n] = yr * gain;
    }
    x1[0] = left.x1;
    x2[0] = left.x2;
    y1[0] = left.y1;
    y2[0] = left.y2;
    x1[1] = right.x1;
    x2[1] = right.x2;
    y1[1] = right.y1;
    y2[1] = right.y2;
}

// Values for indices 0 to 2 are clamped to 0..1 and a value that is not a
// number is ignored, so no host can push the corner out of its range.
void Filter::setParameter(VstInt32 index, float value) {
    switch (index) {
    case kFrequencyParam:
        setFrequencyValue(value);
        break;
    case kGainParam:
        setOutputGainValue(value);
        break;
    case kPeakParam:
        setPeakValue(value);
        break;
    case kControllerParam:
        stepControllerNumber(value);
        break;
    default:
        break;
    }
    tellEditor(editor, index, value);
}

void Filter::setFrequencyValue(float value) {
    if (std::isnan(value)) {
        return;
    }
    frequencyValue.store(clampedUnit(value));
    computeCoefficients();
}

void Filter::setOutputGainValue(float value) {
    if (std::isnan(value)) {
        return;
    }
    outputGain.store(static_cast<float>(clampedUnit(value) * quavix::kGainAtFullScale), kRelaxed);
}

void Filter::setPeakValue(float value) {
    if (std::isnan(value)) {
        return;
    }
    bandwidth.store(static_cast<float>((1.0 - clampedUnit(value)) + kSingleTenth));
    computeCoefficients();
}

// The rocker switch sends +1.0 or -1.0 on press and 0.0 on release: up steps
// at the press and swallows its release, down steps at the release. Any other
// value (a host restoring a saved value) only ends a pending swallow.
void Filter::stepControllerNumber(float value) {
    const int32_t current = controllerNumber.load(kRelaxed);
    if (value == 1.0f) {
        controllerNumber.store(current == kHighestController ? 0 : current + 1, kRelaxed);
        justSteppedUp.store(true, kRelaxed);
    } else if (value == 0.0f && !justSteppedUp.load(kRelaxed)) {
        controllerNumber.store(current == 0 ? kHighestController : current - 1, kRelaxed);
    } else {
        justSteppedUp.store(false, kRelaxed);
    }
}

float Filter::getParameter(VstInt32 index) {
    switch (index) {
    case kFrequencyParam:
        return frequencyValue.load(kRelaxed);
    case kGainParam: {
        const float gain = outputGain.load(kRelaxed);
        return gain + gain;
    }
    case kPeakParam:
        return static_cast<float>(kPeakReadBack - bandwidth.load(kRelaxed));
    case kControllerParam:
        return static_cast<float>(controllerNumber.load(kRelaxed) / double(kHighestController));
    default:
        return 0.0f;
    }
}

void Filter::setProgramName(char* name) {
    if (!name) {
        return;
    }
    std::strncpy(programName, name, kProgramNameSize - 1);
    programName[kProgramNameSize - 1] = 0;
}

void Filter::getProgramName(char* name) {
    if (name) {
        std::strcpy(name, programName);
    }
}

void Filter::getParameterName(VstInt32 index, char* text) {
    static const char* const kNames[quavix::kNumParams] = {"Center Frequency", "Gain", "peak", "midi controller #"};
    if (text) {
        std::strcpy(text, index >= 0 && index < quavix::kNumParams ? kNames[index] : "");
    }
}

// Index 3 has no unit; it and unknown indices get an empty text rather than
// whatever the host's buffer held.
void Filter::getParameterLabel(VstInt32 index, char* label) {
    static const char* const kLabels[quavix::kNumParams] = {"Hz", "dB", " ", ""};
    if (label) {
        std::strcpy(label, index >= 0 && index < quavix::kNumParams ? kLabels[index] : "");
    }
}

void Filter::getParameterDisplay(VstInt32 index, char* text) {
    if (!text) {
        return;
    }
    char formatted[32] = "";
    switch (index) {
    case kFrequencyParam:
        std::snprintf(formatted, sizeof(formatted), "%f",
                      kLowestCornerHz + kCornerRangeHz * frequencyValue.load(kRelaxed));
        break;
    case kGainParam:
        dB2string(outputGain.load(kRelaxed), formatted, kVstMaxParamStrLen);
        break;
    case kPeakParam: {
        const float damping = bandwidth.load(kRelaxed);
        std::strcpy(formatted, damping <= kHighPeakDamping ? "Hi" : damping <= kMediumPeakDamping ? "Med" : "Lo");
        break;
    }
    case kControllerParam:
        std::snprintf(formatted, sizeof(formatted), "%d", static_cast<int>(controllerNumber.load(kRelaxed)));
        break;
    default:
        break;
    }
    std::strcpy(text, formatted);
}

VstInt32 Filter::processEvents(VstEvents* events) {
    if (!events) {
        return 0;
    }
    for (VstInt32 i = 0; i < events->numEvents; ++i) {
        const VstEvent* event = events->events[i];
        if (!event || event->type != kVstMidiType) {
            continue;
        }
        if (i >= kMaxExaminedEvents) {
            break;
        }
        applyControlChange(*event);
    }
    return 1;
}

// Every MIDI channel acts alike; value 0 leaves the frequency where it is.
void Filter::applyControlChange(const VstEvent& event) {
    const unsigned char* midiData =
        reinterpret_cast<const unsigned char*>(&event) + offsetof(VstMidiEvent, midiData);
    const unsigned char status = midiData[0];
    const unsigned char number = midiData[1];
    const unsigned char value = midiData[2];
    if ((status & kStatusTypeMask) != kControlChange) {
        return;
    }
    if (number != controllerNumber.load(kRelaxed) || value == 0 || value >= kFirstNonDataByte) {
        return;
    }
    setParameter(kFrequencyParam, static_cast<float>((value - 1) / double(kHighestController)));
}

bool Filter::getEffectName(char* name) { return writeIdentity(name, quavix::kEffectName); }

bool Filter::getVendorString(char* text) { return writeIdentity(text, quavix::kVendorString); }

bool Filter::getProductString(char* text) { return writeIdentity(text, quavix::kProductString); }

VstInt32 Filter::getVendorVersion() { return quavix::kVendorVersion; }

VstInt32 Filter::canDo(char* text) {
    if (!text) {
        return 0;
    }
    return std::strcmp(text, kReceiveEvents) == 0 || std::strcmp(text, kReceiveMidiEvent) == 0 ? 1 : 0;
}

VstPlugCategory Filter::getPlugCategory() { return kPlugCategEffect; }
