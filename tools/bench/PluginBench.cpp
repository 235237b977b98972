#include "tools/bench/PluginBench.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>

#include "tools/render/OfflineRenderer.h"
#include "tools/hosting/FilePaths.h"
#include "tools/hosting/Median.h"
#include "tools/hosting/PluginLoader.h"
#include "tools/hosting/process/FloatingPoint.h"
#include "tools/media/NoiseGenerator.h"

namespace {

// Distinct noise blocks cycled through: enough that no plug-in sees a
// repeating pattern within its filters' memory, few enough to stay in cache
// as a host's buffers do.
const size_t kNoiseBlocks = 64;
// Some plug-ins read or write a whole block whatever the frame count says:
// every buffer has a spare block behind it.
const size_t kPaddingBlocks = 1;
const float kNoiseLevel = 0.5f;
// Before the first round each plug-in runs an eighth of a round, so that
// first-touch page faults and lazy set-up are not charged to round one.
const size_t kWarmUpDivisor = 8;
const size_t kMaxNameWidth = 36;

std::string plural(int count, const char* word) { return std::to_string(count) + " " + word + (count == 1 ? "" : "s"); }

}  // namespace

struct PluginBench::Contender {
    BenchEntry entry;
    // One instance, or two for a mono plug-in: one per channel.
    std::vector<std::unique_ptr<HostedPlugin>> instances;
    std::string name;
    std::string note;
    // Per instance: which noise channel feeds each input (-1: silence), and the pointer arrays.
    std::vector<std::vector<int>> sources;
    std::vector<std::vector<float*>> inputs;
    std::vector<std::vector<float*>> outputs;
    std::vector<std::vector<float>> outputBuffers;
    std::vector<double> nanosecondsPerFrame;  // one per round
};

PluginBench::PluginBench(const BenchSettings& benchSettings) : settings(benchSettings) {
    size_t block = static_cast<size_t>(settings.blockSize);
    NoiseGenerator generator(0x51564158);  // the same noise in every run
    for (std::vector<float>& channel : noise) {
        channel.resize((kNoiseBlocks + kPaddingBlocks) * block);
        for (float& sample : channel)
            sample = kNoiseLevel * generator.next();
    }
    silence.assign((1 + kPaddingBlocks) * block, 0.0f);
}

PluginBench::~PluginBench() = default;

bool PluginBench::add(const BenchEntry& entry, std::string& error) {
    std::unique_ptr<Contender> contender(new Contender);
    contender->entry = entry;
    if (!setUp(*contender, error))
        return false;
    for (std::unique_ptr<HostedPlugin>& instance : contender->instances)
        instance->start();
    contenders.push_back(std::move(contender));
    return true;
}

bool PluginBench::addInstance(Contender& contender, std::string& error) {
    std::unique_ptr<HostedPlugin> host =
        PluginLoader::open(contender.entry.path, {settings.sampleRate, settings.blockSize}, error);
    if (!host)
        return false;
    contender.instances.push_back(std::move(host));
    return true;
}

bool PluginBench::applySettings(Contender& contender, std::string& error) {
    for (size_t instance = 0; instance < contender.instances.size(); ++instance) {
        if (!::applySettings(*contender.instances[instance], contender.entry.parameters, instance == 0 ? "  " : nullptr,
                             error))
            return false;
    }
    return true;
}

bool PluginBench::setUp(Contender& contender, std::string& error) {
    const std::string& path = contender.entry.path;
    std::printf("Plug-in %lu: %s\n", static_cast<unsigned long>(contenders.size() + 1), path.c_str());
    if (!addInstance(contender, error))
        return false;
    HostedPlugin& host = *contender.instances[0];
    contender.name = host.name();
    if (contender.name.empty())
        contender.name = FilePaths::fileName(path);
    int inputs = host.inputCount(), outputs = host.outputCount();
    std::printf("  \"%s\", %s, %s, %s\n", contender.name.c_str(), formatName(host.format()),
                plural(inputs, "input").c_str(), plural(outputs, "output").c_str());
    if (inputs == 0) {
        error = "refusing '" + path +
                "': it takes no audio input (an instrument or generator), so there is no "
                "filtering to compare";
        return false;
    }
    if (inputs < 0 || outputs < 1 || inputs > OfflineRenderer::kMaxChannels ||
        outputs > OfflineRenderer::kMaxChannels) {
        error = "refusing '" + path + "': " + plural(inputs, "input") + " and " + plural(outputs, "output") +
                " are no audio layout to process";
        return false;
    }
    if (inputs == 1 && outputs == 1) {
        if (!addInstance(contender, error))
            return false;
        contender.note = "mono: two instances per stereo frame, one per channel";
    } else if (inputs == 1) {
        contender.note = "1 input: fed the left channel only";
    } else if (inputs > 2) {
        contender.note = "inputs 3 to " + std::to_string(inputs) + " get silence";
    }
    if (outputs != inputs) {
        contender.note += (contender.note.empty() ? "" : "; ") + plural(outputs, "output");
    }
    if (!applySettings(contender, error))
        return false;
    route(contender);
    return true;
}

