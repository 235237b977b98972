#include "tools/hosting/vst/VstEditor.h"

bool VstEditor::available(std::string& why) {
    if (host.hasEditor())
        return true;
    why = "plug-in '" + host.path() + "' has no editor (effFlagsHasEditor is clear)";
    return false;
}
