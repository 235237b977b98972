// What a CLAP host reads and writes besides audio: the table's parameters in
// their plain ranges with the VST build's read-outs, texts read back, the
// tail, and saved states, sound or malformed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "quavix/Parameters.h"
#include "tests/clap/support/ClapTestHost.h"
#include "tests/native/FilterProbe.h"

extern "C" const clap_plugin_entry_t clap_entry;

namespace {

using claptest::InputEvents;

class ClapHostView : public ::testing::Test {
protected:
    // Sets the values as a host does while not processing.
    void set(claptest::Instance& instance, const std::vector<double>& values) {
        InputEvents events;
        for (clap_id id = 0; id < values.size(); ++id) {
            events.paramValue(0, id, values[id]);
        }
        params->flush(instance.plugin, &events.list, nullptr);
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

    claptest::TestHost host;
    claptest::Instance clap{clap_entry, host};
    const clap_plugin_params_t* params = clap.extension<clap_plugin_params_t>(CLAP_EXT_PARAMS);
    const clap_plugin_state_t* state = clap.extension<clap_plugin_state_t>(CLAP_EXT_STATE);
};

// The table's parameters in their plain ranges; value_to_text writes what a
// VST host shows for the same value, and every text it writes reads back to
// a value that shows the same.
TEST_F(ClapHostView, ParametersAreTheTablesWithTheVstBuildsReadOuts) {
    RecordingHost recorder;
    LoadedEffect vst(recorder);
    clap_param_info_t info{};
    ASSERT_EQ(params->count(clap.plugin), static_cast<uint32_t>(quavix::kNumParams));
    EXPECT_FALSE(params->get_info(clap.plugin, quavix::kNumParams, &info));
    for (int32_t i = 0; i < quavix::kNumParams; ++i) {
        const quavix::Parameter& row = quavix::kParameters[i];
        ASSERT_TRUE(params->get_info(clap.plugin, i, &info));
        EXPECT_STREQ(info.name, row.name);
        EXPECT_TRUE(info.id == uint32_t(i) && info.min_value == row.minimum && info.max_value == row.maximum &&
                    info.default_value == row.initial && ((info.flags & CLAP_PARAM_IS_STEPPED) != 0) == row.integer)
            << row.name;
        EXPECT_NEAR(clap.value(i), row.initial, 1e-6) << "a new instance reads its default";
        for (float normalized : {0.0f, 0.13f, 0.5f, 0.77f, 1.0f}) {
            vst.record->setParameter(vst.record, i, normalized);
            const std::string label = vst.text(effGetParamLabel, i);
            const bool unit = label.find_first_not_of(' ') != std::string::npos;
            const std::string written = text(i, quavix::unitValue(i, normalized));
            EXPECT_EQ(written, vst.text(effGetParamDisplay, i) + (unit ? " " + label : ""));
            double back = -1.0;
            ASSERT_TRUE(params->text_to_value(clap.plugin, i, written.c_str(), &back)) << written;
            EXPECT_EQ(text(i, back), written) << "read back from " << written;
        }
    }
}

TEST_F(ClapHostView, TextsReadBackOrAreRefused) {
    const struct {
        clap_id id;
        const char* text;
        double value;  // NAN: refused
    } rows[] = {
        {0, " 1234.5 ", 1234.5}, {0, "+800", 800.0}, {0, "799.9", 800.0},  {0, "796", NAN},    {0, "1e999", NAN},
        {0, "nan", NAN},         {0, "", NAN},       {0, "2300 Hzz", NAN}, {0, "2300,5", NAN}, {1, "-6.02 dB", 1.0},
        {1, "-oo dB", 0.0},      {1, "0.25", 0.25},  {1, "-6.02", NAN},    {1, "+3 dB", NAN},  {2, "Med", 0.6},
        {2, "Loud", NAN},        {3, "63.6", 64.0},  {3, "128", NAN},      {4, "1", NAN},
    };
    for (const auto& row : rows) {
        double value = -12345.0;
        EXPECT_EQ(params->text_to_value(clap.plugin, row.id, row.text, &value), !std::isnan(row.value))
            << row.id << " \"" << row.text << "\"";
        EXPECT_TRUE(std::isnan(row.value) || std::fabs(value - row.value) < 1e-9) << row.text << " read " << value;
    }
    EXPECT_EQ(text(0, NAN), "(refused)");
}

// The tail the host is told covers the real ring of a sharp resonance rung
// hard, which then falls to exact zeros, and is not far longer.
TEST_F(ClapHostView, TheTailCoversTheRealRingOut) {
    const auto* tail = clap.extension<clap_plugin_tail_t>(CLAP_EXT_TAIL);
    ASSERT_TRUE(clap.activate(48000.0, 512));
    set(clap, {800.0, 1.0, 0.0, 1.0});
    const uint32_t gentle = tail->get(clap.plugin);
    set(clap, {800.0, 1.0, 1.0, 1.0});
    const uint32_t sharp = tail->get(clap.plugin);
    EXPECT_GT(sharp, gentle);
    StereoBuffer ring(sharp + 8192);
    for (int n = 0; n < 64; ++n) {
        ring.left[n] = ring.right[n] = n % 2 ? 1.0f : -1.0f;
    }
    for (uint32_t done = 0; done < ring.left.size(); done += 512) {
        float* at[2] = {ring.left.data() + done, ring.right.data() + done};
        clap.process(at, at, std::min<uint32_t>(512, ring.left.size() - done), InputEvents());
    }
    size_t last = 0;
    for (size_t n = 0; n < ring.left.size(); ++n) {
        last = ring.left[n] != 0.0f || ring.right[n] != 0.0f ? n : last;
    }
    EXPECT_LT(last, 64 + sharp + 512) << "rang past the tail (one block's check allowed)";
    EXPECT_GT(last, sharp / 2) << "a tail far past the ring keeps hosts processing silence";
}

// The values read back are the normalized ones the effect keeps, so equal
// values are the same sound.
TEST_F(ClapHostView, AStateRestoresEveryValue) {
    set(clap, {1234.5, 0.3, 0.9, 77.0});
    claptest::ByteStreams saved;
    ASSERT_TRUE(state->save(clap.plugin, &saved.writer));
    claptest::Instance fresh(clap_entry, host);
    claptest::ByteStreams reader(saved.bytes, 5);  // a few bytes at a time
    ASSERT_TRUE(state->load(fresh.plugin, &reader.reader));
    EXPECT_EQ(values(fresh), values(clap));
    EXPECT_EQ(host.valueRescans, 1) << "the host rereads the values";
}

void putFloat(std::vector<uint8_t>& bytes, size_t at, float value) { std::memcpy(&bytes[at], &value, 4); }

TEST_F(ClapHostView, AMalformedStateIsRefusedAndChangesNothing) {
    claptest::ByteStreams good;
    ASSERT_TRUE(state->save(clap.plugin, &good.writer));
    const struct {
        const char* what;
        void (*damage)(std::vector<uint8_t>&);
    } rows[] = {
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
    set(clap, {3000.0, 0.9, 0.1, 100.0});
    const std::vector<double> before = values(clap);
    for (const auto& row : rows) {
        std::vector<uint8_t> bytes = good.bytes;
        row.damage(bytes);
        claptest::ByteStreams damaged(bytes, 7);
        EXPECT_FALSE(state->load(clap.plugin, &damaged.reader)) << row.what;
        EXPECT_EQ(values(clap), before) << row.what;
    }
    claptest::ByteStreams failing(good.bytes, 7, true);
    EXPECT_FALSE(state->load(clap.plugin, &failing.reader)) << "a stream that fails";
}

}  // namespace
