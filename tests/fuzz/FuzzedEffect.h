// The plug-in as a host holds it: made through its entry point with the
// fuzz host's callback, driven only through its record. It remembers the
// sample rates it was sent, so that a fresh instance can be put in the same
// place and the two compared.
#pragma once

#include <string>
#include <vector>

#include "framework/VstInterface.h"

class AEffEditor;

namespace quavixfuzz {

class FuzzInput;

class FuzzedEffect {
public:
    FuzzedEffect();
    ~FuzzedEffect();
    FuzzedEffect(const FuzzedEffect&) = delete;
    FuzzedEffect& operator=(const FuzzedEffect&) = delete;

    bool isOpen() const { return record != nullptr; }
    AEffect* aeffect() const { return record; }
    AEffEditor* editor() const;

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f);
    // effClose: the record is gone afterwards.
    void close();
    void setParameter(VstInt32 index, float value);
    float getParameter(VstInt32 index) const;
    void processReplacing(float** inputs, float** outputs, VstInt32 frames);
    // The parameter's display text, through a buffer as large as hosts give.
    std::string display(VstInt32 index);
    // A key as hosts forward it, read from the input: down or up, the
    // character in index, a virtual key up to highestKey in value, the
    // modifiers in opt. What was pressed goes to action.
    void pressKey(FuzzInput& input, VstIntPtr highestKey, char* action, size_t size);

    // Every read-back is a parameter value, the controller a whole number 0..127.
    void requireParametersInRange(const char* after) const;
    // A fresh instance sent the same sample rates and set to this one's
    // read-backs reads back, shows and, from silence, sounds the same.
    void requireMatchesFreshInstance();

private:
    AEffect* record = nullptr;
    std::vector<float> sampleRatesSent;
};

}  // namespace quavixfuzz
