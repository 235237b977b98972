// Parameters: a million set/get calls with indices in and out of range and
// values no host should send but some do; what comes back, and the texts
// that describe it.
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>

#include "tools/validate/CheckContext.h"
#include "tools/validate/groups/GroupSupport.h"

namespace {

// Set/get pairs per level of strictness: half a million pairs at 5.
const int kPairsPerLevel = 100000;
// The texts of a parameter are read after this many calls.
const int kTextEvery = 64;
// Progress lines: the parent names the span a crash fell in.
const int kDoingEvery = 4096;
// The size of VstParameterProperties, which the interface fixes.
const size_t kParameterPropertiesBytes = 152;

const float kNastyValues[] = {std::numeric_limits<float>::quiet_NaN(),
                              -std::numeric_limits<float>::quiet_NaN(),
                              std::numeric_limits<float>::infinity(),
                              -std::numeric_limits<float>::infinity(),
                              std::numeric_limits<float>::denorm_min(),
                              -std::numeric_limits<float>::denorm_min(),
                              1e-40f,
                              std::numeric_limits<float>::max(),
                              -std::numeric_limits<float>::max(),
                              1e30f,
                              -1.0f,
                              -0.0f,
                              1.0f,
                              1.0000001f,
                              2.0f,
                              0.0f};
const size_t kNastyCount = sizeof kNastyValues / sizeof kNastyValues[0];

float randomValue(CheckContext& context) {
    if (context.below(2) == 0)
        return static_cast<float>(context.uniform());
    return kNastyValues[context.below(kNastyCount)];
}

VstInt32 randomIndex(CheckContext& context, VstInt32 count) {
    if (count > 0 && context.below(4) != 0)
        return static_cast<VstInt32>(context.below(static_cast<uint32_t>(count)));
    const VstInt32 outside[] = {-1,
                                -2,
                                count,
                                count + 1,
                                count + 100,
                                std::numeric_limits<VstInt32>::min(),
                                std::numeric_limits<VstInt32>::max()};
    return outside[context.below(sizeof outside / sizeof outside[0])];
}

bool inUnitRange(float value) { return value >= 0.0f && value <= 1.0f; }

void checkTexts(CheckContext& context, PluginHost& host, VstInt32 index, float setTo, size_t& longestDisplay) {
    const VstInt32 opcodes[] = {effGetParamDisplay, effGetParamLabel, effGetParamName};
    for (VstInt32 opcode : opcodes) {
        context.doing("%s for parameter %d after setting it to %g", opcodeName(opcode), index,
                      static_cast<double>(setTo));
        TextAnswer answer = guardedText(host, opcode, index);
        if (!answer.terminated) {
            context.fail("%s of parameter %d (set to %g) is not terminated within %zu bytes", opcodeName(opcode), index,
                         static_cast<double>(setTo), kTextBufferBytes);
        } else if (opcode == effGetParamDisplay && answer.length > longestDisplay) {
            longestDisplay = answer.length;
        }
    }
}

void setGetFuzz(CheckContext& context) {
    std::unique_ptr<PluginHost> host = context.load(kRate, kBlock);
    if (!host)
        return;
    const VstInt32 count = host->record()->numParams;
    const long pairs = static_cast<long>(kPairsPerLevel) * context.strictness();
    long outOfRange = 0, notNumbers = 0, textsRead = 0;
    size_t longestDisplay = 0;
    auto started = std::chrono::steady_clock::now();
    for (long i = 0; i < pairs; ++i) {
        if (i % kDoingEvery == 0)
            context.doing("set/get pairs %ld..%ld of %ld", i, i + kDoingEvery - 1, pairs);
        VstInt32 index = randomIndex(context, count);
        float value = randomValue(context);
        host->setParameter(index, value);
        float read = host->parameter(index);
        if (index < 0 || index >= count)
            continue;
        if (std::isnan(read)) {
            if (++notNumbers <= CheckContext::kDetailLimit) {
                context.fail("parameter %d set to %.9g reads back NaN", index, static_cast<double>(value));
            }
        } else if (!inUnitRange(read)) {
            if (++outOfRange <= CheckContext::kDetailLimit) {
                context.fail("parameter %d set to %.9g reads back %.9g, outside 0..1", index,
                             static_cast<double>(value), static_cast<double>(read));
            }
        }
        if (i % kTextEvery == 0) {
            checkTexts(context, *host, index, value, longestDisplay);
            ++textsRead;
        }
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (notNumbers > CheckContext::kDetailLimit || outOfRange > CheckContext::kDetailLimit) {
        context.fail("in all: %ld NaN and %ld out-of-range read-backs", notNumbers, outOfRange);
    }
    context.figure("setParameter + getParameter calls", "%ld", pairs * 2);
    context.figure("read back NaN / outside 0..1", "%ld / %ld", notNumbers, outOfRange);
    context.figure("parameter texts read during the fuzz", "%ld", textsRead * 3);
    context.figure("longest display text", "%zu chars (nominal %d)", longestDisplay, kVstMaxParamStrLen);
    context.figure("time per call", "%.0f ns", seconds * 1e9 / static_cast<double>(pairs * 2));
}

void everyValueEveryParameter(CheckContext& context) {
    std::unique_ptr<PluginHost> host = context.load(kRate, kBlock);
    if (!host)
        return;
    size_t longestDisplay = 0;
    for (VstInt32 index = 0; index < host->record()->numParams; ++index) {
        for (float value : kNastyValues) {
            context.doing("setParameter(%d, %g)", index, static_cast<double>(value));
            host->setParameter(index, value);
            float read = host->parameter(index);
            if (!inUnitRange(read)) {
                context.fail("parameter %d set to %.9g reads back %.9g", index, static_cast<double>(value),
                             static_cast<double>(read));
            }
            checkTexts(context, *host, index, value, longestDisplay);
        }
    }
    context.figure("longest display after extreme values", "%zu chars", longestDisplay);
}

void propertiesStayInTheirRecord(CheckContext& context) {
    std::unique_ptr<PluginHost> host = context.load(kRate, kBlock);
    if (!host)
        return;
    int answered = 0, automatable = 0;
    for (VstInt32 index = 0; index < host->record()->numParams; ++index) {
        GuardedBuffer properties(kParameterPropertiesBytes);
        context.doing("effGetParameterProperties %d into exactly %zu bytes", index, kParameterPropertiesBytes);
        answered += host->dispatch(effGetParameterProperties, index, 0, properties.data()) != 0;
        context.doing("effCanBeAutomated %d", index);
        automatable += host->dispatch(effCanBeAutomated, index) != 0;
        GuardedBuffer text(kTextBufferBytes);
        std::strcpy(text.data(), "0.5");
        context.doing("effString2Parameter %d \"0.5\"", index);
        host->dispatch(effString2Parameter, index, 0, text.data());
        float read = host->parameter(index);
        if (!inUnitRange(read))
            context.fail("after effString2Parameter %d \"0.5\" it reads %g", index, static_cast<double>(read));
    }
    context.figure("parameters with properties / automatable", "%d / %d", answered, automatable);
}

}  // namespace

ValidationGroup parametersGroup() {
    return {"parameters",
            "Parameters",
            {"text buffers are " + std::to_string(kTextBufferBytes) + " bytes with a no-access page right after"},
            {
                {"random set/get, in and out of range, with texts", 4, setGetFuzz},
                {"every extreme value on every parameter", 1, everyValueEveryParameter},
                {"properties, automatable flags and string-to-parameter", 2, propertiesStayInTheirRecord},
            }};
}
