#include "tests/win32/support/OleDragSession.h"

#include <ole2.h>

namespace quavixtest {

OleDragSession::OleDragSession(DragPayload payload)
    // Media cross apartments here: they go plain, without release hooks.
    : data(new TestDataObject(payload, false)), source(new ScriptedDropSource) {}

OleDragSession::~OleDragSession() {
    source->command(DragCommand::cancel);
    if (worker.joinable())
        worker.join();
    data->Release();
    source->Release();
}

void OleDragSession::start() {
    worker = std::thread(&OleDragSession::run, this);
}

void OleDragSession::run() {
    OleInitialize(nullptr);
    DWORD effect = DROPEFFECT_NONE;
    outcome = DoDragDrop(data, source, DROPEFFECT_MOVE | DROPEFFECT_COPY, &effect);
    finalEffect = effect;
    OleUninitialize();
    done = true;
}

}  // namespace quavixtest
