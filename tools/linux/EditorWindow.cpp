#include "tools/EditorWindow.h"

namespace {
const char* const kNoEditorHosting =
    "editor hosting is not available in the Linux build yet; --editor-png and --gui need the Windows "
    "quavix-host.exe (under Wine)";
}  // namespace

// Nothing to hold until editors get X11 windows here.
class EditorWindow::Native {};

bool EditorWindow::available(std::string& reason) {
    reason = kNoEditorHosting;
    return false;
}

EditorWindow::EditorWindow(PluginHost&, Kind) {}

EditorWindow::~EditorWindow() = default;

bool EditorWindow::open(std::string& error) {
    error = kNoEditorHosting;
    return false;
}

void EditorWindow::pump(unsigned) {}

void EditorWindow::settle() {}

bool EditorWindow::capture(int&, int&, std::vector<uint8_t>&, std::string& error) const {
    error = kNoEditorHosting;
    return false;
}

void EditorWindow::runUntilClosed(double) {}

void EditorWindow::close() {}

void EditorWindow::closeWindowFirst() {}
