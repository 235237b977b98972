// Quavix in its three formats through the host tool's backends: the same
// parameters by name, range position and read-out, a state that brings
// every value back, the same panel from the VST 2.4 and CLAP editors at
// each scale, and paths of no plug-in refused with their names.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tools/hosting/EditorWindow.h"
#include "tools/hosting/PluginEditor.h"
#include "tools/hosting/PluginLoader.h"
#include "tools/media/NoiseGenerator.h"

namespace {

std::string distFile(const char* name) {
    const std::string plugin = std::getenv("QUAVIX_PLUGIN") ? std::getenv("QUAVIX_PLUGIN") : "";
    return plugin.substr(0, plugin.find_last_of('/') + 1) + name;
}

std::unique_ptr<HostedPlugin> opened(const std::string& path) {
    std::string error;
    std::unique_ptr<HostedPlugin> plugin = PluginLoader::open(path, {44100, 512}, error);
    EXPECT_TRUE(plugin) << error;
    return plugin;
}

const char* const kFormats[] = {"quavix.so", "quavix.lv2", "quavix.clap"};

TEST(Formats, EachFormatShowsTheSameParametersAtTheSamePositions) {
    std::unique_ptr<HostedPlugin> vst = opened(distFile("quavix.so"));
    ASSERT_TRUE(vst);
    for (const char* file : kFormats) {
        SCOPED_TRACE(file);
        std::unique_ptr<HostedPlugin> plugin = opened(distFile(file));
        ASSERT_TRUE(plugin);
        ASSERT_EQ(plugin->parameterCount(), vst->parameterCount());
        for (int index = 0; index < vst->parameterCount(); ++index) {
            EXPECT_EQ(plugin->parameterInfo(index).name, vst->parameterInfo(index).name);
            EXPECT_NEAR(plugin->positionOf(index), vst->positionOf(index), 1e-6) << "parameter " << index;
            plugin->setPosition(index, 0.25);
            EXPECT_NEAR(plugin->positionOf(index), 0.25, 0.5 / 127) << "parameter " << index;
        }
    }
}

TEST(Formats, ASavedStateBringsEveryValueBack) {
    for (const char* file : kFormats) {
        SCOPED_TRACE(file);
        std::unique_ptr<HostedPlugin> plugin = opened(distFile(file));
        ASSERT_TRUE(plugin);
        for (int index = 0; index < plugin->parameterCount(); ++index)
            plugin->setPosition(index, 0.75);
        std::vector<uint8_t> state;
        std::string error;
        ASSERT_TRUE(plugin->saveState(state, error)) << error;
        std::vector<double> saved;
        for (int index = 0; index < plugin->parameterCount(); ++index) {
            saved.push_back(plugin->parameterValue(index));
            plugin->setPosition(index, 0.0);
        }
        ASSERT_TRUE(plugin->restoreState(state, error)) << error;
        for (int index = 0; index < plugin->parameterCount(); ++index)
            EXPECT_EQ(plugin->parameterValue(index), saved[index]) << "parameter " << index;
        // A VST 2.4 chunk is the plug-in's to judge; the others must refuse half a state.
        state.resize(state.size() / 2);
        if (plugin->format() != PluginFormat::Vst2) {
            EXPECT_FALSE(plugin->restoreState(state, error)) << "half a state taken";
        }
    }
}

// One block of noise through a fresh instance, after what the row does to it.
std::vector<float> blockAfter(const char* file, const std::function<void(HostedPlugin&)>& action) {
    std::unique_ptr<HostedPlugin> plugin = opened(distFile(file));
    std::vector<float> out(2 * 512);
    if (!plugin)
        return out;
    NoiseGenerator noise(7);
    std::vector<float> left(512), right(512);
    for (size_t i = 0; i < left.size(); ++i) {
        left[i] = 0.5f * noise.next();
        right[i] = 0.5f * noise.next();
    }
    float* inputs[2] = {left.data(), right.data()};
    float* outputs[2] = {out.data(), out.data() + 512};
    plugin->start();
    action(*plugin);
    plugin->process(inputs, outputs, 512);
    return out;
}

// Identical formats would also be identical if all three ignored a change:
// each must be heard.
TEST(Formats, ControllerChangesAndParameterChangesAreHeardInEveryFormat) {
    const struct {
        const char* change;
        std::function<void(HostedPlugin&)> action;
    } kRows[] = {
        {"controller 1 at frame 100", [](HostedPlugin& p) { EXPECT_TRUE(p.sendMidi(100, 0xB0, 1, 120)); }},
        {"the first parameter to 0.1", [](HostedPlugin& p) { p.setPosition(0, 0.1); }},
    };
    for (const char* file : kFormats) {
        const std::vector<float> untouched = blockAfter(file, [](HostedPlugin&) {});
        for (const auto& row : kRows)
            EXPECT_NE(blockAfter(file, row.action), untouched) << file << ": " << row.change << " is not heard";
    }
}

TEST(Formats, ABundleOfSeveralPluginsIsRefusedNamingEach) {
    char folder[] = "/tmp/quavix-two-plugins-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    {
        std::ofstream manifest(std::string(folder) + "/manifest.ttl");
        manifest << "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
                 << "<urn:quavix:test:first> a lv2:Plugin ; lv2:binary <none.so> .\n"
                 << "<urn:quavix:test:second> a lv2:Plugin ; lv2:binary <none.so> .\n";
    }
    std::string error;
    EXPECT_FALSE(PluginLoader::open(folder, {44100, 512}, error));
    for (const char* named : {"holds 2 LV2 plug-ins", "urn:quavix:test:first", "urn:quavix:test:second"})
        EXPECT_NE(error.find(named), std::string::npos) << error;
    std::filesystem::remove_all(folder);
}

