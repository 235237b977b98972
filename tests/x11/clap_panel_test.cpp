// quavix.clap's panel as a CLAP host on Linux shows it: embedded in the
// host's X window at the scale the host sets, living on the host's timer and
// on its X connection's descriptor, moved by the host's automation, and
// telling the host of the user's gestures through a flush it requests.
#include <gtest/gtest.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include "quavix/Parameters.h"
#include "tests/clap/support/ClapTestHost.h"
#include "tests/editor/EditorExpectations.h"
#include "tests/editor/ScaledPanel.h"
#include "tests/x11/support/InputScript.h"
#include "tools/hosting/PluginModule.h"

using namespace quavixtest;
using namespace quavixtest::expected;

namespace {

constexpr int kHostX = 60;
constexpr int kHostY = 40;
constexpr unsigned kIdleMs = 16;

class ClapPanel : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP()
                << "DISPLAY is unset: the panel needs an X server (cmake/run-linux-tests.sh runs it under Xvfb)";
        const char* path = std::getenv("QUAVIX_CLAP");
        ASSERT_NE(nullptr, path) << "QUAVIX_CLAP must name quavix.clap";
        std::string error;
        ASSERT_TRUE(module.open(path, "quavix.clap", error)) << error;
        const auto* entry = static_cast<const clap_plugin_entry_t*>(module.function("clap_entry"));
        ASSERT_NE(nullptr, entry);
        clap.reset(new claptest::Instance(*entry, host));
        ASSERT_NE(nullptr, clap->plugin);
        gui = clap->extension<clap_plugin_gui_t>(CLAP_EXT_GUI);
        params = clap->extension<clap_plugin_params_t>(CLAP_EXT_PARAMS);
        ASSERT_NE(nullptr, gui);
        display = XOpenDisplay(nullptr);
        ASSERT_NE(nullptr, display);
        hostWindow = XCreateSimpleWindow(display, DefaultRootWindow(display), kHostX, kHostY, 1000, 1000, 0, 0, 0);
        XMapWindow(display, hostWindow);
        XSync(display, False);
    }
    void TearDown() override {
        if (gui && clap && clap->plugin)
            gui->destroy(clap->plugin);
        clap.reset();
        if (display) {
            XDestroyWindow(display, hostWindow);
            XCloseDisplay(display);
        }
    }
    bool openAt(double scale) {
        const clap_window_t parent{CLAP_WINDOW_API_X11, {nullptr}};
        clap_window_t window = parent;
        window.x11 = hostWindow;
        return gui->create(clap->plugin, CLAP_WINDOW_API_X11, false) && gui->set_scale(clap->plugin, scale) &&
               gui->set_parent(clap->plugin, &window);
    }
    // What a host's event loop does: the plug-in's timer fires.
    void idleFor(unsigned milliseconds) {
        const auto* timers = clap->extension<clap_plugin_timer_support_t>(CLAP_EXT_TIMER_SUPPORT);
        for (unsigned waited = 0; waited <= milliseconds; waited += kIdleMs) {
            for (clap_id id = 0; id < host.timerPeriods.size(); ++id)
                if (host.timerPeriods[id] != 0)
                    timers->on_timer(clap->plugin, id);
            XSync(display, False);
            usleep(kIdleMs * 1000);
        }
    }
    Picture seen(int width, int height) const {
        Picture pixels;
        XImage* image = XGetImage(display, hostWindow, 0, 0, width, height, AllPlanes, ZPixmap);
        if (!image)
            return pixels;
        pixels.width = width;
        pixels.height = height;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pixels.rgb.push_back(static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFFu);
        XDestroyImage(image);
        return pixels;
    }

    PluginModule module;
    claptest::TestHost host;
    std::unique_ptr<claptest::Instance> clap;
    const clap_plugin_gui_t* gui = nullptr;
    const clap_plugin_params_t* params = nullptr;
    Display* display = nullptr;
    Window hostWindow = 0;
};

