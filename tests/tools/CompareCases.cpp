// --compare's judgement: the plug-in against itself is identical, and each
// planted difference is found where it was planted: one sample's last bit,
// and a parameter change heard one block late; a plug-in of another shape
// is refused; and the stimulus holds every kind of material it promises.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "tests/tools/HostToolFixture.h"
#include "tools/compare/PluginComparison.h"
#include "tools/hosting/PluginLoader.h"

namespace {

enum class Fault { None, LastBit, ChangeLate, HiddenParameter };

// The plug-in under test with one fault planted in what the host sees of it.
class Planted : public HostedPlugin {
public:
    Planted(std::unique_ptr<HostedPlugin> inner, Fault fault) : inner(std::move(inner)), fault(fault) {}

    PluginFormat format() const override { return inner->format(); }
    const std::string& path() const override { return inner->path(); }
    std::string name() override { return inner->name(); }
    std::string vendor() override { return inner->vendor(); }
    std::vector<std::pair<std::string, std::string>> formatDetails() override { return {}; }
    int inputCount() const override { return inner->inputCount(); }
    int outputCount() const override { return inner->outputCount(); }
    int parameterCount() const override { return inner->parameterCount() - (fault == Fault::HiddenParameter); }
    ParameterInfo parameterInfo(int index) override { return inner->parameterInfo(index); }
    double parameterValue(int index) override { return inner->parameterValue(index); }
    void setParameterValue(int index, double value) override {
        if (fault == Fault::ChangeLate)
            late.push_back({index, value});
        else
            inner->setParameterValue(index, value);
    }
    std::string readOut(int index) override { return inner->readOut(index); }
    bool sendMidi(int frame, uint8_t status, uint8_t data1, uint8_t data2) override {
        return inner->sendMidi(frame, status, data1, data2);
    }
    void start() override { inner->start(); }
    void stop() override { inner->stop(); }
    void process(float** inputs, float** outputs, int frames) override {
        inner->process(inputs, outputs, frames);
        for (const StimulusChange& change : late)
            inner->setParameterValue(change.parameter, change.position);
        late.clear();
        if (fault == Fault::LastBit && played <= kFlippedFrame && kFlippedFrame < played + frames) {
            uint32_t bits;
            std::memcpy(&bits, &outputs[1][kFlippedFrame - played], sizeof bits);
            bits ^= 1u;
            std::memcpy(&outputs[1][kFlippedFrame - played], &bits, sizeof bits);
        }
        played += frames;
    }
    bool saveState(std::vector<uint8_t>& state, std::string& error) override { return inner->saveState(state, error); }
    bool restoreState(const std::vector<uint8_t>& state, std::string& error) override {
        return inner->restoreState(state, error);
    }

    bool keepsOwnState() const override { return inner->keepsOwnState(); }

    static const int kFlippedFrame = 150000;

private:
    std::unique_ptr<HostedPlugin> inner;
    Fault fault;
    std::vector<StimulusChange> late;  // values to set after the block
    int played = 0;
};

std::unique_ptr<HostedPlugin> opened() {
    std::string error;
    std::unique_ptr<HostedPlugin> plugin =
        PluginLoader::open(hosttool::pluginPath(), {CompareStimulus::kSampleRate, CompareStimulus::kMaxBlock}, error);
    EXPECT_TRUE(plugin) << error;
    return plugin;
}

TEST(Compare, ThePluginMatchesItselfAndEachPlantedDifferenceIsFound) {
    const struct {
        Fault fault;
        const char* line;  // how the last line starts
    } kRows[] = {
        {Fault::None, "compare: identical 352800 samples"},
        {Fault::LastBit, "compare: DIFFERENT 1 of 352800 samples (first at frame 150000 channel 1: "},
        {Fault::ChangeLate, "compare: DIFFERENT "},
    };
    for (const auto& row : kRows) {
        SCOPED_TRACE(row.line);
        std::unique_ptr<HostedPlugin> reference = opened();
        ASSERT_TRUE(reference);
        Planted planted(opened(), row.fault);
        ASSERT_EQ(PluginComparison::mismatch(*reference, planted), "");
        const CompareStimulus stimulus(reference->parameterCount());
        const ComparisonResult result = PluginComparison::compare(*reference, planted, stimulus);
        EXPECT_EQ(result.line().compare(0, std::strlen(row.line), row.line), 0) << result.line();
        std::printf("%s\n", result.line().c_str());
    }
}

TEST(Compare, PluginsOfOtherShapesAreRefused) {
    std::unique_ptr<HostedPlugin> reference = opened();
    ASSERT_TRUE(reference);
    Planted fewer(opened(), Fault::HiddenParameter);
    EXPECT_NE(PluginComparison::mismatch(*reference, fewer).find("are not one plug-in in two formats"),
              std::string::npos);
}

// Shrinking the stimulus would let a difference of one kind pass unheard.
TEST(Compare, TheStimulusHoldsNoiseSilenceImpulsesChangesAndSweepsInBlocksOfManySizes) {
    const CompareStimulus stimulus(4);
    int smallest = CompareStimulus::kMaxBlock, largest = 0, changes = 0, eventsInside = 0;
    for (const StimulusBlock& block : stimulus.blocks()) {
        smallest = std::min(smallest, block.frames);
        largest = std::max(largest, block.frames);
        for (const StimulusChange& change : block.changes) {
            ++changes;
            EXPECT_EQ(change.position * 1024, std::floor(change.position * 1024)) << "off the grid";
        }
        for (const StimulusEvent& event : block.events)
            eventsInside += event.frame > 0 && event.frame < block.frames;
    }
    int impulses = 0, longestSilence = 0, silence = 0;
    for (int frame = 0; frame < stimulus.frames(); ++frame) {
        const float sample = stimulus.channel(0)[frame];
        impulses += sample == 1.0f;
        silence = sample == 0.0f ? silence + 1 : 0;
        longestSilence = std::max(longestSilence, silence);
    }
    EXPECT_LT(smallest, 16);
    EXPECT_GT(largest, CompareStimulus::kMaxBlock / 2);
    EXPECT_GE(changes, 10);
    EXPECT_GE(eventsInside, 50);
    EXPECT_GE(impulses, 4);
    EXPECT_GE(longestSilence, CompareStimulus::kSampleRate / 2);
}

}  // namespace
