// Read-out texts: the listed values, the limits, and buffers exactly as large
// as the caller promises (the address checker fails any write beyond them).
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <limits>
#include <memory>
#include <string>

#include "framework/EffectBase.h"

namespace {

class TextEffect : public AudioEffect {
public:
    TextEffect() : AudioEffect(nullptr, 1, 0) {}
    void processReplacing(float**, float**, VstInt32) override {}
};

// Runs one text operation into a heap buffer of exactly maxLen + 1 bytes.
template <typename Operation>
std::string written(Operation operation, VstInt32 maxLen = 8) {
    std::unique_ptr<char[]> buffer(new char[maxLen + 1]);
    std::fill(buffer.get(), buffer.get() + maxLen + 1, '#');
    operation(buffer.get(), maxLen);
    EXPECT_EQ(buffer[maxLen], 0) << "terminator at maxLen";
    return buffer.get();
}

class TextOperations : public ::testing::Test {
protected:
    std::string floatText(float value, VstInt32 maxLen = 8) {
        return written([&](char* t, VstInt32 n) { effect.float2string(value, t, n); }, maxLen);
    }
    std::string dBText(float value, VstInt32 maxLen = 8) {
        return written([&](char* t, VstInt32 n) { effect.dB2string(value, t, n); }, maxLen);
    }
    std::string intText(VstInt32 value, VstInt32 maxLen = 8) {
        return written([&](char* t, VstInt32 n) { effect.int2string(value, t, n); }, maxLen);
    }
    std::string hzText(float samples) {
        return written([&](char* t, VstInt32 n) { effect.Hz2string(samples, t, n); });
    }
    std::string msText(float samples) {
        return written([&](char* t, VstInt32 n) { effect.ms2string(samples, t, n); });
    }

    TextEffect effect;
};

TEST_F(TextOperations, FloatFillsEightCharactersWithTruncatedDigits) {
    EXPECT_EQ(floatText(0.0f), "0.000000");
    EXPECT_EQ(floatText(1.5f), "1.500000");
    EXPECT_EQ(floatText(-1.5f), "-1.50000");
    EXPECT_EQ(floatText(123.456f), "123.4560");
    EXPECT_EQ(floatText(1234567.0f), "1234567.");
    EXPECT_EQ(floatText(0.999999f), "0.999998");  // truncated, never rounded up
    EXPECT_EQ(floatText(-0.25f), "-0.25000");
    EXPECT_EQ(floatText(9.5f), "9.500000");
    EXPECT_EQ(floatText(1000000.0f), "1000000.");
}

TEST_F(TextOperations, FloatBeyondTheLimitsIsHuge) {
    EXPECT_EQ(floatText(100000000.0f), "Huge!");
    EXPECT_EQ(floatText(-10000000.0f), "Huge!");
    EXPECT_EQ(floatText(std::numeric_limits<float>::infinity()), "Huge!");
    EXPECT_EQ(floatText(-std::numeric_limits<float>::infinity()), "Huge!");
    EXPECT_NE(floatText(-9999999.0f), "Huge!");
    EXPECT_EQ(floatText(-9999999.0f), "-9999999");
}

TEST_F(TextOperations, IntegerPartsThatFillTheBudgetKeepEveryDigit) {
    EXPECT_EQ(floatText(12345678.0f), "12345678");
    EXPECT_EQ(floatText(99999992.0f), "99999992");
    EXPECT_EQ(floatText(-1234567.0f), "-1234567");
    EXPECT_EQ(floatText(-123456.5f), "-123456.");
}

TEST_F(TextOperations, FloatNotANumberSaysSo) {
    EXPECT_EQ(floatText(std::numeric_limits<float>::quiet_NaN()), "NaN");
}

TEST_F(TextOperations, ShortBuffersGetTheFirstMaxLenCharacters) {
    EXPECT_EQ(floatText(1.5f, 4), "1.50");
    EXPECT_EQ(floatText(-1.5f, 1), "-");
    EXPECT_EQ(floatText(1234567.0f, 3), "123");
    EXPECT_EQ(floatText(1.5f, 0), "");
    EXPECT_EQ(floatText(100000000.0f, 3), "Hug");
    EXPECT_EQ(intText(-42, 2), "-4");
    EXPECT_EQ(intText(123456, 0), "");
    EXPECT_EQ(dBText(0.0f, 2), "-o");
    EXPECT_EQ(dBText(0.5f, 5), "-6.02");
}

TEST_F(TextOperations, LongerBuffersAreZeroFilledUpToMaxLen) {
    char buffer[24];
    std::fill(buffer, buffer + sizeof(buffer), '#');
    effect.float2string(1.5f, buffer, 16);
    EXPECT_STREQ(buffer, "1.500000");
    for (int i = 8; i <= 16; ++i) {
        EXPECT_EQ(buffer[i], 0) << i;
    }
    EXPECT_EQ(buffer[17], '#');
}

TEST_F(TextOperations, NegativeMaxLenOrNullTextWritesNothing) {
    char buffer[4] = {'a', 'b', 'c', 0};
    effect.float2string(1.0f, buffer, -1);
    effect.int2string(1, buffer, -5);
    effect.dB2string(1.0f, buffer, -1);
    EXPECT_STREQ(buffer, "abc");
    effect.float2string(1.0f, nullptr, 8);
    effect.int2string(1, nullptr, 8);
    effect.dB2string(1.0f, nullptr, 8);
    effect.Hz2string(1.0f, nullptr, 8);
    effect.ms2string(1.0f, nullptr, 8);
}

TEST_F(TextOperations, Decibels) {
    EXPECT_EQ(dBText(0.0f), "-oo");
    EXPECT_EQ(dBText(-0.5f), "-oo");
    EXPECT_EQ(dBText(1.0f), "0.000000");
    EXPECT_EQ(dBText(0.5f), "-6.02060");
    EXPECT_EQ(dBText(0.25f), "-12.0412");
    EXPECT_EQ(dBText(0.8f), "-1.93820");
    EXPECT_EQ(dBText(10.0f), "20.00000");
}

TEST_F(TextOperations, HertzFromAPeriodInSamples) {
    EXPECT_EQ(hzText(0.0f), "0.000000");
    EXPECT_EQ(hzText(100.0f), "441.0000");
    effect.setSampleRate(48000.0f);
    EXPECT_EQ(hzText(100.0f), "480.0000");
}

TEST_F(TextOperations, MillisecondsFromSamples) {
    EXPECT_EQ(msText(44100.0f), "1000.000");
    EXPECT_EQ(msText(0.0f), "0.000000");
    EXPECT_EQ(msText(441.0f), "10.00000");
    effect.setSampleRate(48000.0f);
    EXPECT_EQ(msText(24000.0f), "500.0000");
}

TEST_F(TextOperations, Integers) {
    EXPECT_EQ(intText(0), "0");
    EXPECT_EQ(intText(-42), "-42");
    EXPECT_EQ(intText(7), "7");
    EXPECT_EQ(intText(1000), "1000");
    EXPECT_EQ(intText(100000000), "Huge!");
    EXPECT_EQ(intText(INT_MAX), "Huge!");
    EXPECT_EQ(intText(99999999), "99999999");
    EXPECT_EQ(intText(-99999999, 16), "-99999999");
    EXPECT_EQ(intText(-100000000, 16), "-100000000");
    EXPECT_EQ(intText(-1000000000, 16), "Huge!");
    EXPECT_EQ(intText(INT_MIN, 16), "Huge!");
}

}  // namespace
