#include "tools/validate/CheckContext.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "tools/hosting/PluginLoader.h"
#include "tools/hosting/process/FloatingPoint.h"

namespace {

// More channels than any real plug-in has; beyond it the counts are noise.
const int kMaxChannels = 256;

}  // namespace

CheckContext::CheckContext(const ValidationSettings& settings, uint64_t streamSeed)
    : settings(settings), state(streamSeed) {}

// splitmix64: the same stream on every system and compiler, unlike the
// standard library's distributions.
uint64_t CheckContext::next() {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

uint32_t CheckContext::below(uint32_t count) { return count == 0 ? 0 : static_cast<uint32_t>(next() % count); }

double CheckContext::uniform() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }

void CheckContext::noise(GuardedAudio& audio, float amplitude) {
    for (int c = 0; c < audio.channels(); ++c) {
        float* samples = audio.channel(c);
        for (int i = 0; i < audio.frames(); ++i)
            samples[i] = static_cast<float>((uniform() * 2.0 - 1.0) * amplitude);
    }
}

void CheckContext::send(const GroupMessage& message) {
    std::fputs(ResultWire::encode(message).c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void CheckContext::begin(const std::string& check) {
    result = CheckResult();
    result.name = check;
    loudness = Loudness();
    GroupMessage starts;
    starts.kind = GroupMessage::Kind::CheckStarts;
    starts.text = check;
    send(starts);
}

CheckResult CheckContext::finish() {
    warnOfLoudness();
    if (result.failures > 0)
        result.verdict = Verdict::Fail;
    else if (!result.skipReason.empty())
        result.verdict = Verdict::Skip;
    return result;
}

void CheckContext::doing(const char* format, ...) {
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    GroupMessage message;
    message.kind = GroupMessage::Kind::Doing;
    message.text = text;
    send(message);
}

void CheckContext::detail(Finding::Kind kind, int& count, const char* format, va_list arguments) {
    ++count;
    if (count > kDetailLimit)
        return;
    char text[1024];
    std::vsnprintf(text, sizeof text, format, arguments);
    result.findings.push_back({kind, text});
}

void CheckContext::fail(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    detail(Finding::Kind::Failure, result.failures, format, arguments);
    va_end(arguments);
}

void CheckContext::warn(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    detail(Finding::Kind::Warning, result.warnings, format, arguments);
    va_end(arguments);
}

void CheckContext::note(const char* format, ...) {
    char text[1024];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    result.notes.push_back(text);
}

void CheckContext::figure(const std::string& name, const char* format, ...) {
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    result.figures.push_back({name, text});
}

void CheckContext::skip(const std::string& reason) { result.skipReason = reason; }

void CheckContext::loud(float peak, float bound, const std::string& where) {
    ++loudness.count;
    loudness.bound = bound;
    if (peak > loudness.loudest) {
        loudness.loudest = peak;
        loudness.where = where;
    }
}

void CheckContext::warnOfLoudness() {
    if (loudness.count == 0)
        return;
    warn("the output peaked past %+.0f dBFS (%g) %ld time%s; the loudest, %+.1f dBFS (%g): %s",
         20.0 * std::log10(loudness.bound), static_cast<double>(loudness.bound), loudness.count,
         loudness.count == 1 ? "" : "s", 20.0 * std::log10(loudness.loudest), static_cast<double>(loudness.loudest),
         loudness.where.c_str());
}

void CheckContext::unloadable(const std::string& error) {
    fail("%s", error.c_str());
    result.unloadable = true;
}

std::unique_ptr<PluginHost> CheckContext::load(int sampleRate, int blockSize) {
    std::unique_ptr<PluginHost> host(new PluginHost());
    host->configure(sampleRate, blockSize);
    doing("loading the plug-in and sending effOpen");
    std::string error;
    if (!host->load(pluginPath(), error)) {
        unloadable(error);
        return nullptr;
    }
    return host;
}

std::unique_ptr<HostedPlugin> CheckContext::open(int sampleRate, int blockSize) {
    doing("loading the plug-in");
    std::string error;
    std::unique_ptr<HostedPlugin> plugin = PluginLoader::open(pluginPath(), {sampleRate, blockSize}, error);
    if (!plugin)
        unloadable(error);
    return plugin;
}

bool CheckContext::countsSane(int inputs, int outputs) {
    if (inputs >= 0 && outputs >= 0 && inputs <= kMaxChannels && outputs <= kMaxChannels)
        return true;
    fail("the plug-in claims %d inputs and %d outputs; not processed", inputs, outputs);
    return false;
}

bool CheckContext::channelCounts(PluginHost& host, int& inputs, int& outputs) {
    inputs = host.record()->numInputs;
    outputs = host.record()->numOutputs;
    return countsSane(inputs, outputs);
}

bool CheckContext::channelCounts(HostedPlugin& plugin, int& inputs, int& outputs) {
    inputs = plugin.inputCount();
    outputs = plugin.outputCount();
    return countsSane(inputs, outputs);
}

template <typename Process>
void CheckContext::watched(int frames, Process process) {
    const uint32_t before = floatingPointState();
    process();
    const uint32_t after = floatingPointState();
    if (after != before) {
        fail("processing %d frames changed the floating-point control state from 0x%04X to 0x%04X and left it so",
             frames, static_cast<unsigned>(before), static_cast<unsigned>(after));
        restoreFloatingPointState(before);
    }
}

void CheckContext::process(PluginHost& host, GuardedAudio& inputs, GuardedAudio& outputs, int frames) {
    process(host, inputs.pointers(), outputs.pointers(), frames);
}

void CheckContext::process(PluginHost& host, float** inputs, float** outputs, int frames) {
    watched(frames, [&]() { host.process(inputs, outputs, frames); });
}

void CheckContext::process(HostedPlugin& plugin, GuardedAudio& inputs, GuardedAudio& outputs, int frames) {
    watched(frames, [&]() { plugin.process(inputs.pointers(), outputs.pointers(), frames); });
}