void PluginBench::route(Contender& contender) {
    size_t padded = (1 + kPaddingBlocks) * static_cast<size_t>(settings.blockSize);
    bool perChannel = contender.instances.size() == 2;
    for (size_t instance = 0; instance < contender.instances.size(); ++instance) {
        const HostedPlugin& plugin = *contender.instances[instance];
        std::vector<int> sources;
        for (int input = 0; input < plugin.inputCount(); ++input) {
            sources.push_back(perChannel ? static_cast<int>(instance) : input < 2 ? input : -1);
        }
        contender.sources.push_back(sources);
        contender.inputs.push_back(std::vector<float*>(sources.size(), silence.data()));
        std::vector<float*> outputs;
        for (int output = 0; output < plugin.outputCount(); ++output) {
            contender.outputBuffers.push_back(std::vector<float>(padded, 0.0f));
            outputs.push_back(contender.outputBuffers.back().data());
        }
        contender.outputs.push_back(outputs);
    }
}

double PluginBench::run(Contender& contender, size_t frames) {
    size_t block = static_cast<size_t>(settings.blockSize);
    size_t blocks = std::max<size_t>(1, (frames + block - 1) / block);
    DenormalsFlushed flushed;
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    for (size_t b = 0; b < blocks; ++b) {
        size_t offset = (b % kNoiseBlocks) * block;
        for (size_t instance = 0; instance < contender.instances.size(); ++instance) {
            const std::vector<int>& sources = contender.sources[instance];
            std::vector<float*>& inputs = contender.inputs[instance];
            for (size_t input = 0; input < sources.size(); ++input) {
                if (sources[input] >= 0)
                    inputs[input] = noise[sources[input]].data() + offset;
            }
            contender.instances[instance]->process(inputs.data(), contender.outputs[instance].data(),
                                                   settings.blockSize);
        }
    }
    std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count() / static_cast<double>(blocks * block);
}

void PluginBench::measure() {
    std::printf("Measuring: %d rounds of %lu frames per plug-in, at %d Hz in blocks of %d\n", settings.rounds,
                static_cast<unsigned long>(settings.framesPerRound), settings.sampleRate, settings.blockSize);
    std::fflush(stdout);
    for (std::unique_ptr<Contender>& contender : contenders)
        run(*contender, settings.framesPerRound / kWarmUpDivisor);
    size_t count = contenders.size();
    for (int round = 0; round < settings.rounds; ++round) {
        for (size_t turn = 0; turn < count; ++turn) {
            Contender& contender = *contenders[(turn + static_cast<size_t>(round)) % count];
            contender.nanosecondsPerFrame.push_back(run(contender, settings.framesPerRound));
        }
    }
}

void PluginBench::printTable() const {
    if (contenders.empty())
        return;
    size_t width = std::string("plug-in").size();
    for (const std::unique_ptr<Contender>& contender : contenders)
        width = std::max(width, contender->name.size());
    width = std::min(width, kMaxNameWidth);
    double reference = median(contenders[0]->nanosecondsPerFrame);
    std::printf("\nns per stereo frame (median of %d rounds, and the best); ratio to %s\n", settings.rounds,
                contenders[0]->name.c_str());
    std::printf("  %2s  %-*s %9s %9s %7s  %s\n", "#", static_cast<int>(width), "plug-in", "ns/frame", "best", "ratio",
                "file");
    for (size_t i = 0; i < contenders.size(); ++i) {
        const Contender& contender = *contenders[i];
        double middle = median(contender.nanosecondsPerFrame);
        double best = *std::min_element(contender.nanosecondsPerFrame.begin(), contender.nanosecondsPerFrame.end());
        std::string file = FilePaths::fileName(contender.entry.path);
        if (!contender.note.empty())
            file += " (" + contender.note + ")";
        std::printf("  %2lu  %-*.*s %9.2f %9.2f %7.2f  %s\n", static_cast<unsigned long>(i + 1),
                    static_cast<int>(width), static_cast<int>(width), contender.name.c_str(), middle, best,
                    reference > 0.0 ? middle / reference : 0.0, file.c_str());
    }
    std::fflush(stdout);
}
