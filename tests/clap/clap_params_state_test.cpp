// What a CLAP host reads and writes besides audio: the ports, the four
// parameters in their plain ranges with the VST build's read-outs, texts
// read back, the tail, and the saved state with every malformed stream
// refused.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "framework/Entry.h"
#include "quavix/Parameters.h"
#include "tests/clap/support/ClapTestHost.h"

extern "C" const clap_plugin_entry_t clap_entry;

namespace {

using claptest::InputEvents;

constexpr double kRate = 48000.0;

class ClapHostView : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(clap.plugin, nullptr);
        params = clap.extension<clap_plugin_params_t>(CLAP_EXT_PARAMS);
        state = clap.extension<clap_plugin_state_t>(CLAP_EXT_STATE);
        ASSERT_NE(params, nullptr);
        ASSERT_NE(state, nullptr);
    }
    // Sets the values as a host does while not processing.
    void set(claptest::Instance& instance, const std::vector<double>& values) {
        InputEvents events;
        for (size_t i = 0; i < values.size(); ++i) {
            events.paramValue(0, static_cast<clap_id>(i), values[i]);
        }
        params->flush(instance.plugin, events.list(), nullptr);
    }
    std::vector<double> values(const claptest::Instance& instance) const {
        std::vector<double> all;
        for (clap_id id = 0; id < quavix::kNumParams; ++id) {
            all.push_back(instance.value(id));
        }
        return all;
    }
    std::string text(clap_id id, double value) {
        char buffer[128] = "";
        return params->value_to_text(clap.plugin, id, value, buffer, sizeof(buffer)) ? buffer : "(refused)";
    }
    std::vector<uint8_t> saved() {
        claptest::ByteWriter writer;
        EXPECT_TRUE(state->save(clap.plugin, writer.stream()));
        return writer.bytes;
    }

    claptest::TestHost host;
    claptest::Instance clap{clap_entry, host};
    const clap_plugin_params_t* params = nullptr;
    const clap_plugin_state_t* state = nullptr;
};

TEST_F(ClapHostView, PortsLatencyAndNoPanelWithoutAnEditor) {
    const auto* audio = clap.extension<clap_plugin_audio_ports_t>(CLAP_EXT_AUDIO_PORTS);
    const auto* notes = clap.extension<clap_plugin_note_ports_t>(CLAP_EXT_NOTE_PORTS);
    for (bool input : {true, false}) {
        clap_audio_port_info_t info{};
        ASSERT_EQ(audio->count(clap.plugin, input), 1u);
        ASSERT_TRUE(audio->get(clap.plugin, 0, input, &info));
        EXPECT_EQ(info.channel_count, 2u);
        EXPECT_STREQ(info.port_type, CLAP_PORT_STEREO);
        EXPECT_EQ(info.in_place_pair, info.id) << "the input and output are an in-place pair";
        EXPECT_TRUE(info.flags & CLAP_AUDIO_PORT_IS_MAIN);
        EXPECT_FALSE(audio->get(clap.plugin, 1, input, &info));
    }
    clap_note_port_info_t note{};
    EXPECT_EQ(notes->count(clap.plugin, false), 0u);
    ASSERT_EQ(notes->count(clap.plugin, true), 1u);
    ASSERT_TRUE(notes->get(clap.plugin, 0, true, &note));
    EXPECT_EQ(note.supported_dialects, static_cast<uint32_t>(CLAP_NOTE_DIALECT_MIDI));
    EXPECT_EQ(clap.extension<clap_plugin_latency_t>(CLAP_EXT_LATENCY)->get(clap.plugin), 0u);
    // This build is headless: hosts must show their own controls.
    EXPECT_EQ(clap.extension<clap_plugin_gui_t>(CLAP_EXT_GUI), nullptr);
}

TEST_F(ClapHostView, ParametersAreTheTablesInTheirPlainRanges) {
    ASSERT_EQ(params->count(clap.plugin), static_cast<uint32_t>(quavix::kNumParams));
    for (uint32_t i = 0; i < quavix::kNumParams; ++i) {
        const quavix::Parameter& row = quavix::kParameters[i];
        clap_param_info_t info{};
        ASSERT_TRUE(params->get_info(clap.plugin, i, &info));
        EXPECT_EQ(info.id, i);
        EXPECT_STREQ(info.name, row.name);
        EXPECT_EQ(info.min_value, row.minimum);
        EXPECT_EQ(info.max_value, row.maximum);
        EXPECT_EQ(info.default_value, row.initial);
        EXPECT_EQ((info.flags & CLAP_PARAM_IS_STEPPED) != 0, row.integer) << row.name;
        EXPECT_TRUE(info.flags & CLAP_PARAM_IS_AUTOMATABLE);
        EXPECT_NEAR(clap.value(i), row.initial, 1e-6) << "a new instance reads its default";
    }
    clap_param_info_t info{};
    double value = 0.0;
    EXPECT_FALSE(params->get_info(clap.plugin, quavix::kNumParams, &info));
    EXPECT_FALSE(params->get_value(clap.plugin, 99, &value));
}

