#include "tools/hosting/EditorWindow.h"

namespace {

// Until a plug-in that reports no size before opening tells us better.
const int kFallbackWidth = 320;
const int kFallbackHeight = 240;
const int kSettlePasses = 3;
const unsigned kSettleMilliseconds = 30;

}  // namespace

std::string EditorWindow::title() const { return editor.name() + " - quavix-host"; }

bool EditorWindow::open(std::string& error) {
    if (!editor.available(error))
        return false;
    int width = kFallbackWidth, height = kFallbackHeight;
    bool sized = editor.size(width, height);
    if (!createWindow(width, height, error))
        return false;
    requests = 0;
    editor.setSizer([this](int w, int h) {
        ++requests;
        requestedWidth = w;
        requestedHeight = h;
        return resizeClient(w, h);
    });
    openedAt = std::chrono::steady_clock::now();
    if (!editor.open(parentHandle())) {
        // Plug-ins answer 0 here as often as 1; only a missing child window is a failure.
        if (!hasChild()) {
            error = "plug-in '" + editor.path() + "' did not open its editor";
            close();
            return false;
        }
    }
    editorOpen = true;
    if (!sized && editor.size(width, height))
        resizeClient(width, height);
    startIdle();
    return true;
}

void EditorWindow::settle() {
    if (!hasWindow())
        return;
    repaintAll();
    for (int pass = 0; pass < kSettlePasses; ++pass) {
        editor.idle();
        pump(kSettleMilliseconds);
    }
}

void EditorWindow::closeEditor() {
    if (!editorOpen)
        return;
    editorOpen = false;
    stopIdle();
    // The plug-in destroys its own child window before ours goes.
    editor.close();
    editor.setSizer(nullptr);
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
