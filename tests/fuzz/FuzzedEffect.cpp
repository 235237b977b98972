#include "tests/fuzz/FuzzedEffect.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "framework/EffectBase.h"
#include "framework/Entry.h"
#include "quavix/Parameters.h"
#include "tests/fuzz/FuzzHost.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/fuzz/Invariant.h"

namespace quavixfuzz {

namespace {

constexpr size_t kTextBytes = 256;  // what hosts give for parameter texts
constexpr VstInt32 kComparedFrames = 256;

// A signal that excites the filter across its range: an impulse, a step and a square wave.
float comparisonSample(VstInt32 frame, int channel) {
    if (frame == 0)
        return channel ? -1.0f : 1.0f;
    return (frame / 16) % 2 ? 0.25f : -0.25f;
}

}  // namespace

FuzzedEffect::FuzzedEffect() : record(VSTPluginMain(&FuzzHost::callback)) {
    require(record != nullptr, "the entry point made no effect");
    require(record->magic == kEffectMagic && record->numParams == quavix::kNumParams, "the record is not Quavix's");
}

FuzzedEffect::~FuzzedEffect() { close(); }

AEffEditor* FuzzedEffect::editor() const {
    return record ? static_cast<AudioEffect*>(record->object)->getEditor() : nullptr;
}

VstIntPtr FuzzedEffect::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    if (opcode == effClose) {
        close();
        return 1;
    }
    if (opcode == effSetSampleRate || opcode == effSetBlockSizeAndSampleRate)
        sampleRatesSent.push_back(opt);
    return record->dispatcher(record, opcode, index, value, ptr, opt);
}

void FuzzedEffect::close() {
    if (record)
        record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
    record = nullptr;
}

void FuzzedEffect::setParameter(VstInt32 index, float value) { record->setParameter(record, index, value); }

float FuzzedEffect::getParameter(VstInt32 index) const { return record->getParameter(record, index); }

void FuzzedEffect::processReplacing(float** inputs, float** outputs, VstInt32 frames) {
    record->processReplacing(record, inputs, outputs, frames);
}

std::string FuzzedEffect::display(VstInt32 index) {
    char text[kTextBytes];
    std::memset(text, 0x7F, sizeof text);
    dispatch(effGetParamDisplay, index, 0, text);
    require(std::memchr(text, 0, sizeof text) != nullptr, "the display of parameter %d is not terminated", index);
    return text;
}

void FuzzedEffect::pressKey(FuzzInput& input, VstIntPtr highestKey, char* action, size_t size) {
    const VstInt32 opcode = input.flag() ? effEditKeyDown : effEditKeyUp;
    const VstInt32 character = input.flag() ? input.inRange(0, 127) : input.i32();
    const VstIntPtr virtualKey = input.inRange(0, highestKey);
    const float modifiers = input.flag() ? float(input.choice(16)) : input.anyFloat();
    std::snprintf(action, size, "key %d, virtual key %d", character, int(virtualKey));
    dispatch(opcode, character, virtualKey, nullptr, modifiers);
}

void FuzzedEffect::requireParametersInRange(const char* after) const {
    for (VstInt32 index = 0; index < quavix::kNumParams; ++index) {
        const float value = getParameter(index);
        require(isUnit(value), "parameter %d reads back %g after %s", index, static_cast<double>(value), after);
    }
    const double controller = getParameter(quavix::kControllerParam) * double(quavix::kHighestController);
    require(std::fabs(controller - std::round(controller)) < 1e-4, "the controller reads back %g after %s", controller,
            after);
}

void FuzzedEffect::requireMatchesFreshInstance() {
    FuzzedEffect fresh;
    for (float rate : sampleRatesSent)
        fresh.dispatch(effSetSampleRate, 0, 0, nullptr, rate);
    for (VstInt32 index = 0; index < quavix::kNumParams; ++index)
        fresh.setParameter(index, getParameter(index));
    for (VstInt32 index = 0; index < quavix::kNumParams; ++index) {
        require(fresh.getParameter(index) == getParameter(index), "parameter %d reads back %.9g, a fresh instance %.9g",
                index, static_cast<double>(getParameter(index)), static_cast<double>(fresh.getParameter(index)));
        require(fresh.display(index) == display(index), "parameter %d shows '%s', a fresh instance '%s'", index,
                display(index).c_str(), fresh.display(index).c_str());
    }
    std::vector<float> in[2], out[2], freshOut[2];
    for (int channel = 0; channel < 2; ++channel) {
        for (VstInt32 frame = 0; frame < kComparedFrames; ++frame)
            in[channel].push_back(comparisonSample(frame, channel));
        out[channel].assign(kComparedFrames, 0.0f);
        freshOut[channel].assign(kComparedFrames, 0.0f);
    }
    float* inputs[] = {in[0].data(), in[1].data()};
    float* outputs[] = {out[0].data(), out[1].data()};
    float* freshOutputs[] = {freshOut[0].data(), freshOut[1].data()};
    for (FuzzedEffect* effect : {this, &fresh}) {
        effect->dispatch(effMainsChanged, 0, 0);  // clears the filter's memories
        effect->dispatch(effMainsChanged, 0, 1);
    }
    processReplacing(inputs, outputs, kComparedFrames);
    fresh.processReplacing(inputs, freshOutputs, kComparedFrames);
    for (int channel = 0; channel < 2; ++channel)
        require(std::memcmp(out[channel].data(), freshOut[channel].data(), sizeof(float) * kComparedFrames) == 0,
                "channel %d sounds different from a fresh instance with the same parameters", channel);
}

}  // namespace quavixfuzz
