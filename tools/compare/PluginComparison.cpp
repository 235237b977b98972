#include "tools/compare/PluginComparison.h"

#include <cstdio>
#include <cstring>

std::string ComparisonResult::line() const {
    char text[200];
    if (differing == 0) {
        std::snprintf(text, sizeof text, "compare: identical %ld samples", samples);
    } else {
        std::snprintf(text, sizeof text,
                      "compare: DIFFERENT %ld of %ld samples (first at frame %d channel %d: %.9g vs %.9g)", differing,
                      samples, firstFrame, firstChannel, static_cast<double>(first[0]), static_cast<double>(first[1]));
    }
    return text;
}

std::string PluginComparison::mismatch(HostedPlugin& a, HostedPlugin& b) {
    const auto shape = [](HostedPlugin& plugin) {
        return std::to_string(plugin.inputCount()) + " inputs, " + std::to_string(plugin.outputCount()) +
               " outputs and " + std::to_string(plugin.parameterCount()) + " parameters";
    };
    if (a.inputCount() == b.inputCount() && a.outputCount() == b.outputCount() &&
        a.parameterCount() == b.parameterCount() && a.outputCount() > 0)
        return "";
    return "'" + a.path() + "' (" + shape(a) + ") and '" + b.path() + "' (" + shape(b) +
           ") are not one plug-in in two formats";
}

std::vector<std::vector<float>> PluginComparison::render(HostedPlugin& plugin, const CompareStimulus& stimulus) {
    std::vector<std::vector<float>> outputs(static_cast<size_t>(plugin.outputCount()),
                                            std::vector<float>(static_cast<size_t>(stimulus.frames())));
    std::vector<float> silence(CompareStimulus::kMaxBlock, 0.0f);
    std::vector<float*> in(static_cast<size_t>(plugin.inputCount()) + 1), out(outputs.size() + 1);
    plugin.start();
    for (const StimulusBlock& block : stimulus.blocks()) {
        for (const StimulusChange& change : block.changes)
            plugin.setPosition(change.parameter, change.position);
        for (const StimulusEvent& event : block.events)
            plugin.sendMidi(event.frame, event.status, event.data1, event.data2);
        // Copies, so that a plug-in that writes its inputs changes nothing the other hears.
        std::vector<std::vector<float>> inputs;
        for (int i = 0; i < plugin.inputCount(); ++i) {
            const float* source = i < 2 ? stimulus.channel(i) + block.start : silence.data();
            inputs.emplace_back(source, source + block.frames);
            in[i] = inputs.back().data();
        }
        for (size_t i = 0; i < outputs.size(); ++i)
            out[i] = outputs[i].data() + block.start;
        plugin.process(in.data(), out.data(), block.frames);
    }
    plugin.stop();
    return outputs;
}

ComparisonResult PluginComparison::compare(HostedPlugin& a, HostedPlugin& b, const CompareStimulus& stimulus) {
    const std::vector<std::vector<float>> first = render(a, stimulus);
    const std::vector<std::vector<float>> second = render(b, stimulus);
    ComparisonResult result;
    for (int frame = 0; frame < stimulus.frames(); ++frame) {
        for (size_t channel = 0; channel < first.size(); ++channel) {
            ++result.samples;
            const float x = first[channel][frame], y = second[channel][frame];
            if (std::memcmp(&x, &y, sizeof x) == 0)
                continue;
            if (result.differing++ == 0) {
                result.firstFrame = frame;
                result.firstChannel = static_cast<int>(channel);
                result.first[0] = x;
                result.first[1] = y;
            }
        }
    }
    return result;
}