// value_to_text writes what a VST host shows for the same value; every
// text it writes reads back to a value that shows the same.
TEST_F(ClapHostView, ReadOutsAreTheVstBuildsAndReadBack) {
    AEffect* vst = VSTPluginMain([](AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) -> VstIntPtr {
        return opcode == audioMasterVersion ? kVstVersion : 0;
    });
    for (int32_t i = 0; i < quavix::kNumParams; ++i) {
        for (float normalized : {0.0f, 0.13f, 0.5f, 0.77f, 1.0f}) {
            vst->setParameter(vst, i, normalized);
            char display[64] = "", label[64] = "";
            vst->dispatcher(vst, effGetParamDisplay, i, 0, display, 0.0f);
            vst->dispatcher(vst, effGetParamLabel, i, 0, label, 0.0f);
            const std::string shown =
                std::string(display) + (std::strspn(label, " ") < std::strlen(label) ? " " + std::string(label) : "");
            const std::string written = text(i, quavix::unitValue(i, normalized));
            EXPECT_EQ(written, shown) << quavix::kParameters[i].name << " at " << normalized;
            double back = -1.0;
            ASSERT_TRUE(params->text_to_value(clap.plugin, i, written.c_str(), &back)) << written;
            EXPECT_EQ(text(i, back), written) << "read back from " << written;
        }
    }
    vst->dispatcher(vst, effClose, 0, 0, nullptr, 0.0f);
}

struct TextRow {
    clap_id id;
    const char* text;
    bool accepted;
    double value;
};

TEST_F(ClapHostView, TextsReadBackOrAreRefused) {
    const TextRow rows[] = {
        {0, "2300.000000 Hz", true, 2300.0},
        {0, " 1234.5 ", true, 1234.5},
        {0, "+800", true, 800.0},
        {0, "5000 Hz", false, 0},
        {0, "799.9", true, 800.0},
        {0, "796", false, 0},
        {0, "1e999", false, 0},
        {0, "nan", false, 0},
        {0, "", false, 0},
        {0, "2300 Hzz", false, 0},
        {0, "2300,5", false, 0},
        {1, "-6.02 dB", true, 1.0},  // the full-scale read-out, truncated past the end
        {1, "-12.04 dB", true, std::pow(10.0, -12.04 / 20.0) * 2.0},
        {1, "-oo dB", true, 0.0},
        {1, "0.25", true, 0.25},
        {1, "-6.02", false, 0},
        {1, "+3 dB", false, 0},
        {2, "Hi", true, 1.0},
        {2, "Med", true, 0.6},
        {2, "Lo", true, 0.0},
        {2, "Loud", false, 0},
        {3, "64", true, 64.0},
        {3, "63.6", true, 64.0},
        {3, "128", false, 0},
        {3, "-1", false, 0},
        {4, "1", false, 0},
    };
    for (const TextRow& row : rows) {
        double value = -12345.0;
        EXPECT_EQ(params->text_to_value(clap.plugin, row.id, row.text, &value), row.accepted)
            << "parameter " << row.id << ", \"" << row.text << "\"";
        if (row.accepted) {
            EXPECT_NEAR(value, row.value, 1e-9) << row.text;
        }
    }
    EXPECT_EQ(text(0, NAN), "(refused)");
    EXPECT_EQ(text(7, 1.0), "(refused)");
}

