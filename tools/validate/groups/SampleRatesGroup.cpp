// Sample rates: every rate in use from 8 kHz to 768 kHz, fractional ones
// among them, in every format (a VST 2.4 plug-in told each while it runs,
// the others made anew at each, as their hosts do), and rates no host
// should send, which only VST 2.4 lets a host tell a running plug-in.
#include <algorithm>
#include <cstdio>
#include <limits>
#include <memory>
#include <string>

#include "tools/hosting/PluginLoader.h"
#include "tools/validate/groups/GroupSupport.h"

namespace {

// Every rate a studio or a telephone line uses, up to eight times 96 kHz, and
// rates that are not whole numbers: video pull-down (48000 / 1.001, 44100 /
// 1.001) and a host that reports its sound card's measured clock.
const double kSaneRates[] = {8000,   11025,  16000,  22050,  32000,  44100,   48000,    88200,    96000,  176400,
                             192000, 352800, 384000, 705600, 768000, 44099.7, 47952.05, 44055.94, 95904.1};

template <typename Plugin>
float runNoise(CheckContext& context, Plugin& host, int inputs, int outputs, int frames) {
    GuardedAudio in(inputs, kBlock), out(outputs, kBlock);
    float peak = 0.0f;
    for (int done = 0; done < frames; done += kBlock) {
        context.noise(in, kNoiseLevel);
        context.process(host, in, out, kBlock);
        peak = std::max(peak, out.peak());
    }
    return peak;
}

void setRate(PluginHost& host, float rate) {
    host.stop();
    host.dispatch(effSetSampleRate, 0, 0, nullptr, rate);
    host.start();
}

// The instance at that rate: the running VST 2.4 instance told it, or a new one.
HostedPlugin* atRate(CheckContext& context, std::unique_ptr<HostedPlugin>& plugin, double rate, int& inputs,
                     int& outputs) {
    if (PluginHost* vst = plugin ? plugin->vstHost() : nullptr) {
        setRate(*vst, static_cast<float>(rate));
        return plugin.get();
    }
    // LV2 and CLAP take whole rates; the fractional ones round. A plug-in
    // may refuse to be made at a rate it does not support, as they allow.
    std::string error;
    plugin = PluginLoader::open(context.pluginPath(), {static_cast<int>(rate + 0.5), kBlock}, error);
    if (!plugin) {
        context.warn("%s", error.c_str());
        return nullptr;
    }
    if (!context.channelCounts(*plugin, inputs, outputs))
        return nullptr;
    plugin->start();
    return plugin.get();
}

void saneRates(CheckContext& context) {
    int inputs = 0, outputs = 0;
    std::unique_ptr<HostedPlugin> plugin = startedAnyFormat(context, kRate, kBlock, inputs, outputs);
    if (!plugin)
        return;
    for (double rate : kSaneRates) {
        char name[32];
        std::snprintf(name, sizeof name, "%.10g", rate);
        context.doing("processing a tenth of a second at %s Hz", name);
        HostedPlugin* host = atRate(context, plugin, rate, inputs, outputs);
        if (!host)
            continue;
        float peak = runNoise(context, *host, inputs, outputs, static_cast<int>(rate / 10));
        context.figure(std::string("output peak at ") + name + " Hz", "%g", static_cast<double>(peak));
        checkPeak(context, peak, std::string("at ") + name + " Hz");
    }
}

void absurdRates(CheckContext& context) {
    const std::string vstOnly = PluginLoader::vstOnly(context.pluginPath(), "this check");
    if (!vstOnly.empty()) {
        context.skip(vstOnly);
        return;
    }
    int inputs = 0, outputs = 0;
    std::unique_ptr<PluginHost> host = started(context, kRate, kBlock, inputs, outputs);
    if (!host)
        return;
    const NastyInput rates[] = {{"0", 0.0f},
                                {"-44100", -44100.0f},
                                {"NaN", std::numeric_limits<float>::quiet_NaN()},
                                {"+infinity", std::numeric_limits<float>::infinity()},
                                {"1e-3", 1e-3f},
                                {"1e12", 1e12f}};
    for (const NastyInput& rate : rates) {
        context.doing("effSetSampleRate %s, then processing", rate.name);
        setRate(*host, rate.value);
        float during = runNoise(context, *host, inputs, outputs, 4 * kBlock);
        context.doing("back to %d Hz after %s", kRate, rate.name);
        setRate(*host, static_cast<float>(kRate));
        float after = runNoise(context, *host, inputs, outputs, kRate / 5);
        context.figure(std::string("at ") + rate.name + " Hz / back at " + std::to_string(kRate), "peak %g / %g",
                       static_cast<double>(during), static_cast<double>(after));
        checkPeak(context, after, "set back to " + std::to_string(kRate) + " Hz after " + rate.name + " Hz");
    }
}

}  // namespace

ValidationGroup sampleRatesGroup() {
    return {"rates",
            "Sample rates",
            {},
            {
                {"8000 to 768000 Hz, fractional rates among them", 1, saneRates},
                {"0, negative, NaN, infinite and extreme rates, then 44100 again", 2, absurdRates},
            },
            true};
}
