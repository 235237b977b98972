#include "tests/win32/support/SizingHost.h"

#include <cstring>

#include "toolkit/editor/ViewTreeEditor.h"

namespace quavixtest {

namespace {

// The smallest effect there is: the frame only needs its host requests.
class SilentEffect : public AudioEffectX {
public:
    explicit SilentEffect(audioMasterCallback host) : AudioEffectX(host, 1, 0) {}
    void processReplacing(float**, float**, VstInt32) override {}
};

}  // namespace

SizingHost* SizingHost::current = nullptr;

SizingHost::SizingHost(SizingAnswers answers, HWND ownWindow) : answers(answers), ownWindow(ownWindow) {
    current = this;
    effect = new SilentEffect(&SizingHost::callback);
    guiEditor = new AEffGUIEditor(effect);  // attaches itself to the effect
}

SizingHost::~SizingHost() {
    delete effect;
    if (current == this)
        current = nullptr;
}

int SizingHost::countOf(VstInt32 opcode) const {
    int count = 0;
    for (const SizingRequest& request : received)
        count += request.opcode == opcode;
    return count;
}

VstIntPtr VSTCALLBACK SizingHost::callback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                           float) {
    return current ? current->answer(opcode, index, value, ptr) : 0;
}

VstIntPtr SizingHost::answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr) {
    const bool isQuestion = opcode == audioMasterCanDo && ptr;
    received.push_back({opcode, index, value, isQuestion ? static_cast<const char*>(ptr) : ""});
    switch (opcode) {
        case audioMasterVersion:
            return 2400;
        case audioMasterCanDo:
            return isQuestion && std::strcmp(static_cast<const char*>(ptr), "sizeWindow") == 0 &&
                   answers.canSizeWindow;
        case audioMasterSizeWindow:
            if (!answers.resizesWindow)
                return 0;
            if (ownWindow)
                SetWindowPos(ownWindow, nullptr, 0, 0, index, VstInt32(value), SWP_NOMOVE | SWP_NOZORDER);
            return 1;
        default:
            return 0;
    }
}

}  // namespace quavixtest
