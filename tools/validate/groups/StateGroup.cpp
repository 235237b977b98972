// State: what one instance reports of itself, its parameters or its own
// state, set on a fresh instance gives the same sound bit for bit. Written
// against the hosting interface: a VST 2.4 chunk, an LV2 plug-in's ports
// and a CLAP plug-in's clap.state alike.
#include <memory>
#include <vector>

#include "tools/validate/groups/GroupSupport.h"

namespace {

// Both instances started and fed the same noise; the first block that differs, or -1.
long firstDifference(CheckContext& context, HostedPlugin& first, HostedPlugin& second, int inputs, int outputs) {
    first.start();
    second.start();
    GuardedAudio in(inputs, kBlock), outA(outputs, kBlock), outB(outputs, kBlock);
    for (int block = 0; block < 16 * context.strictness(); ++block) {
        context.noise(in, kNoiseLevel);
        context.process(first, in, outA, kBlock);
        context.process(second, in, outB, kBlock);
        if (!outA.sameAs(outB))
            return block;
    }
    return -1;
}

// A plug-in that is not deterministic by itself cannot be compared bit for bit.
bool deterministic(CheckContext& context, int inputs, int outputs) {
    std::unique_ptr<HostedPlugin> plainA = context.open(kRate, kBlock), plainB = context.open(kRate, kBlock);
    if (!plainA || !plainB)
        return false;
    context.doing("the same noise through two fresh instances with their defaults");
    const long plain = firstDifference(context, *plainA, *plainB, inputs, outputs);
    if (plain >= 0) {
        context.warn(
            "two fresh instances fed the same noise differ from block %ld on: randomness of its own, or "
            "state shared between instances; not compared",
            plain);
    }
    return plain < 0;
}

void parametersCarryOver(CheckContext& context) {
    std::unique_ptr<HostedPlugin> first = context.open(kRate, kBlock), second = context.open(kRate, kBlock);
    int inputs = 0, outputs = 0;
    if (!first || !second || !context.channelCounts(*first, inputs, outputs) ||
        !deterministic(context, inputs, outputs))
        return;
    const int count = first->parameterCount();
    context.doing("setting %d parameters at random, reading them and setting them on a fresh instance", count);
    for (int index = 0; index < count; ++index)
        first->setPosition(index, context.uniform());
    for (int index = 0; index < count; ++index)
        second->setParameterValue(index, first->parameterValue(index));
    context.doing("the same noise through both instances");
    const long block = firstDifference(context, *first, *second, inputs, outputs);
    context.figure("parameters carried over", "%d", count);
    if (block >= 0)
        context.fail("an instance given the parameters another reports sounds different from block %ld on", block);
}

void stateCarriesOver(CheckContext& context) {
    std::unique_ptr<HostedPlugin> first = context.open(kRate, kBlock);
    if (!first)
        return;
    if (!first->keepsOwnState()) {
        context.skip("the plug-in keeps no state beyond its parameters");
        return;
    }
    int inputs = 0, outputs = 0;
    std::unique_ptr<HostedPlugin> second = context.open(kRate, kBlock);
    if (!second || !context.channelCounts(*first, inputs, outputs) || !deterministic(context, inputs, outputs))
        return;
    for (int index = 0; index < first->parameterCount(); ++index)
        first->setPosition(index, context.uniform());
    std::vector<uint8_t> state;
    std::string error;
    context.doing("saving the state");
    if (!first->saveState(state, error)) {
        context.fail("%s", error.c_str());
        return;
    }
    context.figure("state", "%zu bytes", state.size());
    context.doing("restoring %zu bytes of state on a fresh instance", state.size());
    if (!second->restoreState(state, error)) {
        context.fail("a fresh instance refused another's state: %s", error.c_str());
        return;
    }
    const long block = firstDifference(context, *first, *second, inputs, outputs);
    if (block >= 0)
        context.fail("an instance given another's state sounds different from block %ld on", block);
}

}  // namespace

ValidationGroup stateGroup() {
    return {
        "state",
        "State",
        {},
        {
            {"parameters read and set on a fresh instance give the same output bit for bit", 1, parametersCarryOver},
            {"a state restored on a fresh instance gives the same output bit for bit", 2, stateCarriesOver},
        },
        true};
}