TEST_F(ClapPanel, EmbedsInX11AtTheHostsScaleAndOneSize) {
    EXPECT_TRUE(gui->is_api_supported(clap->plugin, CLAP_WINDOW_API_X11, false));
    EXPECT_FALSE(gui->is_api_supported(clap->plugin, CLAP_WINDOW_API_X11, true)) << "floating";
    EXPECT_FALSE(gui->is_api_supported(clap->plugin, CLAP_WINDOW_API_WIN32, false));
    EXPECT_FALSE(gui->can_resize(clap->plugin));
    ASSERT_TRUE(gui->create(clap->plugin, CLAP_WINDOW_API_X11, false));
    const struct {
        double scale;
        bool taken;
    } scales[] = {{1.0, true}, {1.5, true}, {2.0, true}, {3.0, true}, {0.5, false}, {3.5, false}, {NAN, false}};
    for (const auto& row : scales) {
        EXPECT_EQ(gui->set_scale(clap->plugin, row.scale), row.taken) << row.scale;
        uint32_t width = 0, height = 0;
        ASSERT_TRUE(gui->get_size(clap->plugin, &width, &height));
        if (row.taken) {
            EXPECT_EQ(width, static_cast<uint32_t>(deviceCoordinate(kEditorWidth, row.scale))) << row.scale;
            EXPECT_EQ(height, static_cast<uint32_t>(deviceCoordinate(kEditorHeight, row.scale))) << row.scale;
        }
    }
    EXPECT_FALSE(gui->set_size(clap->plugin, 400, 400));
    EXPECT_TRUE(gui->set_size(clap->plugin, deviceCoordinate(kEditorWidth, 3.0), deviceCoordinate(kEditorHeight, 3.0)));
}

// The panel idles on the host's timer and wakes on its connection's
// descriptor, both given back when it closes; it shows what the host's
// automation set, and the user's gestures reach the host at its flush.
TEST_F(ClapPanel, LivesOnTheHostsLoopBothWays) {
    ASSERT_TRUE(openAt(2.0));
    ASSERT_EQ(host.timerPeriods.size(), 1u);
    EXPECT_GT(host.timerPeriods[0], 0u);
    ASSERT_EQ(host.descriptors.size(), 1u);
    EXPECT_NE(host.descriptors[0], ConnectionNumber(display)) << "the panel's own connection";
    EXPECT_NE(fcntl(host.descriptors[0], F_GETFD), -1) << "an open descriptor";

    const float values[3] = {0.9f, 1.0f, 0.6f};
    claptest::InputEvents automation;
    automation.paramValue(0, quavix::kFrequencyParam, quavix::unitValue(quavix::kFrequencyParam, values[0]));
    params->flush(clap->plugin, automation.list(), nullptr);
    idleFor(200);
    const PanelReference panel = expectedPanel(QUAVIX_SOURCE_DIR "/resources", 2.0, values);
    const PictureDifference slider = comparePictures(seen(panel.picture.width, panel.picture.height), panel.picture,
                                                     deviceRect(kSliderRects[0], 2.0), {}, kBetweenSetsTolerance);
    EXPECT_EQ(slider.differing, 0) << slider.describe();

    const int flushes = host.flushRequests;
    const InputScript click =
        InputScript().clickAt(kHostX + deviceCoordinate(kRockerRightX, 2.0), kHostY + deviceCoordinate(kRockerY, 2.0));
    ASSERT_TRUE(playWhileIdling(
        click, [&] { idleFor(0); }, kIdleMs));
    idleFor(100);
    EXPECT_GT(host.flushRequests, flushes);
    claptest::OutputEvents heard;
    params->flush(clap->plugin, claptest::InputEvents().list(), heard.list());
    ASSERT_EQ(heard.heard.size(), 3u) << "a gesture's start, its value and its end";
    EXPECT_EQ(heard.heard[0].type, CLAP_EVENT_PARAM_GESTURE_BEGIN);
    EXPECT_EQ(heard.heard[1].type, CLAP_EVENT_PARAM_VALUE);
    EXPECT_EQ(heard.heard[1].value, 2.0) << "controller 1 stepped up";
    EXPECT_EQ(heard.heard[2].type, CLAP_EVENT_PARAM_GESTURE_END);
    for (const claptest::HeardEvent& event : heard.heard)
        EXPECT_EQ(event.id, static_cast<clap_id>(quavix::kControllerParam));

    gui->destroy(clap->plugin);
    EXPECT_EQ(host.timerPeriods[0], 0u) << "the timer given back";
    EXPECT_TRUE(host.descriptors.empty()) << "the descriptor given back";
}

}  // namespace
