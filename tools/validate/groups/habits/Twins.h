// Two instances given the same calls and the same noise, so that a call
// sent to the first alone shows in its output if it changed anything there.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "tools/hosting/vst/PluginHost.h"
#include "tools/validate/CheckContext.h"

class Twins {
public:
    explicit Twins(CheckContext& context) : context(context) {}

    // Fresh instances; false when they cannot be had.
    bool open();
    // Whether fresh instances sound alike at all: without that only
    // read-backs and texts are compared.
    bool deterministic();
    bool comparesAudio() const { return audioCompared; }

    void both(const std::function<void(PluginHost&)>& call);
    // One block of the same noise through both: whether the outputs are the same bits.
    bool blockAgrees();
    PluginHost& one() { return *first; }

    // The parameter set to the value in the first instance alone: what that
    // changed, every read-back and display that differs, or the output when
    // only it does; empty when nothing changed. After a change the twins
    // have gone apart, and want opening afresh.
    std::string changesFrom(VstInt32 index, float value);

private:
    CheckContext& context;
    std::unique_ptr<PluginHost> first, second;
    std::unique_ptr<GuardedAudio> in, outFirst, outSecond;
    int inputs = 0, outputs = 0;
    bool audioCompared = false;
};
