// The LV2 bundle as an LV2 host meets it through lilv: its ports in the
// order the adapter numbers them, with the VST build's starting values;
// and MIDI through the event port moving the frequency the output port
// reports. That the bundle sounds as the VST effect, to the bit, is
// quavix-host --compare's to show (tests/tools/compare-formats.sh).
#include <gtest/gtest.h>
#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "framework/Entry.h"
#include "framework/lv2/Lv2Plugin.h"
#include "tools/hosting/lv2/Lv2Host.h"
#include "tests/reference/ReferenceSignal.h"

namespace {

// The bundle the build made: QUAVIX_LV2_BUNDLE, a folder ending in '/'.
std::string bundleFromEnvironment() {
    const char* bundle = std::getenv("QUAVIX_LV2_BUNDLE");
    return bundle ? bundle : "";
}

constexpr double kRate = 44100.0;
constexpr uint32_t kBlock = 64;
const char* const kControlSymbols[] = {"frequency", "gain", "peak", "controller"};

// The VST effect linked into this program, opened as the reference opens it.
class VstEffect {
public:
    VstEffect() : effect(VSTPluginMain(&reference::host)) {
        reference::dispatch(effect, effOpen);
        reference::dispatch(effect, effSetSampleRate, 0, 0, nullptr, reference::kSampleRate);
        reference::dispatch(effect, effSetBlockSize, 0, reference::kLongestBlock);
        reference::dispatch(effect, effMainsChanged, 0, 1);
    }
    ~VstEffect() {
        reference::dispatch(effect, effMainsChanged, 0, 0);
        reference::dispatch(effect, effClose);
    }
    VstEffect(const VstEffect&) = delete;
    VstEffect& operator=(const VstEffect&) = delete;

    AEffect* const effect;
};

class Lv2BundleTest : public testing::Test {
protected:
    Lv2BundleTest() : world(bundleFromEnvironment(), lv2PluginDescription().uri) {}

    void SetUp() override {
        ASSERT_NE(world.plugin(), nullptr)
            << "no " << lv2PluginDescription().uri << " in QUAVIX_LV2_BUNDLE '" << bundleFromEnvironment() << "'";
    }

    // One block of noise through the instance; its output, left then right.
    static std::vector<float> runBlock(Lv2Instance& instance) {
        reference::Random random(3);
        std::vector<float> left(kBlock), right(kBlock), out(2 * kBlock);
        for (uint32_t i = 0; i < kBlock; ++i) {
            left[i] = random.sample();
            right[i] = random.sample();
        }
        float* inputs[2] = {left.data(), right.data()};
        float* outputs[2] = {out.data(), out.data() + kBlock};
        instance.run(inputs, outputs, kBlock);
        return out;
    }

    static float hertz(uint8_t value) { return static_cast<float>(800.0 + 3000.0 * (value - 1) / 127.0); }

