// A drag started the way another application starts one: a thread of its
// own initialises OLE and runs DoDragDrop with its own data object and drop
// source, while the test's thread keeps serving the drop target's window.
#pragma once

#include <windows.h>

#include <atomic>
#include <thread>

#include "tests/win32/support/ScriptedDropSource.h"
#include "tests/win32/support/TestDataObject.h"

namespace quavixtest {

class OleDragSession {
public:
    explicit OleDragSession(DragPayload payload);
    ~OleDragSession();  // cancels a drag still running and waits for it
    OleDragSession(const OleDragSession&) = delete;
    OleDragSession& operator=(const OleDragSession&) = delete;

    void start();
    // Ends the drag at the next check of the source: drop or cancel.
    void finish(DragCommand how) { source->command(how); }
    bool finished() const { return done; }

    HRESULT result() const { return outcome; }
    DWORD effect() const { return finalEffect; }
    DWORD feedbackEffects() const { return source->feedbackEffects(); }

private:
    void run();

    TestDataObject* data;
    ScriptedDropSource* source;
    std::thread worker;
    std::atomic<bool> done{false};
    HRESULT outcome = E_FAIL;
    DWORD finalEffect = 0xFFFFFFFF;
};

}  // namespace quavixtest
