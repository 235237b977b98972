// The way in: the entry point, the record a host reads, the base classes'
// construction, flags and slot order, and the effect's end on effClose.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "framework/EditorBase.h"
#include "quavix/Filter.h"
#include "framework/ExtendedEffectBase.h"
#include "framework/Entry.h"
#include "tests/native/RecordingHost.h"
#include "tests/native/VirtualSlots.h"

using quavixtest::expectConsecutive;
using quavixtest::kDestructorSlots;
using quavixtest::slotOf;
using quavixtest::slotsOf;

namespace {

// The smallest concrete effects, to see the base classes' own behaviour.
class BareEffect : public AudioEffect {
public:
    BareEffect() : AudioEffect(nullptr, 3, 7) {}
    void processReplacing(float**, float**, VstInt32) override {}
    float vu = 0.0f;
    float getVu() override { return vu; }
};

class BareEffectX : public AudioEffectX {
public:
    explicit BareEffectX(audioMasterCallback host = nullptr) : AudioEffectX(host, 1, 1) {}
    void processReplacing(float**, float**, VstInt32) override {}
};

// Records the order of close and destruction.
class TrackedEffect : public BareEffectX {
public:
    explicit TrackedEffect(std::vector<const char*>& log) : log(log) {}
    ~TrackedEffect() override { log.push_back("effect destroyed"); }
    void close() override { log.push_back("close"); }
    std::vector<const char*>& log;
};

class TrackedEditor : public AEffEditor {
public:
    TrackedEditor(AudioEffect* effect, std::vector<const char*>& log) : AEffEditor(effect), log(log) {}
    ~TrackedEditor() override { log.push_back("editor destroyed"); }
    std::vector<const char*>& log;
};

TEST(EntryPoint, HostAnsweringVersionZeroGetsNothingAndNothingIsCreated) {
    RecordingHost host;
    host.answers[audioMasterVersion] = 0;
    EXPECT_EQ(VSTPluginMain(&RecordingHost::callback), nullptr);
    ASSERT_EQ(host.requests.size(), 1u);
    EXPECT_EQ(host.requests[0].opcode, audioMasterVersion);
    EXPECT_EQ(host.requests[0].effect, nullptr);
}

TEST(EntryPoint, NoCallbackGetsNothing) { EXPECT_EQ(VSTPluginMain(nullptr), nullptr); }

TEST(EntryPoint, AsksVersionWithNullRecordThenSampleRateWithTheRecord) {
    RecordingHost host;
    LoadedEffect effect(host);
    ASSERT_NE(effect.record, nullptr);
    ASSERT_GE(host.requests.size(), 2u);
    EXPECT_EQ(host.requests[0].opcode, audioMasterVersion);
    EXPECT_EQ(host.requests[0].effect, nullptr);
    EXPECT_EQ(host.requests[0].index, 0);
    EXPECT_EQ(host.requests[0].value, 0);
    EXPECT_EQ(host.requests[0].ptr, nullptr);
    EXPECT_EQ(host.requests[1].opcode, audioMasterGetSampleRate);
    EXPECT_EQ(host.requests[1].effect, effect.record);
}

TEST(EntryPoint, RecordRightAfterCreation) {
    RecordingHost host;
    LoadedEffect effect(host);
    const AEffect& r = *effect.record;
    EXPECT_EQ(r.magic, 0x56737450);
    EXPECT_EQ(r.numPrograms, 1);
    EXPECT_EQ(r.numParams, 4);
    EXPECT_EQ(r.numInputs, 2);
    EXPECT_EQ(r.numOutputs, 2);
    // This build has no editor: the replacing bit only. Never the instrument
    // bit: hosts list, or refuse, an effect that carries it.
    EXPECT_EQ(r.flags, 0x10);
    EXPECT_EQ(r.resvd1, 0);
    EXPECT_EQ(r.resvd2, 0);
    EXPECT_EQ(r.initialDelay, 0);
    EXPECT_EQ(r.realQualities, 0);
    EXPECT_EQ(r.offQualities, 0);
    EXPECT_EQ(r.ioRatio, 1.0f);
    EXPECT_EQ(r.object, static_cast<void*>(static_cast<AudioEffect*>(&effect.filter())));
    EXPECT_EQ(r.user, nullptr);
    EXPECT_EQ(r.uniqueID, 0x00515658);
    EXPECT_EQ(r.version, 1);
    EXPECT_NE(r.dispatcher, nullptr);
    EXPECT_NE(r.process, nullptr);
    EXPECT_NE(r.setParameter, nullptr);
    EXPECT_NE(r.getParameter, nullptr);
    EXPECT_NE(r.processReplacing, nullptr);
    EXPECT_NE(r.processDoubleReplacing, nullptr);
    const char zeros[sizeof(r.future)] = {};
    EXPECT_EQ(std::memcmp(r.future, zeros, sizeof(zeros)), 0);
}

TEST(EntryPoint, RecordFunctionsForwardToTheEffect) {
    RecordingHost host;
    LoadedEffect effect(host);
    AEffect* r = effect.record;
    r->setParameter(r, 0, 0.25f);
    EXPECT_EQ(effect.filter().getParameter(0), 0.25f);
    EXPECT_EQ(r->getParameter(r, 0), 0.25f);
    float in[4] = {1.0f, 0.0f, 0.0f, 0.0f};
    float out[2][4] = {{9, 9, 9, 9}, {9, 9, 9, 9}};
    float* inputs[2] = {in, in};
    float* outputs[2] = {out[0], out[1]};
    r->processReplacing(r, inputs, outputs, 4);
    EXPECT_NE(out[0][0], 9.0f);
    EXPECT_EQ(out[0][1], out[1][1]);
    // The accumulating and double-precision paths do nothing.
    float untouched[2][4] = {{7, 7, 7, 7}, {7, 7, 7, 7}};
    float* kept[2] = {untouched[0], untouched[1]};
    r->process(r, inputs, kept, 4);
    double din[4] = {1, 1, 1, 1};
    double dout[4] = {5, 5, 5, 5};
    double* dinputs[2] = {din, din};
    double* doutputs[2] = {dout, dout};
    r->processDoubleReplacing(r, dinputs, doutputs, 4);
    EXPECT_EQ(untouched[0][0], 7.0f);
    EXPECT_EQ(dout[3], 5.0);
}

TEST(EntryPoint, RecordFunctionsIgnoreARecordWithoutEffect) {
    AEffect orphan;
    std::memset(&orphan, 0, sizeof(orphan));
    RecordingHost host;
    LoadedEffect effect(host);
    AEffect* r = effect.record;
    EXPECT_EQ(r->dispatcher(&orphan, effIdentify, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ(r->dispatcher(nullptr, effIdentify, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ(r->getParameter(nullptr, 0), 0.0f);
    r->setParameter(nullptr, 0, 1.0f);
    r->processReplacing(nullptr, nullptr, nullptr, 16);
    EXPECT_EQ(effect.filter().getParameter(0), 0.5f);
}

TEST(BaseConstruction, AudioEffectDefaults) {
    BareEffect effect;
    const AEffect& r = *effect.getAeffect();
    EXPECT_EQ(r.magic, kEffectMagic);
    EXPECT_EQ(r.numPrograms, 3);
    EXPECT_EQ(r.numParams, 7);
    EXPECT_EQ(r.numInputs, 1);
    EXPECT_EQ(r.numOutputs, 2);
    EXPECT_EQ(r.flags, effFlagsCanReplacing);
    EXPECT_EQ(r.uniqueID, 0x4E6F4566);
    EXPECT_EQ(r.version, 1);
    EXPECT_EQ(r.ioRatio, 1.0f);
    EXPECT_EQ(effect.getSampleRate(), 44100.0f);
    EXPECT_EQ(effect.getBlockSize(), 1024);
    EXPECT_EQ(effect.getProgram(), 0);
    EXPECT_EQ(effect.getEditor(), nullptr);
    EXPECT_EQ(effect.getParameter(0), 0.0f);
}

TEST(BaseConstruction, SetProgramTakesOnlyIndicesBelowTheProgramCount) {
    BareEffect effect;  // three programs
    for (VstIntPtr value : {VstIntPtr(2), VstIntPtr(3), VstIntPtr(-1)}) {
        EXPECT_EQ(effect.dispatcher(effSetProgram, 0, value, nullptr, 0.0f), 0);
        EXPECT_EQ(effect.dispatcher(effGetProgram, 0, 0, nullptr, 0.0f), 2) << value;
    }
}

TEST(BaseConstruction, SettersFillTheRecordFieldsAHostReads) {
    BareEffect effect;
    effect.setUniqueID(1234);
    effect.setNumInputs(5);
    effect.setNumOutputs(6);
    effect.setInitialDelay(64);
    effect.setRealtimeQualities(3);
    effect.setOfflineQualities(4);
    const AEffect& r = *effect.getAeffect();
    EXPECT_EQ(r.uniqueID, 1234);
    EXPECT_EQ(r.numInputs, 5);
    EXPECT_EQ(r.numOutputs, 6);
    EXPECT_EQ(r.initialDelay, 64);
    EXPECT_EQ(r.realQualities, 3);
    EXPECT_EQ(r.offQualities, 4);
}

TEST(BaseConstruction, EachFlagSetterSetsAndClearsOnlyItsBit) {
    BareEffectX effect;
    struct Case {
        void (*set)(BareEffectX&, bool);
        VstInt32 bit;
    };
    const Case cases[] = {
        {[](BareEffectX& e, bool s) { e.hasClip(s); }, 0x2},
        {[](BareEffectX& e, bool s) { e.hasVu(s); }, 0x4},
        {[](BareEffectX& e, bool s) { e.canMono(s); }, 0x8},
        {[](BareEffectX& e, bool s) { e.canProcessReplacing(s); }, 0x10},
        {[](BareEffectX& e, bool s) { e.programsAreChunks(s); }, 0x20},
        {[](BareEffectX& e, bool s) { e.isSynth(s); }, 0x100},
        {[](BareEffectX& e, bool s) { e.noTail(s); }, 0x200},
        {[](BareEffectX& e, bool s) { e.wantAsyncOperation(s); }, 0x400},
        {[](BareEffectX& e, bool s) { e.hasExternalBuffer(s); }, 0x800},
        {[](BareEffectX& e, bool s) { e.canDoubleReplacing(s); }, 0x1000},
    };
    for (const Case& c : cases) {
        effect.getAeffect()->flags = 0x10;
        c.set(effect, true);
        EXPECT_EQ(effect.getAeffect()->flags, 0x10 | c.bit) << c.bit;
        c.set(effect, false);
        EXPECT_EQ(effect.getAeffect()->flags, 0x10 & ~c.bit) << c.bit;
    }
    effect.getAeffect()->flags = 0;
    effect.isSynth();  // the default argument sets
    EXPECT_EQ(effect.getAeffect()->flags, 0x100);
}

TEST(Lifecycle, EffCloseClosesThenDestroysEffectAndEditorAndAnswersOne) {
    std::vector<const char*> log;
    auto* effect = new TrackedEffect(log);
    effect->setEditor(new TrackedEditor(effect, log));
    AEffect* r = effect->getAeffect();
    EXPECT_EQ(r->dispatcher(r, effClose, 0, 0, nullptr, 0.0f), 1);
    ASSERT_EQ(log.size(), 3u);
    EXPECT_STREQ(log[0], "close");
    EXPECT_STREQ(log[1], "effect destroyed");
    EXPECT_STREQ(log[2], "editor destroyed");
}

TEST(Lifecycle, EffCloseOfTheWahAnswersOne) {
    RecordingHost host;
    AEffect* r = VSTPluginMain(&RecordingHost::callback);
    ASSERT_NE(r, nullptr);
    // The leak checker fails the run if the effect were not freed.
    EXPECT_EQ(r->dispatcher(r, effClose, 0, 0, nullptr, 0.0f), 1);
}

std::vector<std::ptrdiff_t> audioEffectSlots() {
    using E = AudioEffect;
    return slotsOf(&E::dispatcher, &E::open, &E::close, &E::suspend, &E::resume, &E::setSampleRate, &E::setBlockSize,
                   &E::processReplacing, &E::processDoubleReplacing, &E::setParameter, &E::getParameter,
                   &E::setParameterAutomated, &E::getProgram, &E::setProgram, &E::setProgramName, &E::getProgramName,
                   &E::getParameterLabel, &E::getParameterDisplay, &E::getParameterName, &E::getChunk, &E::setChunk,
                   &E::setUniqueID, &E::setNumInputs, &E::setNumOutputs, &E::canProcessReplacing,
                   &E::canDoubleReplacing, &E::programsAreChunks, &E::setInitialDelay, &E::getEditor, &E::getAeffect,
                   &E::getSampleRate, &E::getBlockSize, &E::getMasterVersion, &E::getCurrentUniqueId, &E::masterIdle,
                   &E::isInputConnected, &E::isOutputConnected, &E::dB2string, &E::Hz2string, &E::ms2string,
                   &E::float2string, &E::int2string, &E::process, &E::getVu, &E::hasVu, &E::hasClip, &E::canMono,
                   &E::setRealtimeQualities, &E::setOfflineQualities);
}

std::vector<std::ptrdiff_t> audioEffectXSlots() {
    using X = AudioEffectX;
    std::vector<std::ptrdiff_t> slots = slotsOf(
        &X::canParameterBeAutomated, &X::string2parameter, &X::getParameterProperties, &X::beginEdit, &X::endEdit,
        &X::getProgramNameIndexed, &X::beginSetProgram, &X::endSetProgram, &X::beginLoadBank, &X::beginLoadProgram,
        &X::ioChanged, &X::updateSampleRate, &X::updateBlockSize, &X::getInputLatency, &X::getOutputLatency,
        &X::getInputProperties, &X::getOutputProperties, &X::setSpeakerArrangement, &X::getSpeakerArrangement,
        &X::setBypass, &X::setPanLaw, &X::setProcessPrecision, &X::getNumMidiInputChannels,
        &X::getNumMidiOutputChannels, &X::getTimeInfo, &X::getCurrentProcessLevel, &X::getAutomationState,
        &X::processEvents, &X::startProcess, &X::stopProcess, &X::processVariableIo, &X::setTotalSampleToProcess,
        &X::getHostVendorString, &X::getHostProductString, &X::getHostVendorVersion, &X::hostVendorSpecific,
        &X::canHostDo, &X::getHostLanguage, &X::isSynth, &X::noTail, &X::getGetTailSize, &X::getDirectory,
        &X::getEffectName, &X::getVendorString, &X::getProductString, &X::getVendorVersion, &X::vendorSpecific,
        &X::canDo, &X::getVstVersion, &X::getPlugCategory, &X::getMidiProgramName, &X::getCurrentMidiProgram,
        &X::getMidiProgramCategory, &X::hasMidiProgramsChanged, &X::getMidiKeyName, &X::updateDisplay);
    const std::vector<std::ptrdiff_t> rest = slotsOf(
        &X::sizeWindow, &X::openFileSelector, &X::closeFileSelector, &X::getNextShellPlugin, &X::allocateArrangement,
        &X::deleteArrangement, &X::copySpeaker, &X::matchArrangement, &X::offlineRead, &X::offlineWrite,
        &X::offlineStart, &X::offlineGetCurrentPass, &X::offlineGetCurrentMetaPass, &X::offlineNotify,
        &X::offlinePrepare, &X::offlineRun, &X::offlineGetNumPasses, &X::offlineGetNumMetaPasses, &X::wantEvents,
        &X::tempoAt, &X::getNumAutomatableParameters, &X::getParameterQuantization, &X::getNumCategories,
        &X::copyProgram, &X::needIdle, &X::getPreviousPlug, &X::getNextPlug, &X::inputConnected, &X::outputConnected,
        &X::willProcessReplacing, &X::wantAsyncOperation, &X::hasExternalBuffer, &X::reportCurrentPosition,
        &X::reportDestinationBuffer, &X::setOutputSamplerate, &X::getInputSpeakerArrangement,
        &X::getOutputSpeakerArrangement, &X::openWindow, &X::closeWindow, &X::setBlockSizeAndSampleRate,
        &X::getErrorText, &X::getIcon, &X::setViewPosition, &X::fxIdle, &X::keysRequired, &X::getChunkFile);
    slots.insert(slots.end(), rest.begin(), rest.end());
    return slots;
}

TEST(SlotOrder, AudioEffectOperationsFollowTheDestructorInOrder) {
    const std::vector<std::ptrdiff_t> slots = audioEffectSlots();
    EXPECT_EQ(slots.size(), 49u);
    expectConsecutive(slots, kDestructorSlots, "AudioEffect");
}

TEST(SlotOrder, AudioEffectXAppendsItsOperationsInOrder) {
    const std::vector<std::ptrdiff_t> slots = audioEffectXSlots();
    EXPECT_EQ(slots.size(), 102u);
    expectConsecutive(slots, kDestructorSlots + 49, "AudioEffectX");
    EXPECT_EQ(slotOf(&AudioEffectX::dispatcher), kDestructorSlots);
}

TEST(SlotOrder, FilterAddsOnlyComputeCoefficientsAtTheEnd) {
    EXPECT_EQ(slotOf(&Filter::computeCoefficients), kDestructorSlots + 49 + 102);
    // Its overrides keep the inherited slots.
    EXPECT_EQ(slotOf(&Filter::setSampleRate), slotOf(&AudioEffect::setSampleRate));
    EXPECT_EQ(slotOf(&Filter::setBlockSizeAndSampleRate), slotOf(&AudioEffectX::setBlockSizeAndSampleRate));
    EXPECT_EQ(slotOf(&Filter::processEvents), slotOf(&AudioEffectX::processEvents));
}

}  // namespace
