// The wah: a resonant second-order low-pass per channel whose corner moves
// between 800 Hz and 3800 Hz, by hand, by automation or by one MIDI
// controller, followed by an output gain.
//
// Threads: the host automates from its user-interface or automation thread
// while its processing thread runs processReplacing and processEvents. What
// both sides touch (the parameters and the rate) is atomic. processReplacing
// reads them with relaxed loads once per block, so a change acts from the
// next block on and the per-sample loop carries no loads of its own. The
// channel memories and the block's coefficients belong to the processing
// thread alone.
#pragma once

#include <atomic>
#include <cstdint>

#include "framework/ExtendedEffectBase.h"

class Filter : public AudioEffectX {
public:
    explicit Filter(audioMasterCallback audioMaster);

    void suspend() override;
    void resume() override;
    void setSampleRate(float newSampleRate) override;
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;
    VstInt32 processEvents(VstEvents* events) override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override;
    VstInt32 canDo(char* text) override;
    VstPlugCategory getPlugCategory() override;
    void setBlockSizeAndSampleRate(VstInt32 newBlockSize, float newSampleRate) override;

    // The processing thread's, at the start of each block: the coefficients
    // the block filters with, from one snapshot of the parameters.
    virtual void computeCoefficients();

    // Once all four memories of a channel (its last two inputs and outputs)
    // lie below this magnitude at the end of a block, they become exact
    // zeros, and silent input gives exact zeros out. Without it, flush-to-zero
    // keeps a sharp resonance ringing at 1e-37 to 1e-35 for ever (the most
    // at the highest rates). 1e-30, -600 dB, lies five orders of magnitude
    // above that ringing at every rate, so every tail crosses it, and more
    // than 450 dB below the last bit of a 24-bit converter, so nothing a later
    // gain stage could bring back is lost; a signal still arriving at the
    // inputs above it keeps every bit.
    static constexpr float kSilenceThreshold = 1e-30f;

    // Frames until the filter, having rung at its loudest, holds exact
    // silence again once its input has: how long its poles take to bring the
    // resonance's peak gain down to kSilenceThreshold, at the corner and the
    // peak of these parameter values and at rate.
    static uint32_t ringOutFrames(float frequency, float peak, double rate);

protected:
    static constexpr int kNumChannels = 2;
    // A host gives the program name this much room, the terminator included.
    static constexpr int kProgramNameSize = kVstMaxProgNameLen;

    void setFrequencyValue(float value);
    void setOutputGainValue(float value);
    void setPeakValue(float value);
    void setControllerValue(float value);
    void applyControlChange(const VstEvent& event);
    void clearMemories();
    double readOutQuantity(VstInt32 index) const;
    void silenceDecayedChannels();

    // A setting and its coefficients, as one block is filtered with them.
    struct BlockSetting {
        float frequency;
        float damping;
        double rate;
        float alpha;
        float beta;
        float gamma;
    };
    // The setting the next block filters with: the last block's while the
    // parameters and the rate stay as they were, else computed afresh.
    BlockSetting settingFromParameters() const;

    std::atomic<float> frequencyValue;
    std::atomic<float> outputGain;
    std::atomic<float> bandwidth;
    std::atomic<int32_t> controllerNumber;
    char programName[kProgramNameSize];

    std::atomic<double> filterSampleRate;

    float x1[kNumChannels];
    float x2[kNumChannels];
    float y1[kNumChannels];
    float y2[kNumChannels];
    BlockSetting blockSetting;
};
