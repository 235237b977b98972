#include "framework/clap/ClapEffect.h"

#include <cstring>

#include "framework/EffectBase.h"
#include "framework/Entry.h"
#include "framework/HostEventList.h"
#include "framework/WholeRate.h"
#include "framework/clap/PanelChanges.h"

ClapEffect::ClapEffect(PanelChanges* changes, void (*panelChanged)(void*), void* context)
    : changes(changes), panelChanged(panelChanged), context(context) {}

ClapEffect::~ClapEffect() {
    if (!effect) {
        return;
    }
    stop();
    dispatch(effClose);  // the effect deletes itself
}

bool ClapEffect::create() {
    AudioEffect* created = createEffectInstance(&ClapEffect::answer);
    if (!created) {
        return false;
    }
    effect = created->getAeffect();
    effect->user = this;
    if (effect->numInputs != 2 || effect->numOutputs != 2 || effect->numParams < 0) {
        return false;
    }
    dispatch(effOpen);
    return true;
}

VstIntPtr ClapEffect::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

void ClapEffect::sendMidi(const uint8_t* bytes) {
    VstMidiEvent midi;
    std::memset(&midi, 0, sizeof(midi));
    midi.type = kVstMidiType;
    midi.byteSize = sizeof(VstMidiEvent);
    std::memcpy(midi.midiData, bytes, 3);
    HostEventList<2> list{1, 0, {reinterpret_cast<VstEvent*>(&midi), nullptr}};
    dispatch(effProcessEvents, 0, 0, &list);
}

void ClapEffect::process(float** inputs, float** outputs, int32_t frames) {
    effect->processReplacing(effect, inputs, outputs, frames);
}

void ClapEffect::start(double rate, int32_t longestBlock) {
    stop();
    sampleRate = rate;
    dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
    dispatch(effSetBlockSize, 0, longestBlock);
    dispatch(effMainsChanged, 0, 1);
    running = true;
}

void ClapEffect::stop() {
    if (running) {
        dispatch(effMainsChanged, 0, 0);
        running = false;
    }
}

AEffEditor* ClapEffect::editor() const {
    AudioEffect* object = static_cast<AudioEffect*>(effect->object);
    return object && (effect->flags & effFlagsHasEditor) ? object->getEditor() : nullptr;
}

void ClapEffect::panelDid(int32_t kind, int32_t index, float value) {
    if (!changes || index < 0 || index >= effect->numParams) {
        return;
    }
    changes->push({static_cast<PanelChange::Kind>(kind), index, value});
    if (panelChanged) {
        panelChanged(context);
    }
}

// The host the effect sees. Its editor's automation, begin and end edit come
// from the panel's thread: they become events for the CLAP host.
VstIntPtr VSTCALLBACK ClapEffect::answer(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr /*value*/,
                                         void* /*ptr*/, float opt) {
    ClapEffect* self = effect ? static_cast<ClapEffect*>(effect->user) : nullptr;
    switch (opcode) {
    case audioMasterVersion:
        return kVstVersion;
    case audioMasterGetSampleRate:
        return self ? wholeRate(self->sampleRate) : 0;
    case audioMasterBeginEdit:
    case audioMasterAutomate:
    case audioMasterEndEdit:
        if (!self) {
            return 0;
        }
        self->panelDid(static_cast<int32_t>(opcode == audioMasterBeginEdit ? PanelChange::Kind::begin
                                            : opcode == audioMasterEndEdit ? PanelChange::Kind::end
                                                                           : PanelChange::Kind::value),
                       index, opt);
        return 1;
    default:
        return 0;
    }
}
