// The effect's requests to its host: the request number and where each
// argument travels, what the wrapper makes of the answer, and the answers
// without any host at all.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "framework/ExtendedEffectBase.h"
#include "tests/native/RecordingHost.h"

namespace {

class HostedEffect : public AudioEffectX {
public:
    explicit HostedEffect(audioMasterCallback host) : AudioEffectX(host, 1, 4) {}
    void processReplacing(float**, float**, VstInt32) override {}
    void setParameter(VstInt32 index, float value) override {
        lastIndex = index;
        lastValue = value;
    }
    VstInt32 lastIndex = -1;
    float lastValue = -1.0f;
};

int pointee = 0;
void* const kSomePointer = &pointee;

struct WrapperCase {
    const char* name;
    std::function<VstIntPtr(HostedEffect&)> call;
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    void* ptr;
    float opt;
};

// Each wrapper called with distinctive arguments; the host answers 7.
std::vector<WrapperCase> wrapperCases() {
    auto* p = kSomePointer;
    return {
        {"getMasterVersion", [](HostedEffect& e) { return e.getMasterVersion(); }, audioMasterVersion, 0, 0, nullptr, 0},
        {"getCurrentUniqueId", [](HostedEffect& e) { return e.getCurrentUniqueId(); }, audioMasterCurrentId, 0, 0,
         nullptr, 0},
        {"masterIdle", [](HostedEffect& e) { e.masterIdle(); return VstIntPtr(7); }, audioMasterIdle, 0, 0, nullptr, 0},
        {"isInputConnected", [](HostedEffect& e) { return VstIntPtr(e.isInputConnected(3) ? 0 : 7); },
         audioMasterPinConnected, 3, 0, nullptr, 0},
        {"isOutputConnected", [](HostedEffect& e) { return VstIntPtr(e.isOutputConnected(1) ? 0 : 7); },
         audioMasterPinConnected, 1, 1, nullptr, 0},
        {"wantEvents", [](HostedEffect& e) { e.wantEvents(1); return VstIntPtr(7); }, audioMasterWantMidi, 0, 1,
         nullptr, 0},
        {"getTimeInfo", [](HostedEffect& e) { return reinterpret_cast<VstIntPtr>(e.getTimeInfo(0x202)); },
         audioMasterGetTime, 0, 0x202, nullptr, 0},
        {"tempoAt", [](HostedEffect& e) { return VstIntPtr(e.tempoAt(4410)); }, audioMasterTempoAt, 0, 4410, nullptr,
         0},
        {"getNumAutomatableParameters", [](HostedEffect& e) { return VstIntPtr(e.getNumAutomatableParameters()); },
         audioMasterGetNumAutomatableParameters, 0, 0, nullptr, 0},
        {"getParameterQuantization", [](HostedEffect& e) { return VstIntPtr(e.getParameterQuantization()); },
         audioMasterGetParameterQuantization, 0, 0, nullptr, 0},
        {"ioChanged", [](HostedEffect& e) { return VstIntPtr(e.ioChanged() ? 7 : 0); }, audioMasterIOChanged, 0, 0,
         nullptr, 0},
        {"needIdle", [](HostedEffect& e) { return VstIntPtr(e.needIdle() ? 7 : 0); }, audioMasterNeedIdle, 0, 0,
         nullptr, 0},
        {"sizeWindow", [](HostedEffect& e) { return VstIntPtr(e.sizeWindow(330, 354) ? 7 : 0); },
         audioMasterSizeWindow, 330, 354, nullptr, 0},
        {"updateBlockSize", [](HostedEffect& e) { return VstIntPtr(e.updateBlockSize()); }, audioMasterGetBlockSize, 0,
         0, nullptr, 0},
        {"getInputLatency", [](HostedEffect& e) { return VstIntPtr(e.getInputLatency()); },
         audioMasterGetInputLatency, 0, 0, nullptr, 0},
        {"getOutputLatency", [](HostedEffect& e) { return VstIntPtr(e.getOutputLatency()); },
         audioMasterGetOutputLatency, 0, 0, nullptr, 0},
        {"getPreviousPlug", [](HostedEffect& e) { return reinterpret_cast<VstIntPtr>(e.getPreviousPlug(0)); },
         audioMasterGetPreviousPlug, 0, 0, nullptr, 0},
        {"getNextPlug", [](HostedEffect& e) { return reinterpret_cast<VstIntPtr>(e.getNextPlug(0)); },
         audioMasterGetNextPlug, 0, 0, nullptr, 0},
        {"willProcessReplacing", [](HostedEffect& e) { return VstIntPtr(e.willProcessReplacing()); },
         audioMasterWillReplaceOrAccumulate, 0, 0, nullptr, 0},
        {"getCurrentProcessLevel", [](HostedEffect& e) { return VstIntPtr(e.getCurrentProcessLevel()); },
         audioMasterGetCurrentProcessLevel, 0, 0, nullptr, 0},
        {"getAutomationState", [](HostedEffect& e) { return VstIntPtr(e.getAutomationState()); },
         audioMasterGetAutomationState, 0, 0, nullptr, 0},
        {"offlineStart",
         [p](HostedEffect& e) { return VstIntPtr(e.offlineStart(static_cast<VstAudioFile*>(p), 5, 2) ? 7 : 0); },
         audioMasterOfflineStart, 2, 5, p, 0},
        {"offlineRead",
         [p](HostedEffect& e) { return VstIntPtr(e.offlineRead(static_cast<VstOfflineTask*>(p), 3, true) ? 7 : 0); },
         audioMasterOfflineRead, 1, 3, p, 0},
        {"offlineWrite",
         [p](HostedEffect& e) { return VstIntPtr(e.offlineWrite(static_cast<VstOfflineTask*>(p), 4) ? 7 : 0); },
         audioMasterOfflineWrite, 0, 4, p, 0},
        {"offlineGetCurrentPass", [](HostedEffect& e) { return VstIntPtr(e.offlineGetCurrentPass() ? 7 : 0); },
         audioMasterOfflineGetCurrentPass, 0, 0, nullptr, 0},
        {"offlineGetCurrentMetaPass", [](HostedEffect& e) { return VstIntPtr(e.offlineGetCurrentMetaPass() ? 7 : 0); },
         audioMasterOfflineGetCurrentMetaPass, 0, 0, nullptr, 0},
        {"setOutputSamplerate", [](HostedEffect& e) { return e.setOutputSamplerate(22050.0f); },
         audioMasterSetOutputSampleRate, 0, 0, nullptr, 22050.0f},
        {"getOutputSpeakerArrangement",
         [](HostedEffect& e) { return reinterpret_cast<VstIntPtr>(e.getOutputSpeakerArrangement()); },
         audioMasterGetOutputSpeakerArrangement, 0, 0, nullptr, 0},
        {"getInputSpeakerArrangement",
         [](HostedEffect& e) { return reinterpret_cast<VstIntPtr>(e.getInputSpeakerArrangement()); },
         audioMasterGetInputSpeakerArrangement, 0, 0, nullptr, 0},
        {"getHostVendorString",
         [p](HostedEffect& e) { return VstIntPtr(e.getHostVendorString(static_cast<char*>(p)) ? 7 : 0); },
         audioMasterGetVendorString, 0, 0, p, 0},
        {"getHostProductString",
         [p](HostedEffect& e) { return VstIntPtr(e.getHostProductString(static_cast<char*>(p)) ? 7 : 0); },
         audioMasterGetProductString, 0, 0, p, 0},
        {"getHostVendorVersion", [](HostedEffect& e) { return VstIntPtr(e.getHostVendorVersion()); },
         audioMasterGetVendorVersion, 0, 0, nullptr, 0},
        {"hostVendorSpecific", [p](HostedEffect& e) { return e.hostVendorSpecific(11, 22, p, 3.5f); },
         audioMasterVendorSpecific, 11, 22, p, 3.5f},
        {"canHostDo", [p](HostedEffect& e) { return VstIntPtr(e.canHostDo(static_cast<char*>(p)) ? 7 : 0); },
         audioMasterCanDo, 0, 0, p, 0},
        {"getHostLanguage", [](HostedEffect& e) { return VstIntPtr(e.getHostLanguage()); }, audioMasterGetLanguage, 0,
         0, nullptr, 0},
        {"openWindow", [p](HostedEffect& e) { return e.openWindow(static_cast<VstWindow*>(p)); },
         audioMasterOpenWindow, 0, 0, p, 0},
        {"closeWindow", [p](HostedEffect& e) { return VstIntPtr(e.closeWindow(static_cast<VstWindow*>(p)) ? 7 : 0); },
         audioMasterCloseWindow, 0, 0, p, 0},
        {"getDirectory", [](HostedEffect& e) { return reinterpret_cast<VstIntPtr>(e.getDirectory()); },
         audioMasterGetDirectory, 0, 0, nullptr, 0},
        {"updateDisplay", [](HostedEffect& e) { return VstIntPtr(e.updateDisplay() ? 7 : 0); },
         audioMasterUpdateDisplay, 0, 0, nullptr, 0},
        {"beginEdit", [](HostedEffect& e) { return VstIntPtr(e.beginEdit(2) ? 7 : 0); }, audioMasterBeginEdit, 2, 0,
         nullptr, 0},
        {"endEdit", [](HostedEffect& e) { return VstIntPtr(e.endEdit(2) ? 7 : 0); }, audioMasterEndEdit, 2, 0, nullptr,
         0},
        {"openFileSelector",
         [p](HostedEffect& e) { return VstIntPtr(e.openFileSelector(static_cast<VstFileSelect*>(p)) ? 7 : 0); },
         audioMasterOpenFileSelector, 0, 0, p, 0},
        {"closeFileSelector",
         [p](HostedEffect& e) { return VstIntPtr(e.closeFileSelector(static_cast<VstFileSelect*>(p)) ? 7 : 0); },
         audioMasterCloseFileSelector, 0, 0, p, 0},
        {"getChunkFile", [p](HostedEffect& e) { return VstIntPtr(e.getChunkFile(p) ? 7 : 0); },
         audioMasterGetChunkFile, 0, 0, p, 0},
    };
}

TEST(HostRequests, EachWrapperSendsItsRequestWithItsArgumentsAndUsesTheAnswer) {
    for (const WrapperCase& c : wrapperCases()) {
        RecordingHost host;
        HostedEffect effect(&RecordingHost::callback);
        host.answers[c.opcode] = 7;
        EXPECT_EQ(c.call(effect), 7) << c.name;
        ASSERT_EQ(host.requests.size(), 1u) << c.name;
        const HostRequest& r = host.requests[0];
        EXPECT_EQ(r.effect, effect.getAeffect()) << c.name;
        EXPECT_EQ(r.opcode, c.opcode) << c.name;
        EXPECT_EQ(r.index, c.index) << c.name;
        EXPECT_EQ(r.value, c.value) << c.name;
        EXPECT_EQ(r.ptr, c.ptr) << c.name;
        EXPECT_EQ(r.opt, c.opt) << c.name;
    }
}

TEST(HostRequests, WithoutCallbackEveryWrapperAnswersItsDefault) {
    HostedEffect effect(nullptr);
    EXPECT_EQ(effect.getMasterVersion(), 1);
    EXPECT_TRUE(effect.isInputConnected(0));
    EXPECT_TRUE(effect.isOutputConnected(0));
    EXPECT_EQ(effect.updateSampleRate(), 44100.0);
    EXPECT_EQ(effect.updateBlockSize(), 1024);
    EXPECT_FALSE(effect.beginEdit(0));
    EXPECT_FALSE(effect.endEdit(0));
    EXPECT_FALSE(effect.sizeWindow(10, 10));
    char text[] = "sizeWindow";
    EXPECT_EQ(effect.canHostDo(text), 0);
    EXPECT_EQ(effect.getTimeInfo(0), nullptr);
    EXPECT_EQ(effect.getCurrentUniqueId(), 0);
    EXPECT_FALSE(effect.needIdle());
    effect.masterIdle();
    effect.wantEvents();
    effect.setParameterAutomated(2, 0.75f);
    EXPECT_EQ(effect.lastIndex, 2);
    EXPECT_EQ(effect.lastValue, 0.75f);
}

TEST(HostRequests, MasterVersionZeroFromTheHostMeansOne) {
    RecordingHost host;
    host.answers[audioMasterVersion] = 0;
    HostedEffect effect(&RecordingHost::callback);
    EXPECT_EQ(effect.getMasterVersion(), 1);
    host.answers[audioMasterVersion] = 2400;
    EXPECT_EQ(effect.getMasterVersion(), 2400);
}

TEST(HostRequests, PinConnectedMeansTheHostAnsweredZero) {
    RecordingHost host;
    HostedEffect effect(&RecordingHost::callback);
    host.answers[audioMasterPinConnected] = 0;
    EXPECT_TRUE(effect.isInputConnected(0));
    host.answers[audioMasterPinConnected] = 1;
    EXPECT_FALSE(effect.isInputConnected(0));
    EXPECT_FALSE(effect.isOutputConnected(1));
}

TEST(HostRequests, OnlyPositiveSampleRatesAndBlockSizesAreTaken) {
    RecordingHost host;
    HostedEffect effect(&RecordingHost::callback);
    for (VstIntPtr refused : {VstIntPtr(0), VstIntPtr(-48000)}) {
        host.answers[audioMasterGetSampleRate] = refused;
        host.answers[audioMasterGetBlockSize] = refused;
        EXPECT_EQ(effect.updateSampleRate(), 44100.0);
        EXPECT_EQ(effect.updateBlockSize(), 1024);
    }
    host.answers[audioMasterGetSampleRate] = 96000;
    host.answers[audioMasterGetBlockSize] = 64;
    EXPECT_EQ(effect.updateSampleRate(), 96000.0);
    EXPECT_EQ(effect.getSampleRate(), 96000.0f);
    EXPECT_EQ(effect.updateBlockSize(), 64);
    EXPECT_EQ(effect.getBlockSize(), 64);
}

TEST(HostRequests, CanHostDoAnswersOneOrZero) {
    RecordingHost host;
    HostedEffect effect(&RecordingHost::callback);
    char text[] = "sizeWindow";
    host.answers[audioMasterCanDo] = -1;
    EXPECT_EQ(effect.canHostDo(text), 1);
    host.answers[audioMasterCanDo] = 0;
    EXPECT_EQ(effect.canHostDo(text), 0);
    ASSERT_EQ(host.canDoTexts.size(), 2u);
    EXPECT_EQ(host.canDoTexts[0], "sizeWindow");
}

TEST(HostRequests, NullPointersAreNotSentWhereTheHostWouldFollowThem) {
    RecordingHost host;
    HostedEffect effect(&RecordingHost::callback);
    host.answers[audioMasterOpenFileSelector] = 1;
    host.answers[audioMasterCloseFileSelector] = 1;
    host.answers[audioMasterGetChunkFile] = 1;
    EXPECT_FALSE(effect.openFileSelector(nullptr));
    EXPECT_FALSE(effect.closeFileSelector(nullptr));
    EXPECT_FALSE(effect.getChunkFile(nullptr));
    EXPECT_FALSE(effect.getHostVendorString(nullptr));
    EXPECT_FALSE(effect.getHostProductString(nullptr));
    EXPECT_EQ(effect.canHostDo(nullptr), 0);
    EXPECT_TRUE(host.requests.empty());
}

TEST(HostRequests, AutomationReachesTheEffectBeforeTheHost) {
    RecordingHost host;
    LoadedEffect effect(host);
    float gainSeenByHost = -1.0f;
    host.onRequest = [&](const HostRequest& r) {
        if (r.opcode == audioMasterAutomate) {
            gainSeenByHost = effect.filter().getParameter(1);
        }
    };
    effect.filter().setParameterAutomated(1, 0.25f);
    const HostRequest* automate = host.last(audioMasterAutomate);
    ASSERT_NE(automate, nullptr);
    EXPECT_EQ(automate->index, 1);
    EXPECT_EQ(automate->opt, 0.25f);
    EXPECT_EQ(automate->effect, effect.record);
    EXPECT_EQ(gainSeenByHost, 0.25f);
}

}  // namespace
