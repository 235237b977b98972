#include "tools/hosting/PluginLoader.h"

#include <sys/stat.h>

#include "tools/hosting/FormatBackends.h"

namespace {

bool endsWith(std::string text, const std::string& ending) {
    while (text.size() > 1 && (text.back() == '/' || text.back() == '\\'))
        text.pop_back();
    return text.size() >= ending.size() && text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

bool isFolder(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// An LV2 URI names no file: "urn:..." or "http://...", never a drive letter.
bool isUri(const std::string& path) {
    const size_t colon = path.find(':');
    return colon != std::string::npos && colon > 1 && !isFolder(path) && path.find_first_of("/\\") > colon;
}

}  // namespace

// A folder is an LV2 bundle whatever its name: no other format is one here.
PluginFormat PluginLoader::formatOf(const std::string& path) {
    if (endsWith(path, ".clap"))
        return PluginFormat::Clap;
    if (endsWith(path, ".lv2") || isUri(path) || isFolder(path))
        return PluginFormat::Lv2;
    return PluginFormat::Vst2;
}

std::unique_ptr<HostedPlugin> PluginLoader::open(const std::string& path, const PluginSetup& setup,
                                                 std::string& error) {
    switch (formatOf(path)) {
    case PluginFormat::Lv2:
        if (!isUri(path) && !isFolder(path)) {
            error = "cannot open '" + path + "': no such LV2 bundle folder";
            return nullptr;
        }
        return openLv2Plugin(path, setup, error);
    case PluginFormat::Clap:
        return openClapPlugin(path, setup, error);
    case PluginFormat::Vst2:
        break;
    }
    return openVstPlugin(path, setup, error);
}

std::string PluginLoader::withoutEditors(const std::string& path, const char* command) {
    const PluginFormat format = formatOf(path);
    if (format != PluginFormat::Lv2)
        return "";
    return std::string(command) + " opens editors of VST 2.4 and CLAP plug-ins only so far: '" + path + "' is " +
           formatName(format);
}

std::string PluginLoader::vstOnly(const std::string& path, const char* command) {
    const PluginFormat format = formatOf(path);
    if (format == PluginFormat::Vst2)
        return "";
    return std::string(command) + " hosts VST 2.4 plug-ins only so far: '" + path + "' is " + formatName(format);
}
