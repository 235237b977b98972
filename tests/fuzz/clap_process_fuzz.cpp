// clap-process: the CLAP adapter as hosts drive it, everything decoded from
// the input: activation at any rate and block length (or none), blocks of 0
// frames and past the longest the host promised, events of any type, size,
// time and order (unknown parameter ids and values of any kind among them),
// flushes, and any state bytes in chunks of any size. The host keeps its one
// promise: each event's size is its own. After every block, finite input
// gives finite output and every value lies in its range; at the end a fresh
// instance given the same values sounds the same, to the bit.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "quavix/Parameters.h"
#include "tests/clap/support/ClapTestHost.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/fuzz/Invariant.h"

extern "C" const clap_plugin_entry_t clap_entry;

using namespace quavixfuzz;

namespace {

constexpr uint32_t kLongestBlock = 512;
constexpr uint32_t kMaxFrames = 2 * kLongestBlock;  // hosts may pass more than they promised
constexpr int kMaxSteps = 24;
constexpr int kMaxEvents = 24;
constexpr size_t kMaxStateBytes = 96;
constexpr uint32_t kComparedFrames = 256;

const uint16_t kEventTypes[] = {CLAP_EVENT_PARAM_VALUE, CLAP_EVENT_MIDI,       CLAP_EVENT_PARAM_MOD,
                                CLAP_EVENT_NOTE_ON,     CLAP_EVENT_MIDI_SYSEX, CLAP_EVENT_PARAM_GESTURE_BEGIN};

class ClapSession {
public:
    explicit ClapSession(FuzzInput& input) : input(input), clap(clap_entry, host) {
        for (std::vector<float>& buffer : audio) {
            buffer.assign(kMaxFrames, 0.0f);
        }
        require(clap.plugin != nullptr, "no instance");
        params = clap.extension<clap_plugin_params_t>(CLAP_EXT_PARAMS);
        state = clap.extension<clap_plugin_state_t>(CLAP_EXT_STATE);
    }

    void run() {
        for (int step = 0; step < kMaxSteps && !input.empty(); ++step) {
            takeStep();
        }
        requireMatchesFreshInstance();
    }

private:
    void takeStep() {
        switch (input.choice(5)) {
        case 0: {
            const double rate = input.choice(3) ? input.inRange(1, 768000) : double(input.anyFloat());
            active = clap.activate(rate, input.flag() ? kLongestBlock : input.u32());
            require(active || !(rate > 0.0 && std::isfinite(rate) && rate < 3.4e38), "refused a rate of %g", rate);
            break;
        }
        case 1: {
            claptest::InputEvents events;
            decodeEvents(0, events);
            params->flush(clap.plugin, &events.list, nullptr);
            break;
        }
        case 2: {
            claptest::ByteStreams streams(input.bytes(kMaxStateBytes), 1 + input.choice(16), input.choice(16) == 0);
            state->load(clap.plugin, &streams.reader);
            break;
        }
        default:
            if (active) {
                processBlock();
            }
            break;
        }
        requireValuesInRange();
    }

    void decodeEvents(uint32_t frames, claptest::InputEvents& events) {
        for (int i = 0; i < kMaxEvents && input.flag(); ++i) {
            const uint16_t type = input.choice(8) ? kEventTypes[input.choice(6)] : input.u16();
            const uint32_t time = input.flag() ? input.inRange(0, static_cast<int32_t>(frames)) : input.u32();
            if (type == CLAP_EVENT_PARAM_VALUE && input.choice(4)) {
                const clap_id id = input.choice(4) ? input.choice(quavix::kNumParams) : input.u32();
                events.paramValue(time, id, input.flag() ? input.anyFloat() : input.inRange(-10, 4000));
                continue;
            }
            std::vector<uint8_t> bytes(input.inRange(16, 64));
            for (uint8_t& byte : bytes) {
                byte = input.byte();
            }
            clap_event_header_t header{static_cast<uint32_t>(bytes.size()), time,
                                       static_cast<uint16_t>(input.choice(8) ? 0 : input.u16()), type, input.u32()};
            std::memcpy(bytes.data(), &header, sizeof(header));
            events.raw(bytes.data(), bytes.size());
        }
    }

    void processBlock() {
        const uint32_t frames = input.flag() ? input.inRange(0, 64) : input.inRange(0, kMaxFrames);
        bool finiteInput = true;
        for (int channel = 0; channel < 2; ++channel) {
            for (uint32_t frame = 0; frame < frames; ++frame) {
                audio[channel][frame] = input.sample();
                finiteInput = finiteInput && isFiniteFloat(audio[channel][frame]);
            }
        }
        float* in[2] = {audio[0].data(), audio[1].data()};
        float* out[2] = {audio[input.flag() ? 0 : 2].data(), audio[3].data()};  // in place, or not
        claptest::InputEvents events;
        decodeEvents(frames, events);
        clap.process(in, out, frames, events);
        for (uint32_t frame = 0; frame < frames && finiteInput; ++frame) {
            require(isFiniteFloat(out[0][frame]) && isFiniteFloat(out[1][frame]),
                    "frame %u is not finite from finite input", frame);
        }
    }

    void requireValuesInRange() const {
        for (clap_id id = 0; id < quavix::kNumParams; ++id) {
            const double value = clap.value(id);
            const quavix::Parameter& row = quavix::kParameters[id];
            require(value >= row.minimum && value <= row.maximum, "%s is %g", row.name, value);
            require(!row.integer || value == std::round(value), "%s is %g, not whole", row.name, value);
        }
    }

    // The values as the host reads them, set into a new instance through
    // their events, must give the same sound.
    void requireMatchesFreshInstance() {
        claptest::Instance fresh(clap_entry, host);
        claptest::InputEvents values;
        for (clap_id id = 0; id < quavix::kNumParams; ++id) {
            values.paramValue(0, id, clap.value(id));
        }
        std::vector<float> a(2 * kComparedFrames);
        for (size_t n = 0; n < a.size(); ++n) {
            a[n] = n % kComparedFrames == 0 ? 1.0f : (n / 16) % 2 ? 0.25f : -0.25f;
        }
        std::vector<float> b = a;
        float* first[2] = {a.data(), a.data() + kComparedFrames};
        float* second[2] = {b.data(), b.data() + kComparedFrames};
        clap.deactivate();
        require(clap.activate(48000.0, kComparedFrames) && fresh.activate(48000.0, kComparedFrames),
                "no activation at 48 kHz");
        clap.process(first, first, kComparedFrames, claptest::InputEvents());
        fresh.process(second, second, kComparedFrames, values);
        require(std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0,
                "a fresh instance with the same values sounds different");
    }

    FuzzInput& input;
    claptest::TestHost host;
    claptest::Instance clap;
    const clap_plugin_params_t* params = nullptr;
    const clap_plugin_state_t* state = nullptr;
    std::vector<float> audio[4];
    bool active = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    ClapSession session(input);
    session.run();
    return 0;
}
