// Every opcode group of the dispatcher, as a host drives it through the
// record, with this effect's answers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/EditorBase.h"
#include "tests/native/RecordingHost.h"

namespace {

// An editor that remembers what the dispatcher asked of it.
class RecordingEditor : public AEffEditor {
public:
    explicit RecordingEditor(AudioEffect* effect) : AEffEditor(effect) {
        rect = ERect{1, 2, 300, 400};
    }
    bool getRect(ERect** r) override {
        *r = &rect;
        return true;
    }
    bool open(void* parent) override {
        AEffEditor::open(parent);
        return openAnswer;
    }
    void close() override {
        ++closes;
        AEffEditor::close();
    }
    void idle() override { ++idles; }
    bool onKeyDown(VstKeyCode& key) override {
        keys.push_back(key);
        return true;
    }
    bool onKeyUp(VstKeyCode& key) override {
        keys.push_back(key);
        return false;
    }
    bool setKnobMode(VstInt32 mode) override {
        knobMode = mode;
        return true;
    }
    void* parent() const { return hostWindow; }

    ERect rect;
    bool openAnswer = true;
    int closes = 0;
    int idles = 0;
    VstInt32 knobMode = -1;
    std::vector<VstKeyCode> keys;
};

class DispatcherTest : public ::testing::Test {
protected:
    RecordingEditor* attachEditor() {
        auto* created = new RecordingEditor(&effect.filter());
        effect.filter().setEditor(created);
        return created;
    }

    RecordingHost host;
    LoadedEffect effect{host};
};

TEST_F(DispatcherTest, ProgramOpcodes) {
    // One program: every other index is refused.
    for (VstIntPtr program : {VstIntPtr(1), VstIntPtr(-1), VstIntPtr(0)}) {
        EXPECT_EQ(effect.dispatch(effSetProgram, 0, program), 0);
        EXPECT_EQ(effect.dispatch(effGetProgram), 0) << program;
    }
    char name[] = "Slow Sweep";
    EXPECT_EQ(effect.dispatch(effSetProgramName, 0, 0, name), 0);
    EXPECT_EQ(effect.text(effGetProgramName), "Slow Sweep");
}

TEST_F(DispatcherTest, RatesSizesAndMains) {
    EXPECT_EQ(effect.dispatch(effGetVu), 0);
    EXPECT_EQ(effect.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f), 0);
    EXPECT_EQ(effect.filter().getSampleRate(), 48000.0f);
    EXPECT_EQ(effect.dispatch(effSetBlockSize, 0, 256), 0);
    EXPECT_EQ(effect.filter().getBlockSize(), 256);
    EXPECT_EQ(effect.dispatch(effSetBlockSizeAndSampleRate, 0, 128, nullptr, 96000.0f), 1);
    EXPECT_EQ(effect.filter().getBlockSize(), 128);
    EXPECT_EQ(effect.filter().getSampleRate(), 96000.0f);
    // What resuming asks of the host is MIDI input's business.
    EXPECT_EQ(effect.dispatch(effMainsChanged, 0, 1), 0);
    EXPECT_EQ(effect.dispatch(effMainsChanged, 0, 0), 0);
}

TEST_F(DispatcherTest, EditorOpcodesWithoutEditorAnswerZero) {
    ERect* rect = reinterpret_cast<ERect*>(1);
    EXPECT_EQ(effect.dispatch(effEditGetRect, 0, 0, &rect), 0);
    EXPECT_EQ(rect, reinterpret_cast<ERect*>(1));
    int window = 0;
    EXPECT_EQ(effect.dispatch(effEditOpen, 0, 0, &window), 0);
    for (VstInt32 opcode : {effEditClose, effEditDraw, effEditMouse, effEditKey, effEditIdle, effEditTop,
                            effEditSleep, effEditKeyDown, effEditKeyUp, effSetEditKnobMode}) {
        EXPECT_EQ(effect.dispatch(opcode, 65, 3, nullptr, 1.0f), 0) << opcode;
    }
}

