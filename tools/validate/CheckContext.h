// What a check of the validator sees: the plug-in's path, the strictness, a
// seeded random stream, instances loaded and processed as a host does, and
// the result it fills in, which the runner hands to the parent process.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/hosting/HostedPlugin.h"
#include "tools/hosting/vst/PluginHost.h"
#include "tools/validate/CheckResult.h"
#include "tools/validate/GuardedAudio.h"
#include "tools/validate/ResultWire.h"

#if defined(__GNUC__)
#define VALIDATION_PRINTF(position, first) __attribute__((format(gnu_printf, position, first)))
#else
#define VALIDATION_PRINTF(position, first)
#endif

struct ValidationSettings {
    // How long the checks go on: from quick to long.
    static constexpr int kMinStrictness = 1;
    static constexpr int kMaxStrictness = 10;
    static constexpr int kDefaultStrictness = 5;

    std::string pluginPath;
    int strictness = kDefaultStrictness;
    uint64_t seed = 0;
};

class CheckContext {
public:
    static const int kDetailLimit = CheckResult::kDetailLimit;

    CheckContext(const ValidationSettings& settings, uint64_t streamSeed);

    int strictness() const { return settings.strictness; }
    const std::string& pluginPath() const { return settings.pluginPath; }

    uint64_t next();
    uint32_t below(uint32_t count);
    double uniform();  // 0 <= x < 1
    // White noise of this amplitude.
    void noise(GuardedAudio& audio, float amplitude);

    // What the check is about to do, told the parent at once: it names it when the process dies.
    void doing(const char* format, ...) VALIDATION_PRINTF(2, 3);
    void fail(const char* format, ...) VALIDATION_PRINTF(2, 3);
    void warn(const char* format, ...) VALIDATION_PRINTF(2, 3);
    void note(const char* format, ...) VALIDATION_PRINTF(2, 3);
    void figure(const std::string& name, const char* format, ...) VALIDATION_PRINTF(3, 4);
    void skip(const std::string& reason);
    // Output past the bound, though finite: a plug-in's own gain may take it
    // there, so the check warns of it once, with the loudest and where it was.
    void loud(float peak, float bound, const std::string& where);

    // A plug-in instance as a host sets one up: format told, loaded, opened.
    // Null after a failure that says why; the whole run stops there when
    // not even the first instance loads.
    std::unique_ptr<PluginHost> load(int sampleRate, int blockSize);
    // processReplacing (or process) with the floating-point control state
    // watched: a plug-in that changes it and leaves it changed fails.
    void process(PluginHost& host, GuardedAudio& inputs, GuardedAudio& outputs, int frames);
    void process(PluginHost& host, float** inputs, float** outputs, int frames);
    // A plug-in's channel counts, refused (with a failure) when absurd.
    bool channelCounts(PluginHost& host, int& inputs, int& outputs);

    // The same for checks that hold in every format: an instance of the
    // plug-in in whatever format it is, loaded as that format's hosts load one.
    std::unique_ptr<HostedPlugin> open(int sampleRate, int blockSize);
    void process(HostedPlugin& plugin, GuardedAudio& inputs, GuardedAudio& outputs, int frames);
    bool channelCounts(HostedPlugin& plugin, int& inputs, int& outputs);

    int failureCount() const { return result.failures; }

    // The runner's side: a check starts, and its result when it is over.
    void begin(const std::string& check);
    CheckResult finish();
    static void send(const GroupMessage& message);

private:
    struct Loudness {
        long count = 0;
        float loudest = 0.0f;
        float bound = 0.0f;
        std::string where;
    };

    void detail(Finding::Kind kind, int& count, const char* format, va_list arguments);
    void unloadable(const std::string& error);
    bool countsSane(int inputs, int outputs);
    template <typename Process>
    void watched(int frames, Process process);
    void warnOfLoudness();

    ValidationSettings settings;
    uint64_t state;
    CheckResult result;
    Loudness loudness;
};
