// Instances: several of the plug-in at once, on threads of their own and
// beside each other, each keeping to itself.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tools/validate/groups/GroupSupport.h"

namespace {

const int kInstances = 8;

void eightInstances(CheckContext& context) {
    std::vector<std::unique_ptr<HostedPlugin>> hosts;
    int inputs = 0, outputs = 0;
    for (int i = 0; i < kInstances; ++i) {
        context.doing("creating instance %d of %d", i + 1, kInstances);
        std::unique_ptr<HostedPlugin> host = startedAnyFormatQuietly(context, kBlock, inputs, outputs);
        if (!host)
            return;
        hosts.push_back(std::move(host));
    }
    std::vector<double> settings;
    for (int index = 0; index < hosts[0]->parameterCount(); ++index)
        settings.push_back(context.uniform());
    for (auto& host : hosts) {
        for (size_t index = 0; index < settings.size(); ++index)
            host->setPosition(static_cast<int>(index), settings[index]);
    }
    const int blocks = 40 * context.strictness();
    GuardedAudio source(inputs, kBlock * blocks);
    context.noise(source, kNoiseLevel);
    std::vector<std::vector<float>> results(kInstances);
    std::vector<std::thread> threads;
    context.doing("processing %d instances on %d threads at once", kInstances, kInstances);
    for (int i = 0; i < kInstances; ++i) {
        threads.emplace_back([&, i]() {
            GuardedAudio in(inputs, kBlock), out(outputs, kBlock);
            for (int block = 0; block < blocks; ++block) {
                for (int c = 0; c < inputs; ++c) {
                    std::memcpy(in.channel(c), source.channel(c) + block * kBlock, sizeof(float) * kBlock);
                }
                hosts[static_cast<size_t>(i)]->process(in.pointers(), out.pointers(), kBlock);
                for (int c = 0; c < outputs; ++c) {
                    results[static_cast<size_t>(i)].insert(results[static_cast<size_t>(i)].end(), out.channel(c),
                                                           out.channel(c) + kBlock);
                }
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    int differing = 0, badOutputs = 0;
    for (int i = 0; i < kInstances; ++i) {
        const std::vector<float>& result = results[static_cast<size_t>(i)];
        differing += result != results[0] && !(result.empty() && results[0].empty());
        for (float sample : result) {
            if (!std::isfinite(sample)) {
                ++badOutputs;
                break;
            }
        }
    }
    std::vector<int> order(kInstances);
    for (int i = 0; i < kInstances; ++i)
        order[static_cast<size_t>(i)] = i;
    for (int i = kInstances - 1; i > 0; --i)
        std::swap(order[static_cast<size_t>(i)], order[context.below(i + 1)]);
    std::string orderText;
    for (int i : order) {
        context.doing("destroying instance %d (order %s)", i + 1, orderText.c_str());
        hosts[static_cast<size_t>(i)].reset();
        orderText += std::to_string(i + 1) + " ";
    }
    context.figure("instances / blocks each", "%d / %d of %d frames", kInstances, blocks, kBlock);
    context.figure("destroyed in the order", "%s", orderText.c_str());
    context.figure("instances whose output differs from the first's", "%d", differing);
    if (badOutputs > 0)
        context.fail("%d instances gave output that is not finite", badOutputs);
    if (differing > 0) {
        context.warn(
            "%d of %d instances fed the same input and settings gave other output than the first: shared "
            "state, or randomness of their own",
            differing, kInstances);
    }
}

// One instance processing the source block by block with these settings;
// another, when given, started beside it and fed other noise with settings
// of its own in between. What the first gave, all channels in a row.
std::vector<float> soundOf(CheckContext& context, HostedPlugin& host, const std::vector<double>& settings,
                           GuardedAudio& source, HostedPlugin* other, const std::vector<double>& otherSettings) {
    for (size_t index = 0; index < settings.size(); ++index)
        host.setPosition(static_cast<int>(index), settings[index]);
    if (other) {
        for (size_t index = 0; index < otherSettings.size(); ++index)
            other->setPosition(static_cast<int>(index), otherSettings[index]);
        other->start();
    }
    host.start();
    const int inputs = source.channels(), outputs = host.outputCount();
    GuardedAudio in(inputs, kBlock), out(outputs, kBlock), otherIn(inputs, kBlock), otherOut(outputs, kBlock);
    std::vector<float> sound;
    for (int block = 0; block < source.frames() / kBlock; ++block) {
        for (int c = 0; c < inputs; ++c)
            std::memcpy(in.channel(c), source.channel(c) + block * kBlock, sizeof(float) * kBlock);
        context.process(host, in, out, kBlock);
        if (other) {
            context.noise(otherIn, kNoiseLevel);
            context.process(*other, otherIn, otherOut, kBlock);
        }
        for (int c = 0; c < outputs; ++c)
            sound.insert(sound.end(), out.channel(c), out.channel(c) + kBlock);
    }
    return sound;
}

void instancesKeepToThemselves(CheckContext& context) {
    int inputs = 0, outputs = 0;
    std::unique_ptr<HostedPlugin> alone = context.open(kRate, kBlock);
    if (!alone || !context.channelCounts(*alone, inputs, outputs))
        return;
    std::vector<double> mine, theirs;
    for (int index = 0; index < alone->parameterCount(); ++index) {
        mine.push_back(context.uniform());
        theirs.push_back(context.uniform());
    }
    GuardedAudio source(inputs, kBlock * 8 * context.strictness());
    context.noise(source, kNoiseLevel);
    context.doing("one instance alone, with its settings");
    const std::vector<float> first = soundOf(context, *alone, mine, source, nullptr, {});
    alone.reset();
    std::unique_ptr<HostedPlugin> again = context.open(kRate, kBlock);
    if (!again)
        return;
    context.doing("a second instance alone, with the same settings");
    if (soundOf(context, *again, mine, source, nullptr, {}) != first) {
        context.skip("two instances alone with the same settings sound different: randomness of its own");
        return;
    }
    again.reset();
    std::unique_ptr<HostedPlugin> beside = context.open(kRate, kBlock), other = context.open(kRate, kBlock);
    if (!beside || !other)
        return;
    context.doing("an instance with the same settings beside another with other settings and other input");
    if (soundOf(context, *beside, mine, source, other.get(), theirs) != first) {
        context.fail(
            "an instance sounds different while another, with other settings and input, runs beside it: the two "
            "share state");
    }
    context.figure("instance alone / beside another", "%zu samples compared bit for bit", first.size());
}

}  // namespace

ValidationGroup instancesGroup() {
    return {"instances",
            "Instances",
            {},
            {
                {"8 instances processed on 8 threads, destroyed in random order", 5, eightInstances},
                {"an instance is not disturbed by another's settings and input", 1, instancesKeepToThemselves},
            },
            true};
}
