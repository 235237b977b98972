// The plug-in's VST effect as the CLAP adapter drives it: made through
// createEffectInstance and reached only through its record, as a VST host
// reaches it, so that every format runs the same code and sounds the same.
// What the effect asks of its host is answered here: its version, the rate
// it was activated at, and the panel's gestures and values, which go to a
// PanelChanges for the host to hear as events.
#pragma once

#include <cstdint>

#include "framework/VstInterface.h"

class AEffEditor;
class PanelChanges;

class ClapEffect {
public:
    // changes: where the panel's gestures go; null for an instance that no
    // panel drives. panelChanged runs on the panel's thread after each.
    ClapEffect(PanelChanges* changes, void (*panelChanged)(void* context), void* context);
    ~ClapEffect();
    ClapEffect(const ClapEffect&) = delete;
    ClapEffect& operator=(const ClapEffect&) = delete;

    // Makes the effect and opens it; false when it cannot be made.
    bool create();

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f);
    int32_t numParameters() const { return effect->numParams; }
    void setParameter(int32_t index, float value) { effect->setParameter(effect, index, value); }
    float parameter(int32_t index) const { return effect->getParameter(effect, index); }
    // A three-byte channel message, as a VST host hands it over.
    void sendMidi(const uint8_t* bytes);
    void process(float** inputs, float** outputs, int32_t frames);
    // Starts and stops processing at rate, as a VST host does around its blocks.
    void start(double rate, int32_t longestBlock);
    void stop();
    double rate() const { return sampleRate; }
    int32_t uniqueId() const { return effect->uniqueID; }
    // The effect's own editor, or null for a headless one.
    AEffEditor* editor() const;

private:
    static VstIntPtr VSTCALLBACK answer(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                        float opt);
    void panelDid(int32_t kind, int32_t index, float value);

    PanelChanges* const changes;
    void (*const panelChanged)(void*);
    void* const context;
    AEffect* effect = nullptr;
    double sampleRate = 0.0;
    bool running = false;
};
