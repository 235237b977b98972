#include "quavix/Filter.h"

#include <emmintrin.h>
#include <xmmintrin.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>

#include "framework/Entry.h"
#include "quavix/EditorFactory.h"
#include "quavix/ParameterText.h"
#include "quavix/Parameters.h"
#include "quavix/QuavixConfig.h"

namespace {

using quavix::initialValue;
using quavix::kControllerParam;
using quavix::kFrequencyParam;
using quavix::kGainParam;
using quavix::kHighestController;
using quavix::kParameters;
using quavix::kPeakParam;
using quavix::ReadOutPlace;

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
    const double corner = clampedCorner(quavix::unitValue(kFrequencyParam, frequency), rate);
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

// The filter's damping for a peak value, in double from the host's float.
float dampingFor(double peak) { return static_cast<float>((1.0 - peak) + kSingleTenth); }

// The output factor for a gain value; 1 gives a factor setParameter itself
// produces, so the read-out and the read-back of a new effect name the factor applied.
float outputGainFor(double gain) { return static_cast<float>(gain * quavix::kGainAtFullScale); }

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

// Per block, the two channels run side by side, left in the low lane of each
// register: every lane goes through the same double operations as a single
// channel would, but the eight memories and the three coefficients fit the
// eight SSE registers of i686, where two separate channels spill memories to
// the stack in the middle of the sample-to-sample chain.
struct StereoMemory {
    __m128d x1;
    __m128d x2;
    __m128d y1;
    __m128d y2;
};

// The coefficients for one block, widened and doubled: the difference
// equation is y = 2 (alpha f + gamma y1 - beta y2), and doubling in double is
// exact, so taking the 2 into the coefficients gives the same bits with one
// operation fewer on the chain from one sample to the next.
struct BlockCoefficients {
    __m128d alpha;
    __m128d beta;
    __m128d gamma;
};

// A left and a right float, widened, in the low and the high lane.
inline __m128d widened(const float* left, const float* right) {
    return _mm_cvtps_pd(_mm_unpacklo_ps(_mm_load_ss(left), _mm_load_ss(right)));
}

// Both lanes rounded back to float, into the left and the right place.
inline void narrowed(__m128d pair, float* left, float* right) {
    const __m128 single = _mm_cvtpd_ps(pair);
    _mm_store_ss(left, single);
    _mm_store_ss(right, _mm_shuffle_ps(single, single, _MM_SHUFFLE(1, 1, 1, 1)));
}

// One sample of the difference equation for both channels: the whole
// expression in double, rounded to float once.
inline __m128 filterStep(StereoMemory& m, __m128d input, const BlockCoefficients& c) {
    const __m128d feedforward = _mm_add_pd(_mm_add_pd(input, _mm_add_pd(m.x1, m.x1)), m.x2);
    const __m128d sum =
        _mm_sub_pd(_mm_add_pd(_mm_mul_pd(c.alpha, feedforward), _mm_mul_pd(c.gamma, m.y1)), _mm_mul_pd(c.beta, m.y2));
    const __m128 y = _mm_cvtpd_ps(sum);
    m.x2 = m.x1;
    m.x1 = input;
    m.y2 = m.y1;
    m.y1 = _mm_cvtps_pd(y);
    return y;
}

// All ones in each lane whose result is infinite or not a number.
inline __m128 notFinite(__m128 y) {
    const __m128 difference = _mm_sub_ps(y, y);  // 0 for a finite y, NaN otherwise
    return _mm_cmpunord_ps(difference, difference);
}

// A channel whose result is not finite (non-finite or absurd input) outputs 0
// and restarts from silence instead of poisoning its memory; the other
// channel goes on untouched. Answers the corrected result.
inline __m128 restartNotFinite(StereoMemory& m, __m128 y, __m128 bad) {
    const __m128d lanes = _mm_castps_pd(_mm_unpacklo_ps(bad, bad));
    m.x1 = _mm_andnot_pd(lanes, m.x1);
    m.x2 = _mm_andnot_pd(lanes, m.x2);
    m.y1 = _mm_andnot_pd(lanes, m.y1);
    m.y2 = _mm_andnot_pd(lanes, m.y2);
    return _mm_andnot_ps(bad, y);
}

// Runs the difference equation over a block. Checking each sample, a result
// that is not finite gives 0 and restarts its channel there. Without the
// check, which keeps the loop at the bare arithmetic, such a result instead
// feeds every later one of its channel through y1 (any operation on an
// infinity or a NaN gives another, products with 0 included), so the block's
// last y1 shows whether there was one. The memories come in and go out by
// value: a local whose address never escapes stays in registers, where one
// the compiler must assume an output store may touch goes back to memory at
// every sample.
template <bool kCheckEachSample>
StereoMemory runFrames(StereoMemory m, const BlockCoefficients& c, __m128 gain, const float* inLeft,
                       const float* inRight, float* outLeft, float* outRight, VstInt32 frames) {
    for (VstInt32 n = 0; n < frames; ++n) {
        // Both inputs first: an output may share memory with either input.
        __m128 y = filterStep(m, widened(inLeft + n, inRight + n), c);
        if (kCheckEachSample) {
            const __m128 bad = notFinite(y);
            if (_mm_movemask_ps(bad) != 0) {
                y = restartNotFinite(m, y, bad);
            }
        }
        const __m128 out = _mm_mul_ps(y, gain);
        _mm_store_ss(outLeft + n, out);
        _mm_store_ss(outRight + n, _mm_shuffle_ps(out, out, _MM_SHUFFLE(1, 1, 1, 1)));
    }
    return m;
}

// Whether both channels' last results are finite, and so all before them
// since the block's start.
bool lastResultsFinite(const StereoMemory& m) { return _mm_movemask_ps(notFinite(_mm_cvtpd_ps(m.y1))) == 0; }

bool overlap(const float* a, const float* b, VstInt32 frames) {
    const std::uintptr_t first = reinterpret_cast<std::uintptr_t>(a);
    const std::uintptr_t second = reinterpret_cast<std::uintptr_t>(b);
    const std::uintptr_t bytes = sizeof(float) * static_cast<std::uintptr_t>(frames);
    return first < second + bytes && second < first + bytes;
}

// Whether writing an output may overwrite an input of the same block.
bool sharesMemory(float** inputs, float** outputs, VstInt32 frames) {
    for (int out = 0; out < 2; ++out) {
        for (int in = 0; in < 2; ++in) {
            if (overlap(outputs[out], inputs[in], frames)) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

Filter::Filter(audioMasterCallback audioMaster)
    : AudioEffectX(audioMaster, quavix::kNumPrograms, quavix::kNumParams),
      frequencyValue(static_cast<float>(initialValue(kFrequencyParam))),
      outputGain(outputGainFor(initialValue(kGainParam))),
      // The peak starts as a host sets it, from its value as a float: a new
      // instance and one restored from its read-backs then sound the same.
      bandwidth(dampingFor(static_cast<float>(initialValue(kPeakParam)))),
      controllerNumber(static_cast<int32_t>(kParameters[kControllerParam].initial)),
      programName(),
      filterSampleRate(0.0),
      // A frequency no setting has: the first block computes its coefficients.
      blockSetting{std::numeric_limits<float>::quiet_NaN(), 0.0f, 0.0, 0.0f, 0.0f, 0.0f} {
    clearMemories();
    updateSampleRate();
    filterSampleRate.store(sampleRate, kRelaxed);
    cEffect.flags |= effFlagsCanReplacing;
    cEffect.numInputs = quavix::kNumInputs;
    cEffect.numOutputs = quavix::kNumOutputs;
    cEffect.uniqueID = quavix::kUniqueId;
    std::strncpy(programName, quavix::kDefaultProgramName, kProgramNameSize - 1);
    createEditor(this);  // attaches itself, setting the editor flag
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
    filterSampleRate.store(newSampleRate, kRelaxed);
}

void Filter::setBlockSizeAndSampleRate(VstInt32 newBlockSize, float newSampleRate) {
    blockSize = newBlockSize;
    setSampleRate(newSampleRate);
}

void Filter::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    if (sampleFrames <= 0 || !hasStereo(inputs) || !hasStereo(outputs)) {
        return;
    }
    const FlushDenormals flush;
    // Parameters are read once per block: a change acts from the next block.
    computeCoefficients();
    const BlockCoefficients c{_mm_set1_pd(kFeedbackScale * blockSetting.alpha),
                              _mm_set1_pd(kFeedbackScale * blockSetting.beta),
                              _mm_set1_pd(kFeedbackScale * blockSetting.gamma)};
    const __m128 gain = _mm_set1_ps(outputGain.load(kRelaxed));
    const StereoMemory start{widened(&x1[0], &x1[1]), widened(&x2[0], &x2[1]), widened(&y1[0], &y1[1]),
                             widened(&y2[0], &y2[1])};
    // The block runs unchecked; only if a result was not finite does it run
    // again from its start, checking each sample, which gives the same bits
    // as checking each sample throughout. Running again needs the inputs, so
    // where an output shares memory with one, each sample is checked at once.
    const float* inLeft = inputs[0];
    const float* inRight = inputs[1];
    float* outLeft = outputs[0];
    float* outRight = outputs[1];
    const bool shared = sharesMemory(inputs, outputs, sampleFrames);
    StereoMemory m = shared ? runFrames<true>(start, c, gain, inLeft, inRight, outLeft, outRight, sampleFrames)
                            : runFrames<false>(start, c, gain, inLeft, inRight, outLeft, outRight, sampleFrames);
    if (!shared && !lastResultsFinite(m)) {
        m = runFrames<true>(start, c, gain, inLeft, inRight, outLeft, outRight, sampleFrames);
    }
    narrowed(m.x1, &x1[0], &x1[1]);
    narrowed(m.x2, &x2[0], &x2[1]);
    narrowed(m.y1, &y1[0], &y1[1]);
    narrowed(m.y2, &y2[0], &y2[1]);
    silenceDecayedChannels();
}

// The coefficients come from the parameters as this thread finds them, and
// are kept only here, for this thread's blocks: coefficients another thread
// computed could reach a block half of one setting and half of another,
// which can put the poles outside the unit circle, a burst that reaches 1e19
// within one block. Each parameter is one atomic value, so whatever this
// reads is one real setting.
void Filter::computeCoefficients() { blockSetting = settingFromParameters(); }

// sin and cos run only when the setting changed.
Filter::BlockSetting Filter::settingFromParameters() const {
    const float frequency = frequencyValue.load(kRelaxed);
    const float damping = bandwidth.load(kRelaxed);
    const double rate = filterSampleRate.load(kRelaxed);
    if (frequency == blockSetting.frequency && damping == blockSetting.damping && rate == blockSetting.rate) {
        return blockSetting;
    }
    const Coefficients c = coefficientsFor(frequency, damping, rate);
    return BlockSetting{frequency, damping, rate, c.alpha, c.beta, c.gamma};
}

uint32_t Filter::ringOutFrames(float frequency, float peak, double rate) {
    if (!usableRate(static_cast<float>(rate)) || std::isnan(frequency) || std::isnan(peak)) {
        return 0;
    }
    const float damping = dampingFor(clampedUnit(peak));
    const Coefficients c = coefficientsFor(clampedUnit(frequency), damping, rate);
    // y = 2 (alpha f + gamma y1 - beta y2): the poles solve z^2 - 2 gamma z + 2 beta = 0.
    const double gamma = c.gamma;
    const double product = 2.0 * c.beta;
    const double discriminant = gamma * gamma - product;
    const double radius = discriminant < 0.0 ? std::sqrt(product) : std::fabs(gamma) + std::sqrt(discriminant);
    if (!(radius > 0.0 && radius < 1.0)) {
        return 0;
    }
    // The resonance lifts the corner by about 2 / damping over the input.
    const double loudest = 2.0 / damping;
    const double frames = std::ceil(std::log(kSilenceThreshold / loudest) / std::log(radius));
    return frames < static_cast<double>(INT32_MAX) ? static_cast<uint32_t>(frames) : INT32_MAX;
}

// Checked once per block, so the per-sample loop carries nothing for it: a
// channel whose four memories have all died away below the threshold holds
// exact zeros from here on, and silent input then gives exact zeros out.
void Filter::silenceDecayedChannels() {
    for (int channel = 0; channel < kNumChannels; ++channel) {
        if (std::fabs(x1[channel]) < kSilenceThreshold && std::fabs(x2[channel]) < kSilenceThreshold &&
            std::fabs(y1[channel]) < kSilenceThreshold && std::fabs(y2[channel]) < kSilenceThreshold) {
            x1[channel] = x2[channel] = y1[channel] = y2[channel] = 0.0f;
        }
    }
}

// Values are clamped to 0..1 and a value that is not a number is ignored, so
// no host can push the corner out of its range or the controller out of 0..127.
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
        setControllerValue(value);
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
    frequencyValue.store(clampedUnit(value), kRelaxed);
}

void Filter::setOutputGainValue(float value) {
    if (std::isnan(value)) {
        return;
    }
    outputGain.store(outputGainFor(clampedUnit(value)), kRelaxed);
}

void Filter::setPeakValue(float value) {
    if (std::isnan(value)) {
        return;
    }
    bandwidth.store(dampingFor(clampedUnit(value)), kRelaxed);
}

// The controller number is a value like the others, so that a host that
// echoes what the editor automates, or restores a saved session, sets the
// number it heard instead of stepping it. The editor's rocker does its own
// stepping and reports the new number.
void Filter::setControllerValue(float value) {
    if (std::isnan(value)) {
        return;
    }
    const double number = std::round(static_cast<double>(clampedUnit(value)) * kHighestController);
    controllerNumber.store(static_cast<int32_t>(number), kRelaxed);
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
        // The bandwidth of peak 0 is 0.1f widened past 1.1 by rounding: never read back below 0.
        return static_cast<float>(std::fmax(0.0, kPeakReadBack - bandwidth.load(kRelaxed)));
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

// Unknown indices get an empty text rather than whatever the host's buffer held.
void Filter::getParameterName(VstInt32 index, char* text) {
    if (text) {
        std::strcpy(text, index >= 0 && index < quavix::kNumParams ? kParameters[index].name : "");
    }
}

void Filter::getParameterLabel(VstInt32 index, char* label) {
    if (label) {
        std::strcpy(label, index >= 0 && index < quavix::kNumParams ? kParameters[index].label : "");
    }
}

void Filter::getParameterDisplay(VstInt32 index, char* text) {
    if (!text) {
        return;
    }
    char formatted[32] = "";
    quavix::writeReadOut(this, index, ReadOutPlace::kHost, readOutQuantity(index), formatted, sizeof(formatted));
    std::strcpy(text, formatted);
}

// What each read-out names, as the effect keeps it.
double Filter::readOutQuantity(VstInt32 index) const {
    switch (index) {
    case kFrequencyParam:
        return quavix::unitValue(kFrequencyParam, frequencyValue.load(kRelaxed));
    case kGainParam:
        return outputGain.load(kRelaxed);
    case kPeakParam:
        return bandwidth.load(kRelaxed);
    case kControllerParam:
        return controllerNumber.load(kRelaxed);
    default:
        return 0.0;
    }
}

VstInt32 Filter::processEvents(VstEvents* events) {
    if (!events) {
        return 0;
    }
    for (VstInt32 i = 0; i < events->numEvents; ++i) {
        const VstEvent* event = eventAt(*events, i);
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
    const unsigned char* midiData = reinterpret_cast<const unsigned char*>(&event) + offsetof(VstMidiEvent, midiData);
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

// An effect, not an instrument: hosts sort, and some refuse, plug-ins by their
// category. MIDI still arrives through the event requests of resume.
VstPlugCategory Filter::getPlugCategory() { return kPlugCategEffect; }

// The effect this library makes.
AudioEffect* createEffectInstance(audioMasterCallback audioMaster) { return new (std::nothrow) Filter(audioMaster); }
