#include "quavix/ParameterText.h"

#include <cstdio>

#include "framework/EffectBase.h"
#include "quavix/Parameters.h"

namespace quavix {
namespace {

constexpr VstInt32 kPanelDecibelLength = 5;

// Truncated toward zero on the panel. A value beyond what an int holds (only
// a broken host sends one) gives an empty text rather than undefined behaviour.
void writeHertz(ReadOutPlace place, double hertz, char* text, size_t size) {
    if (place == ReadOutPlace::kHost) {
        std::snprintf(text, size, "%f", hertz);
    } else if (hertz > -2147483648.0 && hertz < 2147483648.0) {
        std::snprintf(text, size, "%d", static_cast<int>(hertz));
    }
}

void writeDecibels(AudioEffect* effect, ReadOutPlace place, double factor, char* text, size_t size) {
    const VstInt32 length = place == ReadOutPlace::kHost ? kVstMaxParamStrLen : kPanelDecibelLength;
    if (effect && size > static_cast<size_t>(length)) {
        effect->dB2string(static_cast<float>(factor), text, length);
    }
}

// Compared in single precision, as the damping is kept; a damping that is
// not a number reads "Lo".
void writePeakName(double damping, char* text, size_t size) {
    const float single = static_cast<float>(damping);
    const char* name = single <= kHighPeakDamping     ? kHighPeakName
                       : single <= kMediumPeakDamping ? kMediumPeakName
                                                      : kLowPeakName;
    std::snprintf(text, size, "%s", name);
}

void writeNumber(int32_t index, double number, char* text, size_t size) {
    if (number >= kParameters[index].minimum && number <= kParameters[index].maximum) {
        std::snprintf(text, size, "%d", static_cast<int>(number));
    }
}

}  // namespace

void writeReadOut(AudioEffect* effect, int32_t index, ReadOutPlace place, double quantity, char* text, size_t size) {
    if (!text || size == 0) {
        return;
    }
    text[0] = 0;
    if (index < 0 || index >= kNumParams) {
        return;
    }
    switch (kParameters[index].readOut) {
    case ReadOut::kHertz:
        writeHertz(place, quantity, text, size);
        break;
    case ReadOut::kDecibels:
        writeDecibels(effect, place, quantity, text, size);
        break;
    case ReadOut::kPeakName:
        writePeakName(quantity, text, size);
        break;
    case ReadOut::kNumber:
        writeNumber(index, quantity, text, size);
        break;
    }
}

}  // namespace quavix
