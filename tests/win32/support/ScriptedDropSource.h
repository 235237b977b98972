// A drag source whose drag goes on until the test says drop or cancel, so
// that the end of a drag does not hang on button state seen by another
// thread. It remembers the effects the target reported along the way.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <atomic>

namespace quavixtest {

enum class DragCommand { keepGoing, drop, cancel };

class ScriptedDropSource : public IDropSource {
public:
    ScriptedDropSource() = default;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
    STDMETHODIMP GiveFeedback(DWORD effect) override;
    virtual ~ScriptedDropSource() = default;

    void command(DragCommand next) { pending = next; }
    // Every effect ever shown as feedback, or-ed together.
    DWORD feedbackEffects() const { return feedback; }

private:
    std::atomic<LONG> referenceCount{1};
    std::atomic<DragCommand> pending{DragCommand::keepGoing};
    std::atomic<DWORD> feedback{0};
};

}  // namespace quavixtest
