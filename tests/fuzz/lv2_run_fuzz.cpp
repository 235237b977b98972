// lv2-run: the LV2 adapter as hosts drive it, with everything decoded from
// the input: the rate and the features offered (a URID map or none, block
// length options of any type and size), ports connected late, moved, to
// the same buffer or never, port indices past the last, control values of
// any kind, blocks of any length, and MIDI sequences of any size whose
// events carry any time, type, URID (mapped or not) and body size,
// truncated at the buffer's end included. The host's one promise holds: the
// sequence's own size fits its buffer. After every run the reported corner
// lies in its range and finite input gives finite output; at the end a
// fresh instance set to the same controls sounds the same.
#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "framework/lv2/Lv2Plugin.h"
#include "quavix/Parameters.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/fuzz/Invariant.h"

using namespace quavixfuzz;

namespace {

const quavix::Parameter& kCorner = quavix::kParameters[quavix::kFrequencyParam];

constexpr uint32_t kAudioPorts = quavix::kNumInputs + quavix::kNumOutputs;
constexpr uint32_t kFirstControl = kAudioPorts;
constexpr uint32_t kMidiPort = kFirstControl + quavix::kNumParams;
constexpr uint32_t kReportPort = kMidiPort + 1;
constexpr uint32_t kPortCount = kReportPort + 1;
constexpr uint32_t kMaxFrames = 1024;
constexpr size_t kMaxSequenceBytes = 2048;
constexpr int kMaxRuns = 24;
constexpr int kMaxEvents = 40;
constexpr uint32_t kComparedFrames = 256;
// A control the user set and the corner the output port reports pass
// through float conversions both ways: a fresh instance set to the
// reported corner may differ in the last bits of its coefficients.
constexpr float kSoundTolerance = 1e-4f;

// The host's URID map: URIs numbered from 1 in the order first asked.
class UridMap {
public:
    UridMap() : feature{this, &UridMap::mapUri} {}
    LV2_URID map(const char* uri) { return mapUri(this, uri); }
    LV2_URID_Map feature;

private:
    static LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri) {
        std::vector<std::string>& uris = static_cast<UridMap*>(handle)->uris;
        for (size_t i = 0; i < uris.size(); ++i)
            if (uris[i] == uri)
                return static_cast<LV2_URID>(i + 1);
        uris.push_back(uri);
        return static_cast<LV2_URID>(uris.size());
    }
    std::vector<std::string> uris;
};

// The features an input offers, and the memory they point into.
struct Features {
    UridMap uridMap;
    LV2_URID_Map brokenMap{nullptr, nullptr};
    int32_t blockLength = 0;
    LV2_Options_Option options[2] = {};
    LV2_Feature mapFeature{LV2_URID__map, nullptr};
    LV2_Feature optionsFeature{LV2_OPTIONS__options, options};
    std::vector<const LV2_Feature*> list;

    void decode(FuzzInput& input) {
        const uint32_t offer = input.choice(4);
        if (offer == 0) {
            list.push_back(nullptr);
            return;
        }
        mapFeature.data = offer == 3 ? static_cast<void*>(&brokenMap) : static_cast<void*>(&uridMap.feature);
        list.push_back(&mapFeature);
        if (input.flag()) {
            blockLength = input.flag() ? input.inRange(-2, 8192) : input.i32();
            LV2_Options_Option& option = options[0];
            option.context = input.flag() ? LV2_OPTIONS_INSTANCE : LV2_Options_Context(input.choice(4));
            option.subject = 0;
            option.key = input.flag() ? uridMap.map(LV2_BUF_SIZE__maxBlockLength) : input.u32() % 64;
            option.size = input.flag() ? sizeof(int32_t) : input.choice(9);
            option.type = input.flag() ? uridMap.map(LV2_ATOM__Int) : input.u32() % 64;
            option.value = input.choice(8) ? &blockLength : nullptr;
            list.push_back(&optionsFeature);
        }
        list.push_back(nullptr);
    }
};

double anyRate(FuzzInput& input) {
    switch (input.choice(5)) {
    case 0:
        return input.anyFloat();
    case 1:
        return input.inRange(1, 768000);
    case 2: {  // any double, far past a float's range too
        const uint64_t high = input.u32();
        const uint64_t bits = high << 32 | input.u32();
        double rate;
        std::memcpy(&rate, &bits, sizeof rate);
        return rate;
    }
    default:
        return 48000.0;
    }
}

class Lv2Session {
public:
    explicit Lv2Session(FuzzInput& input) : input(input) {
        for (std::vector<float>& buffer : audio)
            buffer.assign(kMaxFrames, 0.0f);
    }

