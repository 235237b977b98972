// A host for an editor whose answers to the two resize requests are chosen
// by the test, and which records every request it receives. When it agrees
// to resize, it resizes its own window the way a real host would.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/ExtendedEffectBase.h"

class AEffGUIEditor;

namespace quavixtest {

// Named apart from EffectUnderTest.h's HostRequest: every test program
// links this file, and one name for two layouts would break the program.
struct SizingRequest {
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    std::string text;  // the text of a capability question
};

struct SizingAnswers {
    bool canSizeWindow;    // the answer to "sizeWindow" as a capability
    bool resizesWindow;    // the answer to the resize request itself
};

class SizingHost {
public:
    explicit SizingHost(SizingAnswers answers, HWND ownWindow = nullptr);
    ~SizingHost();  // deletes the effect, which deletes its editor
    SizingHost(const SizingHost&) = delete;
    SizingHost& operator=(const SizingHost&) = delete;

    AEffGUIEditor* editor() const { return guiEditor; }
    const std::vector<SizingRequest>& requests() const { return received; }
    int countOf(VstInt32 opcode) const;

private:
    static VstIntPtr VSTCALLBACK callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                          void* ptr, float opt);
    VstIntPtr answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr);

    static SizingHost* current;
    SizingAnswers answers;
    HWND ownWindow;
    std::vector<SizingRequest> received;
    AudioEffectX* effect = nullptr;
    AEffGUIEditor* guiEditor = nullptr;
};

}  // namespace quavixtest