TEST_F(DispatcherTest, EditorOpcodesReachTheAttachedEditor) {
    RecordingEditor* editor = attachEditor();
    EXPECT_EQ(effect.record->flags & effFlagsHasEditor, effFlagsHasEditor);
    ERect* rect = nullptr;
    EXPECT_EQ(effect.dispatch(effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect, &editor->rect);
    int window = 0;
    EXPECT_EQ(effect.dispatch(effEditOpen, 0, 0, &window), 1);
    EXPECT_EQ(editor->parent(), &window);
    editor->openAnswer = false;
    EXPECT_EQ(effect.dispatch(effEditOpen, 0, 0, &window), 0);
    EXPECT_EQ(effect.dispatch(effEditIdle), 0);
    EXPECT_EQ(editor->idles, 1);
    EXPECT_EQ(effect.dispatch(effEditClose), 0);
    EXPECT_EQ(editor->closes, 1);
    EXPECT_EQ(editor->parent(), nullptr);
    EXPECT_EQ(effect.dispatch(effEditDraw, 0, 0, &window), 0);
    EXPECT_EQ(effect.dispatch(effSetEditKnobMode, 0, 2), 1);
    EXPECT_EQ(editor->knobMode, 2);
}

TEST_F(DispatcherTest, KeyOpcodesBuildTheKeyCode) {
    RecordingEditor* editor = attachEditor();
    // Character from index, virtual key from the low byte of value, modifiers
    // from the low byte of the truncated option.
    EXPECT_EQ(effect.dispatch(effEditKeyDown, 'a', 0x10B, nullptr, 265.7f), 1);
    EXPECT_EQ(effect.dispatch(effEditKeyUp, 'b', VKEY_RETURN, nullptr, MODIFIER_SHIFT), 0);
    ASSERT_EQ(editor->keys.size(), 2u);
    EXPECT_EQ(editor->keys[0].character, 'a');
    EXPECT_EQ(editor->keys[0].virt, 0x0B);
    EXPECT_EQ(editor->keys[0].modifier, 9);
    EXPECT_EQ(editor->keys[1].character, 'b');
    EXPECT_EQ(editor->keys[1].virt, VKEY_RETURN);
    EXPECT_EQ(editor->keys[1].modifier, MODIFIER_SHIFT);
}

TEST_F(DispatcherTest, IdentityAndChunks) {
    EXPECT_EQ(effect.dispatch(effIdentify), 0x4E764566);
    void* chunk = nullptr;
    EXPECT_EQ(effect.dispatch(effGetChunk, 0, 0, &chunk), 0);
    EXPECT_EQ(effect.dispatch(effSetChunk, 0, 16, &chunk), 0);
    EXPECT_EQ(effect.text(effGetEffectName), "Quavix");
    EXPECT_EQ(effect.text(effGetVendorString), "Morvella");
    EXPECT_EQ(effect.text(effGetProductString), "Quavix");
    char buffer[64];
    EXPECT_EQ(effect.dispatch(effGetEffectName, 0, 0, buffer), 1);
    EXPECT_EQ(effect.dispatch(effGetVendorString, 0, 0, buffer), 1);
    EXPECT_EQ(effect.dispatch(effGetProductString, 0, 0, buffer), 1);
    EXPECT_EQ(effect.dispatch(effGetErrorText, 0, 0, buffer), 0);
    EXPECT_EQ(effect.dispatch(effGetVendorVersion), 1000);
    EXPECT_EQ(effect.dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(effect.dispatch(effGetPlugCategory), kPlugCategEffect);
}

TEST_F(DispatcherTest, CanDoAnswersOnlyTheTwoExactTexts) {
    const std::vector<std::pair<std::string, VstIntPtr>> cases = {
        {"receiveVstEvents", 1},     {"receiveVstMidiEvent", 1}, {"receiveVstEventsX", 0},
        {"receiveVstMidiEvents", 0}, {"receiveVst", 0},          {"ReceiveVstEvents", 0},
        {"RECEIVEVSTMIDIEVENT", 0},  {"", 0},                    {"sendVstEvents", 0},
        {"plugAsChannelInsert", 0},  {"bypass", 0},
    };
    for (const auto& c : cases) {
        std::vector<char> text(c.first.begin(), c.first.end());
        text.push_back(0);
        EXPECT_EQ(effect.dispatch(effCanDo, 0, 0, text.data()), c.second) << '"' << c.first << '"';
    }
}

TEST_F(DispatcherTest, ExtendedOpcodesAnswerAsThisEffectDoes) {
    char text[256] = {};
    struct Case {
        VstInt32 opcode;
        VstInt32 index;
        VstIntPtr value;
        VstIntPtr expected;
    };
    const Case cases[] = {
        {effString2Parameter, 0, 0, 0},      {effGetNumProgramCategories, 0, 0, 1},
        {effGetProgramNameIndexed, 0, 0, 0}, {effCopyProgram, 0, 0, 0},
        {effConnectInput, 0, 1, 1},          {effConnectInput, 1, 0, 1},
        {effConnectOutput, 1, 1, 1},         {effGetInputProperties, 0, 0, 0},
        {effGetOutputProperties, 0, 0, 0},   {effGetCurrentPosition, 0, 0, 0},
        {effGetDestinationBuffer, 0, 0, 0},  {effOfflineNotify, 0, 1, 0},
        {effOfflinePrepare, 0, 1, 0},        {effOfflineRun, 0, 1, 0},
        {effProcessVarIo, 0, 0, 0},          {effSetSpeakerArrangement, 0, 0, 0},
        {effSetBypass, 0, 1, 0},             {effVendorSpecific, 1, 2, 0},
        {effGetTailSize, 0, 0, 0},           {effIdle, 0, 0, 0},
        {effGetIcon, 0, 0, 0},               {effSetViewPosition, 10, 20, 0},
        {effGetParameterProperties, 0, 0, 0}, {effKeysRequired, 0, 0, 1},
        {effGetMidiProgramName, 0, 0, 0},    {effGetCurrentMidiProgram, 0, 0, -1},
        {effGetMidiProgramCategory, 0, 0, 0}, {effHasMidiProgramsChanged, 0, 0, 0},
        {effGetMidiKeyName, 0, 0, 0},        {effBeginSetProgram, 0, 0, 0},
        {effEndSetProgram, 0, 0, 0},         {effShellGetNextPlugin, 0, 0, 0},
        {effStartProcess, 0, 0, 0},          {effStopProcess, 0, 0, 0},
        {effSetTotalSampleToProcess, 0, 123456, 123456}, {effSetTotalSampleToProcess, 0, 0, 0},
        {effSetPanLaw, 0, 1, 0},             {effBeginLoadBank, 0, 0, 0},
        {effBeginLoadProgram, 0, 0, 0},      {effSetProcessPrecision, 0, 1, 0},
        {effGetNumMidiInputChannels, 0, 0, 0}, {effGetNumMidiOutputChannels, 0, 0, 0},
        {80, 0, 0, 0},                       {1000, 0, 0, 0},
        {-1, 0, 0, 0},                       {effEditDraw, 0, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(effect.dispatch(c.opcode, c.index, c.value, text, 0.5f), c.expected) << "opcode " << c.opcode;
    }
}

TEST_F(DispatcherTest, EveryParameterCanBeAutomated) {
    for (VstInt32 index : {0, 1, 2, 3, 4, -1, 1000}) {
        EXPECT_EQ(effect.dispatch(effCanBeAutomated, index), 1) << index;
    }
}

TEST_F(DispatcherTest, GetSpeakerArrangementClearsBothPointers) {
    VstSpeakerArrangement* input = reinterpret_cast<VstSpeakerArrangement*>(8);
    VstSpeakerArrangement* output = reinterpret_cast<VstSpeakerArrangement*>(16);
    EXPECT_EQ(effect.dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&input), &output), 0);
    EXPECT_EQ(input, nullptr);
    EXPECT_EQ(output, nullptr);
}

}  // namespace
