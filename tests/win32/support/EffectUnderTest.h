// The effect created in-process through its entry point, with a host
// callback that records every request the effect sends. Header-only on
// purpose: test programs that never create an effect do not link the entry
// point through the shared support sources.
#pragma once

#include <windows.h>

#include <functional>
#include <mutex>
#include <vector>

#include "quavix/QuavixEditor.h"
#include "toolkit/views/CFrame.h"
#include "framework/EffectBase.h"
#include "framework/VstInterface.h"
#include "tests/win32/support/MessagePump.h"

extern "C" AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback audioMaster);

namespace quavixtest {

struct HostRequest {
    AEffect* effect;
    VstInt32 opcode;
    VstInt32 index;
    float value;
};

// One recorder for the process: the callback has no other state to reach.
class RecordingHost {
public:
    static RecordingHost& instance() {
        static RecordingHost host;
        return host;
    }

    static VstIntPtr VSTCALLBACK callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr /*value*/,
                                          void* /*ptr*/, float opt) {
        return instance().answer(HostRequest{effect, opcode, index, opt});
    }

    // Requests of one effect with one of the given opcodes, in order.
    std::vector<HostRequest> requests(AEffect* effect, std::initializer_list<VstInt32> opcodes) const {
        std::lock_guard<std::mutex> lock(mutex);
        std::vector<HostRequest> matching;
        for (const HostRequest& request : log)
            for (VstInt32 opcode : opcodes)
                if (request.effect == effect && request.opcode == opcode)
                    matching.push_back(request);
        return matching;
    }
    size_t count(AEffect* effect, VstInt32 opcode) const { return requests(effect, {opcode}).size(); }
    void clear() {
        std::lock_guard<std::mutex> lock(mutex);
        log.clear();
    }
    // Called on the requesting thread after the request is logged.
    void setObserver(std::function<void(const HostRequest&)> observer) {
        std::lock_guard<std::mutex> lock(mutex);
        onRequest = std::move(observer);
    }

private:
    VstIntPtr answer(const HostRequest& request) {
        std::function<void(const HostRequest&)> observer;
        {
            std::lock_guard<std::mutex> lock(mutex);
            log.push_back(request);
            observer = onRequest;
        }
        if (observer)
            observer(request);
        switch (request.opcode) {
        case audioMasterVersion:
            return kVstVersion;
        case audioMasterGetSampleRate:
            return 44100;
        case audioMasterBeginEdit:
        case audioMasterEndEdit:
            return 1;
        default:
            return 0;
        }
    }

    mutable std::mutex mutex;
    std::vector<HostRequest> log;
    std::function<void(const HostRequest&)> onRequest;
};

class EffectUnderTest {
public:
    EffectUnderTest() : record(VSTPluginMain(&RecordingHost::callback)) {}
    ~EffectUnderTest() { close(); }
    EffectUnderTest(const EffectUnderTest&) = delete;
    EffectUnderTest& operator=(const EffectUnderTest&) = delete;

    AEffect* aeffect() const { return record; }
    AudioEffect* effect() const { return record ? static_cast<AudioEffect*>(record->object) : nullptr; }
    QuavixEditor* editor() const { return effect() ? dynamic_cast<QuavixEditor*>(effect()->getEditor()) : nullptr; }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) const {
        return record->dispatcher(record, opcode, index, value, ptr, opt);
    }
    void setParameter(VstInt32 index, float value) const { record->setParameter(record, index, value); }
    float getParameter(VstInt32 index) const { return record->getParameter(record, index); }

    // What a host that scales its windows sends: the vendor request 'PreS'
    // 'AeCs' with the factor; the editor answers 1 when it takes it.
    VstIntPtr setHostScale(float factor) const {
        return dispatch(effVendorSpecific, kVstContentScaleIndex, kVstContentScaleValue, nullptr, factor);
    }
    bool openEditor(HWND parent) const { return dispatch(effEditOpen, 0, 0, parent) == 1; }
    // Opens the editor and lets it paint and idle once, as a host does.
    bool openAndShowEditor(HWND parent) const {
        if (!openEditor(parent))
            return false;
        UpdateWindow(frameWindow());
        pumpPendingMessages();
        idle();
        return true;
    }
    HWND frameWindow() const {
        QuavixEditor* open = editor();
        return open && open->getFrame() ? static_cast<HWND>(open->getFrame()->getSystemWindow()) : nullptr;
    }
    void closeEditor() const { dispatch(effEditClose); }
    void idle() const { dispatch(effEditIdle); }
    // effClose: the effect and its editor are gone afterwards.
    void close() {
        if (record)
            dispatch(effClose);
        record = nullptr;
    }

private:
    AEffect* record;
};

}  // namespace quavixtest
