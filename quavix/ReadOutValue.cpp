#include "quavix/ReadOutValue.h"

#include <charconv>
#include <cmath>
#include <string>

#include "framework/EffectBase.h"
#include "quavix/Parameters.h"

namespace quavix {
namespace {

constexpr double kReadOutSlack = 1e-3;
constexpr const char* kWhitespace = " \t";

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(kWhitespace);
    return first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(kWhitespace) - first + 1);
}

// The text without its parameter's unit label at the end, if it has one.
std::string withoutUnit(int32_t index, const std::string& text, bool* hadUnit) {
    const std::string unit = trimmed(kParameters[index].label);
    *hadUnit =
        !unit.empty() && text.size() > unit.size() && text.compare(text.size() - unit.size(), unit.size(), unit) == 0;
    return *hadUnit ? trimmed(text.substr(0, text.size() - unit.size())) : text;
}

// A whole decimal number, read the same whatever locale the host set (a
// plus sign is as plain as none).
bool parseNumber(const std::string& text, double* number) {
    const char* first = text.c_str();
    const char* last = first + text.size();
    if (first != last && *first == '+') {
        ++first;
    }
    const std::from_chars_result result = std::from_chars(first, last, *number);
    return result.ec == std::errc() && result.ptr == last && std::isfinite(*number);
}

// Each name stands for the peak value at the end of its range it names,
// and Med for where Quavix starts, which reads Med.
bool peakFromName(const std::string& name, double* peak) {
    const Parameter& parameter = kParameters[kPeakParam];
    if (name == kHighPeakName) {
        *peak = parameter.maximum;
    } else if (name == kMediumPeakName) {
        *peak = parameter.initial;
    } else if (name == kLowPeakName) {
        *peak = parameter.minimum;
    } else {
        return false;
    }
    return true;
}

// The gain value whose output factor the decibels name.
bool gainFromDecibels(const std::string& decibels, double* gain) {
    double level = 0.0;
    if (decibels == AudioEffect::kMinusInfinityText) {
        *gain = 0.0;
        return true;
    }
    if (!parseNumber(decibels, &level)) {
        return false;
    }
    *gain = std::pow(10.0, level / 20.0) / kGainAtFullScale;
    return true;
}

}  // namespace

bool readOutValue(int32_t index, const char* text, double* value) {
    if (!text || !value || index < 0 || index >= kNumParams) {
        return false;
    }
    bool hadUnit = false;
    const std::string number = withoutUnit(index, trimmed(text), &hadUnit);
    double result = 0.0;
    bool read = false;
    if (kParameters[index].readOut == ReadOut::kPeakName && peakFromName(number, &result)) {
        read = true;
    } else if (kParameters[index].readOut == ReadOut::kDecibels && hadUnit) {
        read = gainFromDecibels(number, &result);
    } else {
        read = parseNumber(number, &result);
    }
    const Parameter& parameter = kParameters[index];
    // A read-out keeps a few digits, truncated, so the one of an end of
    // the range may name a hair beyond it: that much is the end itself.
    const double slack = (parameter.maximum - parameter.minimum) * kReadOutSlack;
    if (!read || result < parameter.minimum - slack || result > parameter.maximum + slack) {
        return false;
    }
    result = std::fmin(parameter.maximum, std::fmax(parameter.minimum, result));
    *value = parameter.integer ? std::round(result) : result;
    return true;
}

}  // namespace quavix