    Lv2World world;
};

// The Turtle file must list the ports where the adapter looks for them, with
// the ranges it maps by, and start where a fresh VST effect starts.
TEST_F(Lv2BundleTest, PortsAreWhereTheAdapterNumbersThemAndStartAsTheVstEffect) {
    const Lv2PluginDescription& description = lv2PluginDescription();
    VstEffect fresh;
    const AEffect* vst = fresh.effect;
    ASSERT_EQ(description.numControls, vst->numParams);
    struct Expected {
        const char* kind;
        const char* direction;
    };
    std::vector<Expected> ports;
    ports.insert(ports.end(), vst->numInputs, {LV2_CORE__AudioPort, LV2_CORE__InputPort});
    ports.insert(ports.end(), vst->numOutputs, {LV2_CORE__AudioPort, LV2_CORE__OutputPort});
    ports.insert(ports.end(), vst->numParams, {LV2_CORE__ControlPort, LV2_CORE__InputPort});
    ports.push_back({LV2_ATOM__AtomPort, LV2_CORE__InputPort});
    ports.push_back({LV2_CORE__ControlPort, LV2_CORE__OutputPort});
    ASSERT_EQ(lilv_plugin_get_num_ports(world.plugin()), ports.size());
    for (uint32_t port = 0; port < ports.size(); ++port) {
        EXPECT_TRUE(world.portIs(port, ports[port].kind)) << "port " << port << " is no " << ports[port].kind;
        EXPECT_TRUE(world.portIs(port, ports[port].direction)) << "port " << port << " is no " << ports[port].direction;
    }
    const uint32_t firstControl = vst->numInputs + vst->numOutputs;
    for (int32_t index = 0; index < vst->numParams; ++index) {
        SCOPED_TRACE(kControlSymbols[index]);
        const uint32_t port = world.portIndex(kControlSymbols[index]);
        ASSERT_EQ(port, firstControl + index);
        const Lv2World::Range range = world.range(port);
        EXPECT_EQ(range.minimum, description.controls[index].minimum);
        EXPECT_EQ(range.maximum, description.controls[index].maximum);
        const float start = vst->getParameter(const_cast<AEffect*>(vst), index);
        EXPECT_FLOAT_EQ(range.fallback, range.minimum + (range.maximum - range.minimum) * start);
    }
    const Lv2World::Range reported = world.range(world.portIndex("frequency_out"));
    EXPECT_EQ(reported.minimum, description.controls[description.reportedParameter].minimum);
    EXPECT_EQ(reported.maximum, description.controls[description.reportedParameter].maximum);
}

TEST_F(Lv2BundleTest, ControlChangesOfTheFollowedControllerOnAnyChannelMoveTheFrequency) {
    struct Case {
        const char* name;
        float controller;
        uint8_t status;
        uint8_t number;
        uint8_t value;
        bool moves;
    };
    const Case cases[] = {
        {"controller 1 on channel 1", 1, 0xB0, 1, 64, true},
        {"controller 1 on channel 16", 1, 0xBF, 1, 127, true},
        {"controller 7 while 1 is followed", 1, 0xB0, 7, 64, false},
        {"controller 7 once followed", 7, 0xB3, 7, 100, true},
        {"controller 1 while 7 is followed", 7, 0xB0, 1, 100, false},
        {"controller 0 once followed", 0, 0xB0, 0, 2, true},
        {"value 0 leaves the frequency", 1, 0xB0, 1, 0, false},
        {"a note with the controller's number", 1, 0x90, 1, 64, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Lv2Instance instance(world, kRate);
        ASSERT_TRUE(instance.ok());
        instance.set("controller", c.controller);
        runBlock(instance);
        EXPECT_EQ(instance.get("frequency_out"), 2300.0f);
        instance.midi(10, c.status, c.number, c.value);
        runBlock(instance);
        EXPECT_NEAR(instance.get("frequency_out"), c.moves ? hertz(c.value) : 2300.0f, 1e-3);
    }
}

// The port still holds the corner the user set: MIDI's corner must last
// until the user moves the control, not be overwritten at the next block.
TEST_F(Lv2BundleTest, MidiFrequencyHoldsUntilTheControlMoves) {
    Lv2Instance instance(world, kRate);
    ASSERT_TRUE(instance.ok());
    instance.midi(0, 0xB0, 1, 30);
    const std::vector<float> moved = runBlock(instance);
    for (int block = 0; block < 3; ++block) {
        runBlock(instance);
        EXPECT_NEAR(instance.get("frequency_out"), hertz(30), 1e-3);
    }
    instance.set("frequency", 1550.0f);
    runBlock(instance);
    EXPECT_EQ(instance.get("frequency_out"), 1550.0f);

    Lv2Instance unmoved(world, kRate);
    EXPECT_NE(runBlock(unmoved), moved) << "the control change did not reach the filter";
}

// More events than one list of the adapter holds: the last still counts.
TEST_F(Lv2BundleTest, EveryEventOfALongSequenceArrives) {
    Lv2Instance instance(world, kRate);
    ASSERT_TRUE(instance.ok());
    constexpr int kEvents = 1200;
    for (int i = 0; i < kEvents; ++i) {
        const uint8_t value = i == kEvents - 1 ? 100 : static_cast<uint8_t>(1 + i % 50);
        instance.midi(static_cast<uint32_t>(i * kBlock / kEvents), 0xB0, 1, value);
    }
    runBlock(instance);
    EXPECT_NEAR(instance.get("frequency_out"), hertz(100), 1e-3);
}

// A host without a URID map cannot write events, and still gets the audio
// and the controls (lv2apply is one).
TEST_F(Lv2BundleTest, WithoutAMapTheBundleRunsAndIgnoresTheEventPort) {
    Lv2Instance instance(world, kRate, false);
    ASSERT_TRUE(instance.ok());
    instance.set("frequency", 3800.0f);
    instance.midi(0, 0xB0, 1, 64);
    const std::vector<float> out = runBlock(instance);
    EXPECT_EQ(instance.get("frequency_out"), 3800.0f);
    EXPECT_NE(out, std::vector<float>(out.size(), 0.0f));
}

}  // namespace