    ~Lv2Session() {
        if (handle)
            descriptor->cleanup(handle);
    }

    void run() {
        features.decode(input);
        rate = anyRate(input);
        handle = descriptor->instantiate(descriptor, rate, "/nonexistent/", features.list.data());
        if (!handle) {
            require(!(rate > 0.0 && std::isfinite(rate)), "no instance at a rate of %g", rate);
            return;
        }
        for (uint32_t port = 0; port < kPortCount; ++port)
            if (input.flag())
                connect(port);
        for (int i = 0; i < kMaxRuns && !input.empty(); ++i)
            takeStep();
        requireMatchesFreshInstance();
    }

private:
    void takeStep() {
        switch (input.choice(6)) {
        case 0:
            connect(input.choice(8) ? input.choice(kPortCount) : input.u32());
            break;
        case 1:
            if (input.flag())
                descriptor->deactivate(handle);
            else
                descriptor->activate(handle);
            break;
        case 2:
            writeSequence();
            break;
        default:
            runBlock();
            break;
        }
    }

    // Connects the port to its own buffer, to another port's, or to nothing.
    void connect(uint32_t port) {
        void* data = nullptr;
        const uint32_t where = input.choice(8);
        if (port < kAudioPorts && where > 0)
            data = audio[where < 6 ? port : input.choice(kAudioPorts)].data();
        else if (port >= kFirstControl && port < kMidiPort && where > 0)
            data = &controls[port - kFirstControl];
        else if (port == kMidiPort && where > 0)
            data = sequence.data();
        else if (port == kReportPort && where > 0)
            data = &reported;
        if (port < kPortCount)
            connected[port] = data;
        descriptor->connect_port(handle, port, data);
    }

    // Any bytes in a buffer of any capacity, its header making a sequence
    // whose size fits the capacity, and events of any shape inside it.
    void writeSequence() {
        const size_t capacity = sizeof(LV2_Atom_Sequence) + input.inRange(0, kMaxSequenceBytes);
        sequence.assign(capacity, 0);
        LV2_Atom_Sequence* atoms = reinterpret_cast<LV2_Atom_Sequence*>(sequence.data());
        atoms->atom.type = input.choice(8) ? features.uridMap.map(LV2_ATOM__Sequence) : input.u32();
        atoms->body.unit = input.flag() ? 0 : input.flag() ? features.uridMap.map(LV2_ATOM__beatTime) : input.u32();
        size_t used = sizeof(LV2_Atom_Sequence_Body);
        const uint32_t midi = features.uridMap.map(LV2_MIDI__MidiEvent);
        for (int i = 0; i < kMaxEvents && input.flag(); ++i) {
            if (used + sizeof(LV2_Atom_Event) > capacity - sizeof(LV2_Atom))
                break;
            LV2_Atom_Event* event = reinterpret_cast<LV2_Atom_Event*>(sequence.data() + sizeof(LV2_Atom) + used);
            event->time.frames = input.flag() ? input.inRange(-2, kMaxFrames + 2) : int64_t(input.u32()) << 16;
            event->body.type = input.choice(4) ? midi : input.u32() % 64;
            event->body.size = input.choice(4) ? input.inRange(0, 4) : input.u32();
            const size_t room = capacity - sizeof(LV2_Atom) - used - sizeof(LV2_Atom_Event);
            const size_t bodyBytes = std::min<size_t>(event->body.size, room);
            uint8_t* body = reinterpret_cast<uint8_t*>(event + 1);
            for (size_t b = 0; b < bodyBytes; ++b)
                body[b] = b == 0 && input.flag() ? (0xB0 | input.choice(16)) : input.byte();
            used += sizeof(LV2_Atom_Event) + ((std::min<size_t>(bodyBytes, event->body.size) + 7) & ~size_t(7));
        }
        // Short of, at or past the events written, never past the buffer.
        const size_t atomSize = input.choice(4) ? used : input.inRange(0, capacity - sizeof(LV2_Atom));
        atoms->atom.size = static_cast<uint32_t>(std::min(atomSize, capacity - sizeof(LV2_Atom)));
        // The buffer may have moved: a host connects the port again.
        if (connected[kMidiPort]) {
            connected[kMidiPort] = sequence.data();
            descriptor->connect_port(handle, kMidiPort, sequence.data());
        }
    }

