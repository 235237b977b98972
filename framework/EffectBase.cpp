#include "framework/EffectBase.h"

#include <cmath>
#include <cstring>

#include "framework/EditorBase.h"

namespace {

constexpr VstInt32 kDefaultUniqueId = 0x4E6F4566;  // 'NoEf': a derived effect sets its own
constexpr VstIntPtr kIdentifyAnswer = 0x4E764566;  // 'NvEf'
constexpr float kDefaultSampleRate = 44100.0f;
constexpr VstInt32 kDefaultBlockSize = 1024;
constexpr double kVuScale = 32767.0;

AudioEffect* effectOf(AEffect* record) {
    return record ? static_cast<AudioEffect*>(record->object) : nullptr;
}

// The record's functions. A host calls them across a C boundary, so nothing
// may escape them: an exception, like a record without an effect, leaves
// the "not handled" answer.
template <typename Call>
void withEffect(AEffect* record, Call call) {
    try {
        if (AudioEffect* effect = effectOf(record)) {
            call(*effect);
        }
    } catch (...) {
    }
}

VstIntPtr VSTCALLBACK dispatchEffect(AEffect* record, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                     float opt) {
    VstIntPtr result = 0;
    withEffect(record, [&](AudioEffect& effect) {
        result = effect.dispatcher(opcode, index, value, ptr, opt);
        if (opcode == effClose) {
            delete &effect;
            result = 1;
        }
    });
    return result;
}

void VSTCALLBACK processEffect(AEffect* record, float** inputs, float** outputs, VstInt32 sampleFrames) {
    withEffect(record, [&](AudioEffect& effect) { effect.process(inputs, outputs, sampleFrames); });
}

void VSTCALLBACK processReplacingEffect(AEffect* record, float** inputs, float** outputs, VstInt32 sampleFrames) {
    withEffect(record, [&](AudioEffect& effect) { effect.processReplacing(inputs, outputs, sampleFrames); });
}

void VSTCALLBACK processDoubleReplacingEffect(AEffect* record, double** inputs, double** outputs,
                                              VstInt32 sampleFrames) {
    withEffect(record, [&](AudioEffect& effect) { effect.processDoubleReplacing(inputs, outputs, sampleFrames); });
}

void VSTCALLBACK setParameterEffect(AEffect* record, VstInt32 index, float value) {
    withEffect(record, [&](AudioEffect& effect) { effect.setParameter(index, value); });
}

float VSTCALLBACK getParameterEffect(AEffect* record, VstInt32 index) {
    float value = 0.0f;
    withEffect(record, [&](AudioEffect& effect) { value = effect.getParameter(index); });
    return value;
}

// A meter reading scaled to the 16-bit range; a reading that is not a number
// or out of range must not reach the integer conversion.
VstIntPtr scaledVu(float vu) {
    const double scaled = vu * kVuScale;
    if (!(std::fabs(scaled) < 2147483647.0)) {
        return 0;
    }
    return static_cast<VstIntPtr>(static_cast<VstInt32>(scaled));
}

}  // namespace

AudioEffect::AudioEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams)
    : audioMaster(audioMaster),
      editor(nullptr),
      sampleRate(kDefaultSampleRate),
      blockSize(kDefaultBlockSize),
      numPrograms(numPrograms),
      numParams(numParams),
      curProgram(0) {
    std::memset(&cEffect, 0, sizeof(cEffect));
    cEffect.magic = kEffectMagic;
    cEffect.dispatcher = dispatchEffect;
    cEffect.process = processEffect;
    cEffect.setParameter = setParameterEffect;
    cEffect.getParameter = getParameterEffect;
    cEffect.processReplacing = processReplacingEffect;
    cEffect.processDoubleReplacing = processDoubleReplacingEffect;
    cEffect.numPrograms = numPrograms;
    cEffect.numParams = numParams;
    cEffect.numInputs = 1;
    cEffect.numOutputs = 2;
    cEffect.flags = effFlagsCanReplacing;
    cEffect.ioRatio = 1.0f;
    cEffect.object = this;
    cEffect.uniqueID = kDefaultUniqueId;
    cEffect.version = 1;
}

AudioEffect::~AudioEffect() { delete editor; }

void AudioEffect::setEditor(AEffEditor* newEditor) {
    editor = newEditor;
    setFlag(effFlagsHasEditor, newEditor != nullptr);
}

void AudioEffect::setFlag(VstInt32 flag, bool state) {
    if (state) {
        cEffect.flags |= flag;
    } else {
        cEffect.flags &= ~flag;
    }
}

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    char* text = static_cast<char*>(ptr);
    switch (opcode) {
    case effOpen:
        open();
        return 0;
    case effClose:
        close();
        return 0;
    case effSetProgram:
        if (value >= 0 && value < numPrograms) {
            setProgram(static_cast<VstInt32>(value));
        }
        return 0;
    case effGetProgram:
        return getProgram();
    case effSetProgramName:
        if (text) {
            setProgramName(text);
        }
        return 0;
    case effGetProgramName:
        if (text) {
            getProgramName(text);
        }
        return 0;
    case effGetParamLabel:
        if (text) {
            getParameterLabel(index, text);
        }
        return 0;
    case effGetParamDisplay:
        if (text) {
            getParameterDisplay(index, text);
        }
        return 0;
    case effGetParamName:
        if (text) {
            getParameterName(index, text);
        }
        return 0;
    case effGetVu:
        return scaledVu(getVu());
    case effSetSampleRate:
        setSampleRate(opt);
        return 0;
    case effSetBlockSize:
        setBlockSize(static_cast<VstInt32>(value));
        return 0;
    case effMainsChanged:
        if (value == 0) {
            suspend();
        } else {
            resume();
        }
        return 0;
    case effEditGetRect:
    case effEditOpen:
    case effEditClose:
    case effEditIdle:
        return dispatchEditor(opcode, ptr);
    case effIdentify:
        return kIdentifyAnswer;
    case effGetChunk:
        return ptr ? getChunk(static_cast<void**>(ptr), index != 0) : 0;
    case effSetChunk:
        return setChunk(ptr, static_cast<VstInt32>(value), index != 0);
    default:
        return 0;
    }
}

VstIntPtr AudioEffect::dispatchEditor(VstInt32 opcode, void* ptr) {
    if (!editor) {
        return 0;
    }
    switch (opcode) {
    case effEditGetRect:
        return ptr && editor->getRect(static_cast<ERect**>(ptr)) ? 1 : 0;
    case effEditOpen:
        return editor->open(ptr) ? 1 : 0;
    case effEditClose:
        editor->close();
        return 0;
    case effEditIdle:
        editor->idle();
        return 0;
    default:
        return 0;
    }
}

VstIntPtr AudioEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return audioMaster ? audioMaster(&cEffect, opcode, index, value, ptr, opt) : 0;
}

void AudioEffect::setParameterAutomated(VstInt32 index, float value) {
    // The effect holds the new value before the host records it.
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

VstInt32 AudioEffect::getMasterVersion() {
    const VstInt32 version = static_cast<VstInt32>(callHost(audioMasterVersion));
    return version ? version : 1;
}

VstInt32 AudioEffect::getCurrentUniqueId() { return static_cast<VstInt32>(callHost(audioMasterCurrentId)); }

void AudioEffect::masterIdle() { callHost(audioMasterIdle); }

bool AudioEffect::isInputConnected(VstInt32 input) { return callHost(audioMasterPinConnected, input, 0) == 0; }

bool AudioEffect::isOutputConnected(VstInt32 output) { return callHost(audioMasterPinConnected, output, 1) == 0; }
