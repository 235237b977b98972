// A host for tests: records every request the effect sends, answers from a
// table (version 2400 and sample rate 44100 unless a test says otherwise) and
// lets a test look at the effect at the moment a request arrives.
#pragma once

#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "quavix/Filter.h"
#include "framework/Entry.h"
#include "framework/VstInterface.h"

struct HostRequest {
    AEffect* effect;
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    void* ptr;
    float opt;
};

class RecordingHost {
public:
    RecordingHost() {
        answers[audioMasterVersion] = kVstVersion;
        answers[audioMasterGetSampleRate] = 44100;
        active() = this;
    }
    ~RecordingHost() {
        if (active() == this) {
            active() = nullptr;
        }
    }
    RecordingHost(const RecordingHost&) = delete;
    RecordingHost& operator=(const RecordingHost&) = delete;

    static VstIntPtr VSTCALLBACK callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                          float opt) {
        RecordingHost* host = active();
        if (!host) {
            return 0;
        }
        const HostRequest request{effect, opcode, index, value, ptr, opt};
        host->requests.push_back(request);
        if (opcode == audioMasterCanDo && ptr) {
            host->canDoTexts.push_back(static_cast<const char*>(ptr));
        }
        if (host->onRequest) {
            host->onRequest(request);
        }
        const auto found = host->answers.find(opcode);
        return found == host->answers.end() ? 0 : found->second;
    }

    size_t count(VstInt32 opcode) const {
        size_t n = 0;
        for (const HostRequest& request : requests) {
            n += request.opcode == opcode ? 1 : 0;
        }
        return n;
    }

    const HostRequest* last(VstInt32 opcode) const {
        for (auto it = requests.rbegin(); it != requests.rend(); ++it) {
            if (it->opcode == opcode) {
                return &*it;
            }
        }
        return nullptr;
    }

    std::vector<HostRequest> requests;
    std::vector<std::string> canDoTexts;
    std::map<VstInt32, VstIntPtr> answers;
    std::function<void(const HostRequest&)> onRequest;

private:
    static RecordingHost*& active() {
        static RecordingHost* host = nullptr;
        return host;
    }
};

// The effect as a host sees it: created through the entry point, driven
// through its record, closed through effClose when the test ends.
class LoadedEffect {
public:
    explicit LoadedEffect(RecordingHost& /*host*/) : record(VSTPluginMain(&RecordingHost::callback)) {}
    ~LoadedEffect() {
        if (record) {
            record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
        }
    }
    LoadedEffect(const LoadedEffect&) = delete;
    LoadedEffect& operator=(const LoadedEffect&) = delete;

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) {
        return record->dispatcher(record, opcode, index, value, ptr, opt);
    }

    // A text opcode's answer, from a buffer far larger than any text.
    std::string text(VstInt32 opcode, VstInt32 index = 0) {
        char buffer[256];
        std::memset(buffer, 0, sizeof(buffer));
        dispatch(opcode, index, 0, buffer);
        return buffer;
    }

    Filter& filter() { return *static_cast<Filter*>(static_cast<AudioEffect*>(record->object)); }

    AEffect* record;
};