// The tail the host is told is where the output of a sharp resonance,
// rung hard and then left in silence, has fallen to exact zeros.
TEST_F(ClapHostView, TheTailCoversTheRealRingOut) {
    const auto* tail = clap.extension<clap_plugin_tail_t>(CLAP_EXT_TAIL);
    ASSERT_TRUE(clap.activate(kRate, 4096));
    set(clap, {800.0, 1.0, 0.0, 1.0});
    const uint32_t gentle = tail->get(clap.plugin);
    set(clap, {800.0, 1.0, 1.0, 1.0});
    const uint32_t sharp = tail->get(clap.plugin);
    EXPECT_GT(sharp, gentle);
    std::vector<float> left(sharp + 8192, 0.0f), right(sharp + 8192, 0.0f);
    for (int n = 0; n < 64; ++n) {
        left[n] = right[n] = n % 2 ? 1.0f : -1.0f;
    }
    float* channels[2] = {left.data(), right.data()};
    for (uint32_t done = 0; done < left.size(); done += 512) {
        float* at[2] = {channels[0] + done, channels[1] + done};
        clap.process(at, at, std::min<uint32_t>(512, static_cast<uint32_t>(left.size()) - done), InputEvents());
    }
    size_t lastSound = 0;
    for (size_t n = 0; n < left.size(); ++n) {
        if (left[n] != 0.0f || right[n] != 0.0f) {
            lastSound = n;
        }
    }
    EXPECT_LT(lastSound, 64 + sharp + 512) << "rang past the tail the host was told (one block's check allowed)";
    EXPECT_GT(lastSound, sharp / 2) << "a tail far longer than the ring keeps hosts processing silence";
}

TEST_F(ClapHostView, AStateRestoresEveryValueAndTheSound) {
    set(clap, {1234.5, 0.3, 0.9, 77.0});
    const std::vector<uint8_t> bytes = saved();
    claptest::Instance fresh(clap_entry, host);
    claptest::ByteReader reader(bytes, 5);  // a stream that hands over a few bytes at a time
    const int rescans = host.valueRescans;
    ASSERT_TRUE(state->load(fresh.plugin, reader.stream()));
    EXPECT_EQ(values(fresh), values(clap));
    EXPECT_EQ(host.valueRescans, rescans + 1) << "the host rereads the values";
    std::vector<float> a(512, 0.25f), b(512, 0.25f);
    float* ac[2] = {a.data(), a.data()};
    float* bc[2] = {b.data(), b.data()};
    ASSERT_TRUE(clap.activate(kRate, 512));
    ASSERT_TRUE(fresh.activate(kRate, 512));
    clap.process(ac, ac, 512, InputEvents());
    fresh.process(bc, bc, 512, InputEvents());
    EXPECT_EQ(std::memcmp(a.data(), b.data(), a.size() * sizeof(float)), 0);
}

struct Damage {
    const char* what;
    void (*apply)(std::vector<uint8_t>&);
};

void putFloat(std::vector<uint8_t>& bytes, size_t at, float value) { std::memcpy(&bytes[at], &value, 4); }

TEST_F(ClapHostView, AMalformedStateIsRefusedAndChangesNothing) {
    set(clap, {1000.0, 0.5, 0.5, 5.0});
    const std::vector<uint8_t> good = saved();
    const Damage rows[] = {
        {"empty", [](std::vector<uint8_t>& b) { b.clear(); }},
        {"the header alone", [](std::vector<uint8_t>& b) { b.resize(12); }},
        {"one byte short", [](std::vector<uint8_t>& b) { b.pop_back(); }},
        {"one byte more", [](std::vector<uint8_t>& b) { b.push_back(0); }},
        {"oversized", [](std::vector<uint8_t>& b) { b.resize(1 << 20, 0xAB); }},
        {"another plug-in's", [](std::vector<uint8_t>& b) { b[1] ^= 0x20; }},
        {"a newer format", [](std::vector<uint8_t>& b) { b[4] = 2; }},
        {"three values", [](std::vector<uint8_t>& b) { b[8] = 3; }},
        {"a value twice", [](std::vector<uint8_t>& b) { b[20] = 0; }},
        {"an unknown id", [](std::vector<uint8_t>& b) { b[12] = 9; }},
        {"not a number", [](std::vector<uint8_t>& b) { putFloat(b, 16, NAN); }},
        {"past the range", [](std::vector<uint8_t>& b) { putFloat(b, 24, 1.5f); }},
        {"below the range", [](std::vector<uint8_t>& b) { putFloat(b, 32, -0.0001f); }},
    };
    claptest::Instance other(clap_entry, host);
    set(other, {3000.0, 0.9, 0.1, 100.0});
    const std::vector<double> before = values(other);
    for (const Damage& row : rows) {
        std::vector<uint8_t> bytes = good;
        row.apply(bytes);
        claptest::ByteReader reader(bytes, 7);
        EXPECT_FALSE(state->load(other.plugin, reader.stream())) << row.what;
        EXPECT_EQ(values(other), before) << row.what;
    }
    claptest::ByteReader failing(good, 7, true);
    EXPECT_FALSE(state->load(other.plugin, failing.stream())) << "a stream that fails";
    claptest::ByteReader intact(good, 7);
    EXPECT_TRUE(state->load(other.plugin, intact.stream())) << "the same stream undamaged";
}

}  // namespace
