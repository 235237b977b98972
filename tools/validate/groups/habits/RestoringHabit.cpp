// Hosts save the last value they read of each parameter and, when a
// session opens, set it into a fresh instance, in whatever order they keep
// them: the instance must read, show and sound as the one saved.
#include "tools/validate/groups/GroupSupport.h"
#include "tools/validate/groups/habits/HabitChecks.h"
#include "tools/validate/groups/habits/HabitsSupport.h"

namespace {

// Instances fed the same noise side by side: for each after the first, the
// first block in which it sounds other than the first, or -1.
std::vector<long> firstDifferences(CheckContext& context, std::vector<PluginHost*> hosts, int inputs, int outputs) {
    std::vector<long> first(hosts.size(), -1);
    std::vector<std::unique_ptr<GuardedAudio>> out;
    for (PluginHost* host : hosts) {
        host->start();
        out.emplace_back(new GuardedAudio(outputs, kHabitsBlock));
    }
    GuardedAudio in(inputs, kHabitsBlock);
    for (int block = 0; block < 8; ++block) {
        context.noise(in, kNoiseLevel);
        for (size_t i = 0; i < hosts.size(); ++i) {
            context.process(*hosts[i], in, *out[i], kHabitsBlock);
            if (i > 0 && first[i] < 0 && !out[i]->sameAs(*out[0]))
                first[i] = block;
        }
    }
    return first;
}

}  // namespace

void restoredThroughParameters(CheckContext& context) {
    int inputs = 0, outputs = 0;
    std::unique_ptr<PluginHost> plainA = context.load(kRate, kHabitsBlock), plainB = context.load(kRate, kHabitsBlock);
    if (!plainA || !plainB || !context.channelCounts(*plainA, inputs, outputs))
        return;
    const bool compareAudio = firstDifferences(context, {plainA.get(), plainB.get()}, inputs, outputs)[1] < 0;
    if (!compareAudio)
        context.note("two fresh instances fed the same noise differ: only read-backs and texts are compared");
    plainA.reset();
    plainB.reset();
    const int states = 3 + context.strictness();
    const char* const kOrders[] = {"index order", "reverse index order"};
    for (int state = 0; state < states; ++state) {
        context.doing("bringing an instance into state %d: %s", state, stateName(state).c_str());
        std::unique_ptr<PluginHost> original = context.load(kRate, kHabitsBlock);
        if (!original)
            return;
        bringIntoState(context, *original, state);
        Snapshot saved = snapshot(*original);
        const VstInt32 count = static_cast<VstInt32>(saved.values.size());
        std::vector<std::unique_ptr<PluginHost>> restored;
        std::vector<std::vector<std::string>> changed;
        for (int reverse = 0; reverse < 2; ++reverse) {
            context.doing("state %d: setting %d read-backs into a fresh instance in %s", state, count,
                          kOrders[reverse]);
            restored.push_back(context.load(kRate, kHabitsBlock));
            if (!restored.back())
                return;
            for (VstInt32 i = 0; i < count; ++i) {
                VstInt32 index = reverse ? count - 1 - i : i;
                restored.back()->setParameter(index, saved.values[static_cast<size_t>(index)]);
            }
            changed.push_back(differences(saved, snapshot(*restored.back())));
        }
        std::vector<long> blocks = {-1, -1, -1};
        if (compareAudio) {
            context.doing("state %d: the same noise through the original and both restored instances", state);
            blocks = firstDifferences(context, {original.get(), restored[0].get(), restored[1].get()}, inputs, outputs);
        }
        for (size_t order = 0; order < 2; ++order) {
            const long block = blocks[order + 1];
            if (changed[order].empty() && block < 0)
                continue;
            std::string sound = block < 0 ? "" : ", and the output differs from block " + std::to_string(block);
            context.fail("%s, restored in %s: %s%s", stateName(state).c_str(), kOrders[order],
                         changed[order].empty() ? "every read-back and text agree" : joined(changed[order]).c_str(),
                         sound.c_str());
        }
    }
    context.figure("states restored in both orders", "%d%s", states,
                   compareAudio ? ", output compared bit for bit" : "");
}
