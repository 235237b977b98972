// The validator's building blocks: a check is a small named function with
// the least strictness at which it runs; a group is a list of checks that
// share one child process; the context is what a check sees: the plug-in's
// path, the strictness, a seeded random stream, guarded audio, and the
// result it fills in, which the runner hands to the parent process.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/hosting/GuardedBuffer.h"
#include "tools/hosting/PluginHost.h"
#include "tools/validate/CheckResult.h"
#include "tools/validate/ResultWire.h"
#include "tools/validate/Strictness.h"

#if defined(__GNUC__)
#define VALIDATION_PRINTF(position, first) __attribute__((format(gnu_printf, position, first)))
#else
#define VALIDATION_PRINTF(position, first)
#endif

struct ValidationSettings {
    std::string pluginPath;
    int strictness = kDefaultStrictness;
    uint64_t seed = 0;
};

// Audio channels, each in a guarded buffer of exactly `frames` floats, and
// the pointer array a plug-in is handed. The array never is empty: a
// plug-in without inputs still gets a valid pointer it should not need.
class GuardedAudio {
public:
    GuardedAudio(int channels, int frames);

    float** pointers() { return table.data(); }
    float* channel(int index) { return buffers[static_cast<size_t>(index)].floats(); }
    int channels() const { return numChannels; }
    int frames() const { return numFrames; }
    bool valid() const;
    void fill(float value);
    // Largest magnitude; infinity when any sample is not finite.
    float peak() const;
    bool sameAs(const GuardedAudio& other) const;

private:
    int numChannels;
    int numFrames;
    std::vector<GuardedBuffer> buffers;
    std::vector<float*> table;
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
    void warnOfLoudness();

    ValidationSettings settings;
    uint64_t state;
    CheckResult result;
    Loudness loudness;
};

struct ValidationCheck {
    const char* name;
    int minStrictness;
    void (*run)(CheckContext& context);
};

struct ValidationGroup {
    const char* id;     // for --validate-group and messages
    const char* title;  // for the report
    std::vector<std::string> notes;
    std::vector<ValidationCheck> checks;
};

// One function per group, each in its own file in groups/.
ValidationGroup identityGroup();
ValidationGroup parametersGroup();
ValidationGroup dispatcherGroup();
ValidationGroup processingGroup();
ValidationGroup sampleRatesGroup();
ValidationGroup midiGroup();
ValidationGroup threadsGroup();
ValidationGroup editorGroup();
ValidationGroup instancesGroup();
ValidationGroup stateGroup();
ValidationGroup hostHabitsGroup();

// The floating-point control state that processing must leave as found:
// MXCSR on x86, 0 elsewhere.
uint32_t floatingPointState();
void restoreFloatingPointState(uint32_t state);

// A text the plug-in writes into a guarded buffer of `bytes` bytes that
// starts as an empty string followed by non-zero filler, so that an answer
// without its terminating zero shows. A write past the buffer faults.
struct TextAnswer {
    bool terminated = false;
    size_t length = 0;
    std::string text;
    VstIntPtr result = 0;
};

// What hosts commonly give for texts; the interface's nominal limits are far smaller.
const size_t kTextBufferBytes = 256;

TextAnswer guardedText(PluginHost& host, VstInt32 opcode, VstInt32 index, size_t bytes = kTextBufferBytes);
// The opcode's name in the interface, for messages.
const char* opcodeName(VstInt32 opcode);
