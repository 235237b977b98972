// State: what one instance reports of itself, its parameters or its chunk,
// set on a fresh instance gives the same sound bit for bit.
#include <cstring>
#include <memory>

#include "tools/validate/groups/GroupSupport.h"

namespace {

// Both instances started and fed the same noise; the first block that differs, or -1.
long firstDifference(CheckContext& context, PluginHost& first, PluginHost& second, int inputs, int outputs) {
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

void parametersCarryOver(CheckContext& context) {
    std::unique_ptr<PluginHost> first = context.load(kRate, kBlock);
    std::unique_ptr<PluginHost> second = context.load(kRate, kBlock);
    int inputs = 0, outputs = 0;
    if (!first || !second || !context.channelCounts(*first, inputs, outputs))
        return;
    const VstInt32 count = first->record()->numParams;
    context.doing("setting %d parameters at random, reading them and setting them on a fresh instance", count);
    // A plug-in that is not deterministic by itself cannot be compared bit for bit.
    std::unique_ptr<PluginHost> plainA = context.load(kRate, kBlock), plainB = context.load(kRate, kBlock);
    if (!plainA || !plainB)
        return;
    context.doing("the same noise through two fresh instances with their defaults");
    long plain = firstDifference(context, *plainA, *plainB, inputs, outputs);
    if (plain >= 0) {
        context.warn(
            "two fresh instances fed the same noise differ from block %ld on: randomness of its own, or "
            "state shared between instances; parameters not compared",
            plain);
        return;
    }
    for (VstInt32 index = 0; index < count; ++index)
        first->setParameter(index, static_cast<float>(context.uniform()));
    for (VstInt32 index = 0; index < count; ++index)
        second->setParameter(index, first->parameter(index));
    context.doing("the same noise through both instances");
    long block = firstDifference(context, *first, *second, inputs, outputs);
    context.figure("parameters carried over", "%d", count);
    if (block >= 0) {
        context.fail("an instance given the parameters another reports sounds different from block %ld on", block);
    }
}

void chunkCarriesOver(CheckContext& context) {
    std::unique_ptr<PluginHost> first = context.load(kRate, kBlock);
    if (!first)
        return;
    if (!(first->record()->flags & effFlagsProgramChunks)) {
        context.skip("the plug-in keeps no chunks (effFlagsProgramChunks is clear)");
        return;
    }
    int inputs = 0, outputs = 0;
    std::unique_ptr<PluginHost> second = context.load(kRate, kBlock);
    if (!second || !context.channelCounts(*first, inputs, outputs))
        return;
    for (VstInt32 index = 0; index < first->record()->numParams; ++index) {
        first->setParameter(index, static_cast<float>(context.uniform()));
    }
    void* data = nullptr;
    context.doing("effGetChunk (bank)");
    VstIntPtr size = first->dispatch(effGetChunk, 0, 0, &data);
    context.figure("bank chunk", "%ld bytes", static_cast<long>(size));
    if (size <= 0 || !data) {
        context.fail("effGetChunk gives %ld bytes at %s", static_cast<long>(size), data ? "an address" : "null");
        return;
    }
    GuardedBuffer copy(static_cast<size_t>(size));
    std::memcpy(copy.data(), data, static_cast<size_t>(size));
    context.doing("effSetChunk of %ld bytes on a fresh instance, from a buffer of exactly that size",
                  static_cast<long>(size));
    second->dispatch(effSetChunk, 0, size, copy.data());
    long block = firstDifference(context, *first, *second, inputs, outputs);
    if (block >= 0)
        context.fail("an instance given another's chunk sounds different from block %ld on", block);
}

}  // namespace

ValidationGroup stateGroup() {
    return {
        "state",
        "State",
        {},
        {
            {"parameters read and set on a fresh instance give the same output bit for bit", 1, parametersCarryOver},
            {"a chunk set on a fresh instance gives the same output bit for bit", 2, chunkCarriesOver},
        }};
}
