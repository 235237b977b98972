#include "tools/hosting/clap/ClapEditor.h"

#include <cstdint>

#include "tools/hosting/clap/ClapSystem.h"

void ClapEditor::attach(const clap_plugin_t* created) {
    plugin = created;
    gui = static_cast<const clap_plugin_gui_t*>(plugin->get_extension(plugin, CLAP_EXT_GUI));
}

bool ClapEditor::available(std::string& why) {
    if (gui && gui->is_api_supported(plugin, clapWindowApi(), false))
        return true;
    why = "plug-in '" + pluginPath + "' has no editor to embed in a " + clapWindowApi() + " window" +
          (gui ? "" : " (no clap.gui)");
    return false;
}

bool ClapEditor::made() {
    if (!created && gui)
        created = gui->create(plugin, clapWindowApi(), false);
    return created;
}

bool ClapEditor::size(int& width, int& height) {
    uint32_t w = 0, h = 0;
    if (!made() || !gui->get_size(plugin, &w, &h) || w == 0 || h == 0)
        return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

bool ClapEditor::open(void* parent) {
    if (!made())
        return false;
    clap_window_t window = {};
    window.api = clapWindowApi();
    window.ptr = parent;
    // An X11 window is an XID, which the host tool passes as a pointer.
    if (window.api == std::string(CLAP_WINDOW_API_X11))
        window.x11 = static_cast<unsigned long>(reinterpret_cast<uintptr_t>(parent));
    return gui->set_parent(plugin, &window) && gui->show(plugin);
}

void ClapEditor::close() {
    if (!created)
        return;
    gui->hide(plugin);
    gui->destroy(plugin);
    created = false;
}
