#include "tools/hosting/EditorWindow.h"

namespace {

// Until a plug-in that reports no size before opening tells us better.
const int kFallbackWidth = 320;
const int kFallbackHeight = 240;
const int kSettlePasses = 3;
const unsigned kSettleMilliseconds = 30;

}  // namespace

std::string EditorWindow::title() const { return host.text(effGetEffectName) + " - quavix-host"; }

bool EditorWindow::open(std::string& error) {
    if (!host.hasEditor()) {
        error = "plug-in '" + host.path() + "' has no editor (effFlagsHasEditor is clear)";
        return false;
    }
    int width = kFallbackWidth, height = kFallbackHeight;
    bool sized = host.editorSize(width, height);
    if (!createWindow(width, height, error))
        return false;
    requests = 0;
    host.setWindowSizer([this](int w, int h) {
        ++requests;
        requestedWidth = w;
        requestedHeight = h;
        return resizeClient(w, h);
    });
    openedAt = std::chrono::steady_clock::now();
    if (!host.dispatch(effEditOpen, 0, 0, parentHandle())) {
        // Plug-ins answer 0 here as often as 1; only a missing child window is a failure.
        if (!hasChild()) {
            error = "plug-in '" + host.path() + "' did not open its editor";
            close();
            return false;
        }
    }
    editorOpen = true;
    if (!sized && host.editorSize(width, height))
        resizeClient(width, height);
    startIdle();
    return true;
}

void EditorWindow::settle() {
    if (!hasWindow())
        return;
    repaintAll();
    for (int pass = 0; pass < kSettlePasses; ++pass) {
        host.dispatch(effEditIdle);
        pump(kSettleMilliseconds);
    }
}

void EditorWindow::closeEditor() {
    if (!editorOpen)
        return;
    editorOpen = false;
    stopIdle();
    // The plug-in destroys its own child window before ours goes.
    host.dispatch(effEditClose);
    host.setWindowSizer(nullptr);
}

void EditorWindow::close() {
    closeEditor();
    destroyWindow();
}

void EditorWindow::closeWindowFirst() {
    if (!hasWindow())
        return;
    dropWindow();
    closeEditor();
    destroyWindow();
}
