// quavix.clap's panel as a CLAP host on Linux shows it: embedded in the
// host's X window at the scale the host sets, of one size, living on the
// host's timer and its X connection's descriptor, moved by the host's
// automation, and telling the host of the user's gestures at a flush it asks for.
#include <gtest/gtest.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include "quavix/Parameters.h"
#include "tests/clap/support/ClapTestHost.h"
#include "tests/editor/EditorExpectations.h"
#include "tests/x11/support/EditorHost.h"
#include "tests/x11/support/InputScript.h"

using namespace quavixtest;
using namespace quavixtest::expected;

namespace {

constexpr int kHostX = 60;
constexpr int kHostY = 40;
constexpr unsigned kIdleMs = 16;
constexpr double kScale = 2.0;

class ClapPanel : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY") || !std::getenv("QUAVIX_CLAP"))
            GTEST_SKIP() << "needs an X server and QUAVIX_CLAP (scripts/run/linux-tests.sh gives both)";
        std::string error;
        ASSERT_TRUE(module.open(std::getenv("QUAVIX_CLAP"), "quavix.clap", error)) << error;
        clap.reset(
            new claptest::Instance(*static_cast<const clap_plugin_entry_t*>(module.function("clap_entry")), host));
        gui = clap->extension<clap_plugin_gui_t>(CLAP_EXT_GUI);
        ASSERT_NE(nullptr, gui);
        display = XOpenDisplay(nullptr);
        hostWindow = XCreateSimpleWindow(display, DefaultRootWindow(display), kHostX, kHostY, 1000, 1000, 0, 0, 0);
        XMapWindow(display, hostWindow);
        XSync(display, False);
    }
    void TearDown() override {
        clap.reset();
        if (display) {
            XDestroyWindow(display, hostWindow);
            XCloseDisplay(display);
        }
    }
    // A host's event loop: the plug-in's timers fire.
    void idleFor(unsigned milliseconds) {
        const auto* timers = clap->extension<clap_plugin_timer_support_t>(CLAP_EXT_TIMER_SUPPORT);
        for (unsigned waited = 0; waited <= milliseconds; waited += kIdleMs) {
            timers->on_timer(clap->plugin, 0);
            XSync(display, False);
            usleep(kIdleMs * 1000);
        }
    }

    PluginModule module;
    claptest::TestHost host;
    std::unique_ptr<claptest::Instance> clap;
    const clap_plugin_gui_t* gui = nullptr;
    Display* display = nullptr;
    Window hostWindow = 0;
};

TEST_F(ClapPanel, EmbedsAtTheHostsScaleAndLivesOnTheHostsLoopBothWays) {
    ASSERT_TRUE(gui->create(clap->plugin, CLAP_WINDOW_API_X11, false));
    for (double refused : {0.5, 3.5, double(NAN)})
        EXPECT_FALSE(gui->set_scale(clap->plugin, refused)) << refused;
    for (double scale : {1.0, 1.5, 3.0, kScale}) {
        uint32_t width = 0, height = 0;
        ASSERT_TRUE(gui->set_scale(clap->plugin, scale) && gui->get_size(clap->plugin, &width, &height));
        EXPECT_EQ(width, uint32_t(deviceCoordinate(kEditorWidth, scale))) << scale;
        EXPECT_EQ(height, uint32_t(deviceCoordinate(kEditorHeight, scale))) << scale;
    }
    EXPECT_FALSE(gui->can_resize(clap->plugin) || gui->set_size(clap->plugin, 400, 400));
    clap_window_t parent{CLAP_WINDOW_API_X11, {nullptr}};
    parent.x11 = hostWindow;
    ASSERT_TRUE(gui->set_parent(clap->plugin, &parent));
    ASSERT_EQ(host.timerPeriods.size(), 1u);
    ASSERT_EQ(host.descriptors.size(), 1u);
    EXPECT_NE(host.descriptors[0], ConnectionNumber(display)) << "the panel's own connection";
    EXPECT_NE(fcntl(host.descriptors[0], F_GETFD), -1) << "an open descriptor";

    // The host's automation moves the slider.
    const auto* params = clap->extension<clap_plugin_params_t>(CLAP_EXT_PARAMS);
    const float values[3] = {0.9f, 1.0f, 0.6f};
    claptest::InputEvents automation;
    automation.paramValue(0, quavix::kFrequencyParam, quavix::unitValue(quavix::kFrequencyParam, values[0]));
    params->flush(clap->plugin, &automation.list, nullptr);
    idleFor(200);
    const PanelReference panel = expectedPanel(QUAVIX_SOURCE_DIR "/resources", kScale, values);
    const PictureDifference slider =
        comparePictures(windowPixels(display, hostWindow, panel.picture.width, panel.picture.height), panel.picture,
                        deviceRect(kSliderRects[0], kScale), {}, kBetweenSetsTolerance);
    EXPECT_EQ(slider.differing, 0) << slider.describe();

    // A click on the rocker reaches the host as one gesture.
    const InputScript click = InputScript().clickAt(kHostX + deviceCoordinate(kRockerRightX, kScale),
                                                    kHostY + deviceCoordinate(kRockerY, kScale));
    ASSERT_TRUE(playWhileIdling(
        click, [&] { idleFor(0); }, kIdleMs));
    idleFor(100);
    EXPECT_GT(host.flushRequests, 0);
    claptest::OutputEvents heard;
    params->flush(clap->plugin, &automation.list, &heard.list);
    ASSERT_EQ(heard.heard.size(), 3u) << "the automation again changes nothing to tell";
    const uint16_t types[3] = {CLAP_EVENT_PARAM_GESTURE_BEGIN, CLAP_EVENT_PARAM_VALUE, CLAP_EVENT_PARAM_GESTURE_END};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(heard.heard[i].header.type, types[i]);
        EXPECT_EQ(heard.heard[i].param_id, clap_id(quavix::kControllerParam));
    }
    EXPECT_EQ(heard.heard[1].value, 2.0) << "controller 1 stepped up";

    gui->destroy(clap->plugin);
    EXPECT_EQ(host.timerPeriods[0], 0u) << "the timer given back";
    EXPECT_TRUE(host.descriptors.empty()) << "the descriptor given back";
}

}  // namespace
