#include "tools/validate/groups/habits/Twins.h"

#include "tools/validate/groups/GroupSupport.h"
#include "tools/validate/groups/habits/HabitsSupport.h"

bool Twins::open() {
    first = context.load(kRate, kHabitsBlock);
    second = context.load(kRate, kHabitsBlock);
    if (!first || !second || !context.channelCounts(*first, inputs, outputs))
        return false;
    first->start();
    second->start();
    in.reset(new GuardedAudio(inputs, kHabitsBlock));
    outFirst.reset(new GuardedAudio(outputs, kHabitsBlock));
    outSecond.reset(new GuardedAudio(outputs, kHabitsBlock));
    return true;
}

bool Twins::deterministic() {
    audioCompared = true;
    for (int block = 0; block < 4 && audioCompared; ++block)
        audioCompared = blockAgrees();
    return audioCompared;
}

void Twins::both(const std::function<void(PluginHost&)>& call) {
    call(*first);
    call(*second);
}

bool Twins::blockAgrees() {
    context.noise(*in, kNoiseLevel);
    context.process(*first, *in, *outFirst, kHabitsBlock);
    context.process(*second, *in, *outSecond, kHabitsBlock);
    return outFirst->sameAs(*outSecond);
}

std::string Twins::changesFrom(VstInt32 index, float value) {
    blockAgrees();
    Snapshot was = snapshot(*first);
    first->setParameter(index, value);
    std::vector<std::string> changed = differences(was, snapshot(*first));
    const bool heard = audioCompared && !blockAgrees();
    if (!changed.empty())
        return joined(changed);
    return heard ? "the output differs, though every read-back and text agree" : "";
}