    void runBlock() {
        for (float& control : controls)
            control = input.flag() ? input.anyFloat() : float(input.inRange(0, 4000));
        const uint32_t frames = input.flag() ? input.inRange(0, 64) : input.inRange(0, kMaxFrames);
        float samples[4];
        for (float& sample : samples)
            sample = input.sample();
        bool finiteInput = true;
        for (uint32_t port = 0; port < kAudioPorts; ++port)
            for (uint32_t frame = 0; frame < frames; ++frame) {
                audio[port][frame] = samples[(frame + port) % 4];
                finiteInput = finiteInput && isFiniteFloat(audio[port][frame]);
            }
        runFuzzed(frames);
        if (connected[kReportPort])
            require(reported >= kCorner.minimum && reported <= kCorner.maximum, "the reported corner is %g Hz",
                    static_cast<double>(reported));
        if (finiteInput)
            requireFiniteOutput(frames);
    }

    void runFuzzed(uint32_t frames) {
        for (uint32_t control = 0; control < quavix::kNumParams; ++control) {
            const float* value = static_cast<const float*>(connected[kFirstControl + control]);
            if (value && !std::isnan(*value)) {
                applied[control] = *value;
                everApplied[control] = true;
            }
        }
        reported = std::nanf("");
        descriptor->run(handle, frames);
    }

    // Outputs that share no buffer with an input were written from finite input.
    void requireFiniteOutput(uint32_t frames) const {
        for (uint32_t out = quavix::kNumInputs; out < kAudioPorts; ++out)
            for (uint32_t frame = 0; frame < frames && connected[out]; ++frame)
                require(isFiniteFloat(static_cast<const float*>(connected[out])[frame]),
                        "output %u frame %u is not finite from finite input", out, frame);
    }

    void requireMatchesFreshInstance() {
        descriptor->connect_port(handle, kReportPort, &reported);
        descriptor->connect_port(handle, kMidiPort, nullptr);
        connected[kReportPort] = &reported;
        runFuzzed(0);
        const float corner = reported;
        LV2_Handle fresh = descriptor->instantiate(descriptor, rate, "/nonexistent/", features.list.data());
        require(fresh != nullptr, "no second instance at a rate of %g", rate);
        // A control never applied keeps the effect's starting value in both.
        float freshControls[quavix::kNumParams];
        for (uint32_t control = 0; control < quavix::kNumParams; ++control)
            freshControls[control] = applied[control];
        freshControls[quavix::kFrequencyParam] = corner;
        everApplied[quavix::kFrequencyParam] = true;
        std::vector<float> in[2], out[2], freshOut[2];
        for (int channel = 0; channel < 2; ++channel) {
            for (uint32_t frame = 0; frame < kComparedFrames; ++frame)
                in[channel].push_back(frame == 0 ? 1.0f : (frame / 16) % 2 ? 0.25f : -0.25f);
            out[channel].assign(kComparedFrames, 0.0f);
            freshOut[channel].assign(kComparedFrames, 0.0f);
        }
        for (LV2_Handle instance : {handle, fresh}) {
            const bool isFresh = instance == fresh;
            for (uint32_t control = 0; control < quavix::kNumParams; ++control)
                descriptor->connect_port(instance, kFirstControl + control,
                                         !isFresh               ? connected[kFirstControl + control]
                                         : everApplied[control] ? &freshControls[control]
                                                                : nullptr);
            for (uint32_t port = 0; port < kAudioPorts; ++port) {
                std::vector<float>* buffers = port < quavix::kNumInputs ? in : isFresh ? freshOut : out;
                descriptor->connect_port(instance, port, buffers[port % quavix::kNumInputs].data());
            }
            descriptor->deactivate(instance);  // clears the filter's memories
            descriptor->activate(instance);
            descriptor->run(instance, kComparedFrames);
        }
        descriptor->cleanup(fresh);
        for (int channel = 0; channel < 2; ++channel)
            for (uint32_t frame = 0; frame < kComparedFrames; ++frame)
                require(std::fabs(out[channel][frame] - freshOut[channel][frame]) <= kSoundTolerance,
                        "channel %d frame %u is %g, a fresh instance's %g", channel, frame,
                        static_cast<double>(out[channel][frame]), static_cast<double>(freshOut[channel][frame]));
    }

    FuzzInput& input;
    const LV2_Descriptor* descriptor = lv2_descriptor(0);
    Features features;
    double rate = 0.0;
    LV2_Handle handle = nullptr;
    std::vector<float> audio[kAudioPorts];
    float controls[quavix::kNumParams] = {};
    // The last value each control gave the effect at a run (a value that is not a number is ignored).
    float applied[quavix::kNumParams] = {};
    bool everApplied[quavix::kNumParams] = {};
    std::vector<uint8_t> sequence = std::vector<uint8_t>(sizeof(LV2_Atom_Sequence), 0);
    float reported = 0.0f;
    void* connected[kPortCount] = {};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    Lv2Session(input).run();
    return 0;
}
