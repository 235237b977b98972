// Read-out texts: numbers squeezed into at most eight characters, digits
// truncated rather than rounded, so that a read-out never claims more than
// the value holds.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "framework/EffectBase.h"

namespace {

constexpr int kMaxChars = 8;
constexpr double kLargestPositive = 99999999.0;
constexpr double kLargestNegativeMagnitude = 9999999.0;
constexpr VstInt32 kLargestInt = 99999999;
constexpr VstInt32 kSmallestInt = -999999999;
constexpr VstInt32 kLeadingDivisor = 100000000;
const char* const kHugeText = "Huge!";
const char* const kNotANumberText = "NaN";
constexpr double kPowersOfTen[kMaxChars] = {1.0, 10.0, 100.0, 1000.0, 10000.0, 100000.0, 1000000.0, 10000000.0};

bool usable(const char* text, VstInt32 maxLen) { return text && maxLen >= 0; }

// Copies at most maxLen characters into a buffer of maxLen + 1 bytes; the
// byte at maxLen is always a terminator.
void copyText(char* text, const char* source, VstInt32 maxLen) {
    std::strncpy(text, source, static_cast<size_t>(maxLen));
    text[maxLen] = 0;
}

char digitOf(double value) { return static_cast<char>('0' + static_cast<int>(std::fmod(value, 10.0))); }

// How many integer digits the repeated division by ten produces for v.
int integerDigitCount(double v) {
    double integ = std::floor(v) / 10.0;
    int digits = 1;
    while (integ >= 1.0) {
        integ /= 10.0;
        ++digits;
    }
    return digits;
}

// Writes the integer digits of v, highest first, and returns the end.
char* writeIntegerDigits(double v, int digits, char* out) {
    double integ = std::floor(v);
    for (int i = digits - 1; i >= 0; --i) {
        out[i] = digitOf(integ);
        integ /= 10.0;
    }
    return out + digits;
}

// Writes n truncated fraction digits of v; once the scaled remainder is
// used up, the higher digits are zeros.
char* writeFractionDigits(double v, int n, char* out) {
    double m = std::fmod(v, 1.0) * kPowersOfTen[n];
    for (int i = n - 1; i >= 0; --i) {
        if (m <= 0.0) {
            out[i] = '0';
        } else {
            out[i] = digitOf(m);
            m /= 10.0;
        }
    }
    return out + n;
}

// The whole read-out for value, at most eight characters plus terminator.
void formatFloat(float value, char (&out)[16]) {
    double v = value;
    if (std::isnan(v)) {
        std::strcpy(out, kNotANumberText);
        return;
    }
    const bool negative = v < 0.0;
    if (negative) {
        v = -v;
    }
    if (v > (negative ? kLargestNegativeMagnitude : kLargestPositive)) {
        std::strcpy(out, kHugeText);
        return;
    }
    char* end = out;
    int count = 0;
    if (negative) {
        *end++ = '-';
        ++count;
    }
    const int digits = integerDigitCount(v);
    end = writeIntegerDigits(v, digits, end);
    count += digits;
    // An integer part that fills the budget keeps every digit and loses the
    // point; a shortened number would read as a different value.
    if (count < kMaxChars) {
        *end++ = '.';
        ++count;
        end = writeFractionDigits(v, kMaxChars - count, end);
    }
    *end = 0;
}

}  // namespace

void AudioEffect::float2string(float value, char* text, VstInt32 maxLen) {
    if (!usable(text, maxLen)) {
        return;
    }
    char full[16];
    formatFloat(value, full);
    copyText(text, full, maxLen);
}

void AudioEffect::int2string(VstInt32 value, char* text, VstInt32 maxLen) {
    if (!usable(text, maxLen)) {
        return;
    }
    if (value > kLargestInt || value < kSmallestInt) {
        copyText(text, kHugeText, maxLen);
        return;
    }
    char full[16];
    char* end = full;
    int64_t rest = value;
    if (rest < 0) {
        *end++ = '-';
        rest = -rest;
    }
    bool started = false;
    for (int64_t divisor = kLeadingDivisor; divisor >= 1; divisor /= 10) {
        const int64_t digit = rest / divisor;
        rest %= divisor;
        if (started || digit != 0) {
            *end++ = static_cast<char>('0' + digit);
            started = true;
        }
    }
    if (!started) {
        *end++ = '0';
    }
    *end = 0;
    copyText(text, full, maxLen);
}

void AudioEffect::dB2string(float value, char* text, VstInt32 maxLen) {
    if (!usable(text, maxLen)) {
        return;
    }
    if (value <= 0.0f) {
        copyText(text, kMinusInfinityText, maxLen);
        return;
    }
    const float logarithm = static_cast<float>(std::log10(static_cast<double>(value)));
    const float decibels = static_cast<float>(20.0 * static_cast<double>(logarithm));
    float2string(decibels, text, maxLen);
}

void AudioEffect::Hz2string(float samples, char* text, VstInt32 maxLen) {
    const float hertz = samples == 0.0f ? 0.0f : sampleRate / samples;
    float2string(hertz, text, maxLen);
}

void AudioEffect::ms2string(float samples, char* text, VstInt32 maxLen) {
    const float milliseconds = samples * 1000.0f / sampleRate;
    float2string(milliseconds, text, maxLen);
}