// The picture of an editor opened in a popup window at that scale.
std::vector<uint8_t> panelOf(const char* file, double scale, int& width, int& height) {
    std::unique_ptr<HostedPlugin> plugin = opened(distFile(file));
    std::vector<uint8_t> rgb;
    std::string error;
    EXPECT_TRUE(plugin && plugin->editor()) << file;
    if (!plugin || !plugin->editor())
        return rgb;
    plugin->start();
    EXPECT_TRUE(plugin->editor()->setScale(scale)) << file;
    EditorWindow window(*plugin->editor(), EditorWindow::Kind::Popup);
    EXPECT_TRUE(window.open(error)) << error;
    window.pump(200);
    window.settle();
    EXPECT_TRUE(window.capture(width, height, rgb, error)) << error;
    window.close();
    return rgb;
}

TEST(Formats, TheVstAndClapEditorsShowTheSamePanelAtEachScale) {
    std::string unavailable;
    ASSERT_TRUE(EditorWindow::available(unavailable)) << unavailable;
    for (double scale : {1.0, 2.0}) {
        SCOPED_TRACE(scale);
        int vstWidth = 0, vstHeight = 0, clapWidth = 0, clapHeight = 0;
        const std::vector<uint8_t> vst = panelOf("quavix.so", scale, vstWidth, vstHeight);
        const std::vector<uint8_t> clap = panelOf("quavix.clap", scale, clapWidth, clapHeight);
        EXPECT_GT(vstWidth, 0);
        EXPECT_EQ(clapWidth, vstWidth);
        EXPECT_EQ(clapHeight, vstHeight);
        EXPECT_TRUE(clap == vst) << "the CLAP editor's panel differs from the VST 2.4 editor's";
    }
}

// Paths of every system: a drive letter's colon makes no URI.
TEST(Formats, TheFormatFollowsFromThePath) {
    const struct {
        const char* path;
        PluginFormat format;
    } kRows[] = {
        {"urn:morvella:quavix", PluginFormat::Lv2},
        {"http://calf.sourceforge.net/plugins/Filter", PluginFormat::Lv2},
        {"/usr/lib/lv2/gxautowah.lv2/", PluginFormat::Lv2},
        {"C:\\Program Files\\VstPlugins\\QUAVIX.dll", PluginFormat::Vst2},
        {"C:/Program Files/Common Files/CLAP/Quavix.clap", PluginFormat::Clap},
        {"quavix.so", PluginFormat::Vst2},
    };
    for (const auto& row : kRows)
        EXPECT_EQ(PluginLoader::formatOf(row.path), row.format) << row.path;
}

TEST(Formats, WhatIsNoPluginIsRefusedByName) {
    const struct {
        std::string path;
        PluginFormat format;
    } kRows[] = {
        {"/nonexistent/gone.lv2", PluginFormat::Lv2},
        {"/nonexistent/gone.clap", PluginFormat::Clap},
        {"/nonexistent/gone.so", PluginFormat::Vst2},
        {"/usr/lib", PluginFormat::Lv2},
        {distFile("quavix.lv2/manifest.ttl") + ".clap", PluginFormat::Clap},
    };
    for (const auto& row : kRows) {
        SCOPED_TRACE(row.path);
        EXPECT_EQ(PluginLoader::formatOf(row.path), row.format);
        std::string error;
        EXPECT_FALSE(PluginLoader::open(row.path, {44100, 512}, error));
        EXPECT_NE(error.find(row.path), std::string::npos) << error;
    }
}

}  // namespace
