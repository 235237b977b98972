// The LV2 panel as a host shows it: quavix_ui.so loaded with dlopen, its
// descriptor from lv2ui_descriptor, an instance inside a top-level X window
// of the test's own (ui:parent), idled through the idle interface it hands
// out. Real input comes through XTest on a thread of its own while this one
// idles; the panel's port writes and gestures are recorded, and port events
// play the host's side.
#include <gtest/gtest.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dlfcn.h>
#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "quavix/QuavixConfig.h"
#include "tests/editor/EditorExpectations.h"
#include "tests/x11/support/InputScript.h"
#include "tests/x11/support/Pictures.h"

using namespace quavixtest;
using namespace quavixtest::expected;
using VSTGUI::CRect;

namespace {

constexpr const char* kPluginUri = quavix::kLv2Uri;
constexpr const char* kUiUri = quavix::kLv2UiUri;
constexpr uint32_t kFrequencyPort = 4;
constexpr uint32_t kGainPort = 5;
constexpr uint32_t kPeakPort = 6;
constexpr uint32_t kControllerPort = 7;
constexpr uint32_t kFrequencyOutPort = 9;
constexpr int kHostX = 80;
constexpr int kHostY = 60;
constexpr unsigned kIdleMs = 20;
constexpr unsigned kSettleMs = 200;

struct PortWrite {
    uint32_t port;
    uint32_t size;
    uint32_t format;
    float value;
};

struct Grab {
    uint32_t port;
    bool grabbed;
};

using Size = std::pair<int, int>;

void sleepMs(unsigned milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

// Inside the read-outs' one-pixel outline: fonts differ between systems.
std::vector<CRect> textAreas() {
    std::vector<CRect> areas;
    for (const CRect& readout : kReadoutRects)
        areas.push_back(CRect(readout.left + 1, readout.top + 1, readout.right - 1, readout.bottom - 1));
    const CRect& controller = kControllerReadoutRect;
    areas.push_back(CRect(controller.left + 1, controller.top + 1, controller.right - 1, controller.bottom - 1));
    return areas;
}

class Lv2UiTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no X server";
        const char* bundleDir = std::getenv("QUAVIX_LV2_BUNDLE");
        ASSERT_NE(nullptr, bundleDir) << "QUAVIX_LV2_BUNDLE names the bundle";
        bundle = bundleDir;
        display = XOpenDisplay(nullptr);
        ASSERT_NE(nullptr, display);
        module = dlopen((bundle + "quavix_ui.so").c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(nullptr, module) << dlerror();
        const auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(module, "lv2ui_descriptor"));
        ASSERT_NE(nullptr, entry);
        descriptor = entry(0);
        ASSERT_NE(nullptr, descriptor);
        EXPECT_STREQ(kUiUri, descriptor->URI);
        EXPECT_EQ(nullptr, entry(1));

        // Borderless and at a known place, so that screen points are known.
        XSetWindowAttributes attributes = {};
        attributes.override_redirect = True;
        attributes.background_pixel = BlackPixel(display, DefaultScreen(display));
        hostWindow =
            XCreateWindow(display, DefaultRootWindow(display), kHostX, kHostY, kEditorWidth, kEditorHeight, 0,
                          CopyFromParent, InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
        XMapRaised(display, hostWindow);
        XSync(display, False);
    }

    void TearDown() override {
        if (handle)
            descriptor->cleanup(handle);
        if (hostWindow)
            XDestroyWindow(display, hostWindow);
        if (display)
            XCloseDisplay(display);
    }

    // The panel with the host's usual features, showing the ports' defaults
    // as a host shows them at the start, and the frequency output as the
    // plug-in reports it once it has run.
    void instantiate(float reportedFrequency = 2300.0f) {
        handle = instantiateWith(kPluginUri, true);
        ASSERT_NE(nullptr, handle);
        idleInterface = static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface));
        ASSERT_NE(nullptr, idleInterface);
        const std::pair<uint32_t, float> defaults[] = {{kFrequencyPort, 2300.0f},
                                                       {kGainPort, 1.0f},
                                                       {kPeakPort, 0.6f},
                                                       {kControllerPort, 1.0f},
                                                       {kFrequencyOutPort, reportedFrequency}};
        for (const auto& port : defaults)
            sendPort(port.first, port.second);
        XSync(display, False);
        idleFor(kSettleMs);
    }

    LV2UI_Handle instantiateWith(const char* pluginUri, bool withParent) {
        parentFeature = {LV2_UI__parent, reinterpret_cast<void*>(static_cast<uintptr_t>(hostWindow))};
        touch = {this, &Lv2UiTest::recordGrab};
        touchFeature = {LV2_UI__touch, &touch};
        map = {this, &Lv2UiTest::mapUri};
        mapFeature = {LV2_URID__map, &map};
        options[0] = {LV2_OPTIONS_INSTANCE,          0,           mapUri(this, LV2_UI__scaleFactor), sizeof scaleOption,
                      mapUri(this, scaleOptionType), &scaleOption};
        options[1] = {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr};
        optionsFeature = {LV2_OPTIONS__options, options};
        resize = {this, [](LV2UI_Feature_Handle owner, int width, int height) {
                      static_cast<Lv2UiTest*>(owner)->resizes.push_back({width, height});
                      return 0;
                  }};
        const LV2_Feature resizeFeature = {LV2_UI__resize, &resize};
        const LV2_Feature* features[] = {
            withParent ? &parentFeature : &touchFeature,          &touchFeature,  &mapFeature,
            scaleOption > 0.0f ? &optionsFeature : &touchFeature, &resizeFeature, nullptr};
        return descriptor->instantiate(descriptor, pluginUri, bundle.c_str(), &Lv2UiTest::recordWrite, this, &widget,
                                       features);
    }

    static void recordWrite(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t format,
                            const void* buffer) {
        float value = 0.0f;
        if (size == sizeof value)
            std::memcpy(&value, buffer, sizeof value);
        static_cast<Lv2UiTest*>(controller)->writes.push_back({port, size, format, value});
    }

    static LV2_URID mapUri(LV2_URID_Map_Handle owner, const char* uri) {
        std::vector<std::string>& uris = static_cast<Lv2UiTest*>(owner)->uris;
        for (size_t i = 0; i < uris.size(); ++i)
            if (uris[i] == uri)
                return LV2_URID(i + 1);
        uris.push_back(uri);
        return LV2_URID(uris.size());
    }

    static void recordGrab(LV2UI_Feature_Handle owner, uint32_t port, bool grabbed) {
        static_cast<Lv2UiTest*>(owner)->grabs.push_back({port, grabbed});
    }

    void sendPort(uint32_t port, float value) { descriptor->port_event(handle, port, sizeof value, 0, &value); }

    void idle() {
        EXPECT_EQ(0, idleInterface->idle(handle));
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
        }
    }

    void idleFor(unsigned milliseconds) {
        for (unsigned waited = 0; waited < milliseconds; waited += kIdleMs) {
            idle();
            sleepMs(kIdleMs);
        }
    }

    // The writes and gestures of the script alone.
    bool play(const InputScript& script) {
        writes.clear();
        grabs.clear();
        const bool played = playWhileIdling(
            script, [this] { idle(); }, kIdleMs);
        idleFor(kSettleMs);
        return played;
    }

    Pixels seen() const {
        Pixels pixels;
        XImage* image = XGetImage(display, hostWindow, 0, 0, kEditorWidth, kEditorHeight, AllPlanes, ZPixmap);
        if (!image)
            return pixels;
        pixels.width = kEditorWidth;
        pixels.height = kEditorHeight;
        for (int y = 0; y < kEditorHeight; ++y)
            for (int x = 0; x < kEditorWidth; ++x)
                pixels.rgb.push_back(static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFFu);
        XDestroyImage(image);
        return pixels;
    }

    std::vector<float> writtenTo(uint32_t port) const {
        std::vector<float> values;
        for (const PortWrite& write : writes)
            if (write.port == port)
                values.push_back(write.value);
        return values;
    }

    std::string bundle;
    Display* display = nullptr;
    Window hostWindow = 0;
    void* module = nullptr;
    const LV2UI_Descriptor* descriptor = nullptr;
    LV2UI_Handle handle = nullptr;
    LV2UI_Widget widget = nullptr;
    const LV2UI_Idle_Interface* idleInterface = nullptr;
    LV2_Feature parentFeature = {};
    LV2_Feature touchFeature = {};
    LV2UI_Touch touch = {};
    // The display's scale as the host's option, when a test gives one.
    float scaleOption = 0.0f;
    const char* scaleOptionType = LV2_ATOM__Float;
    std::vector<std::string> uris;
    LV2_URID_Map map = {};
    LV2_Feature mapFeature = {};
    LV2_Options_Option options[2] = {};
    LV2_Feature optionsFeature = {};
    std::vector<PortWrite> writes;
    std::vector<Grab> grabs;
    LV2UI_Resize resize = {};
    std::vector<Size> resizes;  // what the host's ui:resize heard
};

TEST_F(Lv2UiTest, ShowsTheWindowsEditorsPictureInAWindowOfOneSize) {
    ASSERT_NO_FATAL_FAILURE(instantiate());
    const Pixels windows = loadPicture("docs/quavix-editor.png");
    ASSERT_EQ(kEditorWidth, windows.width) << "docs/quavix-editor.png is missing or of another size";
    EXPECT_TRUE(matchesOutside(seen(), windows, textAreas()));

    const Window panel = static_cast<Window>(reinterpret_cast<uintptr_t>(widget));
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    ASSERT_TRUE(XQueryTree(display, panel, &root, &parent, &children, &count));
    if (children)
        XFree(children);
    EXPECT_EQ(hostWindow, parent);
    XSizeHints hints = {};
    long supplied = 0;
    ASSERT_TRUE(XGetWMNormalHints(display, panel, &hints, &supplied));
    EXPECT_EQ(PMinSize | PMaxSize | PBaseSize, hints.flags & (PMinSize | PMaxSize | PBaseSize));
    EXPECT_EQ(kEditorWidth, hints.min_width);
    EXPECT_EQ(kEditorWidth, hints.max_width);
    EXPECT_EQ(kEditorHeight, hints.min_height);
    EXPECT_EQ(kEditorHeight, hints.max_height);
    EXPECT_TRUE(writes.empty()) << "the host's own values must not come back as writes";
}

TEST_F(Lv2UiTest, AHostsScaleOptionSizesThePanelAndAnOptionOfAnotherTypeIsIgnored) {
    const struct {
        float scale;
        const char* type;
        int width, height;
    } rows[] = {{2.0f, LV2_ATOM__Float, 660, 708}, {1.5f, LV2_ATOM__Float, 495, 531}, {2.0f, LV2_ATOM__Int, 330, 354}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.scale);
        scaleOption = row.scale;
        scaleOptionType = row.type;
        handle = instantiateWith(kPluginUri, true);
        ASSERT_NE(nullptr, handle);
        XSizeHints hints = {};
        long supplied = 0;
        ASSERT_TRUE(
            XGetWMNormalHints(display, static_cast<Window>(reinterpret_cast<uintptr_t>(widget)), &hints, &supplied));
        EXPECT_EQ(row.width, hints.min_width);
        EXPECT_EQ(row.height, hints.min_height);
        EXPECT_EQ(std::vector<Size>(1, Size(row.width, row.height)), resizes);
        descriptor->cleanup(handle);
        handle = nullptr;
        resizes.clear();
    }
}

// The panel's own size is taken; another is refused and answered once with it.
TEST_F(Lv2UiTest, AResizeRequestIsTakenAtThePanelsSizeElseAnsweredOnceWithIt) {
    ASSERT_NO_FATAL_FAILURE(instantiate());
    const auto* panelResize = static_cast<const LV2UI_Resize*>(descriptor->extension_data(LV2_UI__resize));
    ASSERT_TRUE(panelResize && panelResize->ui_resize);
    const Size own(kEditorWidth, kEditorHeight);
    const std::pair<Size, size_t> rows[] = {{own, 0}, {{640, 480}, 1}, {{640, 480}, 0}, {{-1, 0}, 1}};
    for (const auto& row : rows) {
        resizes.clear();
        EXPECT_EQ(row.first == own, panelResize->ui_resize(handle, row.first.first, row.first.second) == 0);
        EXPECT_EQ(std::vector<Size>(row.second, own), resizes) << row.first.first << " x " << row.first.second;
    }
}

TEST_F(Lv2UiTest, RefusesAnotherPluginAndAHostWithoutAParentWindow) {
    EXPECT_EQ(nullptr, instantiateWith("urn:morvella:other", true));
    EXPECT_EQ(nullptr, instantiateWith(kPluginUri, false));
    EXPECT_EQ(nullptr, descriptor->extension_data(LV2_UI__showInterface));
}

// A press at the track's top and a drag to its bottom: the port hears the
// top of its range first and its bottom last, in its own units, inside one
// gesture.
struct SliderCase {
    int slider;
    uint32_t port;
    float top;
    float bottom;
};
const SliderCase kSliderCases[] = {
    {0, kFrequencyPort, 3800.0f, 800.0f},
    {1, kGainPort, 1.0f, 0.0f},
    {2, kPeakPort, 1.0f, 0.0f},
};

TEST_F(Lv2UiTest, DraggingASliderWritesItsPortInThePortsRange) {
    ASSERT_NO_FATAL_FAILURE(instantiate());
    for (const SliderCase& slider : kSliderCases) {
        SCOPED_TRACE(slider.slider);
        const int x = kHostX + sliderCentreX(slider.slider);
        InputScript drag;
        drag.moveTo(x, kHostY + kSliderTopY)
            .press()
            .dragTo(x, kHostY + kSliderTopY, x, kHostY + kSliderBottomY, 7, 15)
            .release();
        ASSERT_TRUE(play(drag));
        const std::vector<float> values = writtenTo(slider.port);
        ASSERT_EQ(writes.size(), values.size()) << "a write went to another port";
        ASSERT_GE(values.size(), 2u);
        EXPECT_FLOAT_EQ(slider.top, values.front());
        EXPECT_FLOAT_EQ(slider.bottom, values.back());
        for (const PortWrite& write : writes) {
            EXPECT_EQ(sizeof(float), write.size);
            EXPECT_EQ(0u, write.format);
        }
        ASSERT_GE(grabs.size(), 2u);
        EXPECT_EQ(slider.port, grabs.front().port);
        EXPECT_TRUE(grabs.front().grabbed);
        EXPECT_EQ(slider.port, grabs.back().port);
        EXPECT_FALSE(grabs.back().grabbed);
        EXPECT_TRUE(areaMatches(seen(), kSliderRects[slider.slider], sliderPicture(handleTopFor(0.0f)), 0, 0));
    }
}

// The rocker steps the controller number; the port hears whole numbers.
TEST_F(Lv2UiTest, TheRockerWritesTheNextControllerNumber) {
    ASSERT_NO_FATAL_FAILURE(instantiate());
    const std::pair<int, float> clicks[] = {{kRockerRightX, 2.0f}, {kRockerRightX, 3.0f}, {kRockerLeftX, 2.0f}};
    for (const auto& click : clicks) {
        InputScript script;
        script.clickAt(kHostX + click.first, kHostY + kRockerY);
        ASSERT_TRUE(play(script));
        EXPECT_EQ(std::vector<float>{click.second}, writtenTo(kControllerPort)) << "clicked at " << click.first;
        EXPECT_EQ(1u, writes.size());
    }
}

// What the host says moves the panel, and the panel says nothing back.
struct PortEventCase {
    uint32_t port;
    float portValue;
    int slider;
    float sliderValue;
};
const PortEventCase kPortEvents[] = {
    {kFrequencyOutPort, 3800.0f, 0, 1.0f},  // MIDI moved the filter
    {kFrequencyPort, 800.0f, 0, 0.0f},
    {kFrequencyOutPort, 2300.0f, 0, 0.5f},
    {kGainPort, 0.0f, 1, 0.0f},
    {kGainPort, 0.5f, 1, 0.5f},
    {kPeakPort, 1.0f, 2, 1.0f},
    {kPeakPort, 0.25f, 2, 0.25f},
};

// A host that has not run the plug-in (Qtractor with its engine stopped)
// reports the frequency output as it holds it, 0 or worse: the panel shows
// the input's 2300 as it does once the plug-in reports 2300 itself.
TEST_F(Lv2UiTest, UntilThePluginRunsThePanelShowsTheFrequencyInput) {
    ASSERT_NO_FATAL_FAILURE(instantiate(0.0f));
    for (float unreported : {std::nanf(""), 5000.0f, 799.0f})
        sendPort(kFrequencyOutPort, unreported);
    idle();
    const Pixels neverRun = seen();
    EXPECT_TRUE(areaMatches(neverRun, kSliderRects[0], sliderPicture(handleTopFor(0.5f)), 0, 0));
    sendPort(kFrequencyOutPort, 2300.0f);
    idle();
    EXPECT_EQ(0, compareText(seen(), neverRun, textAreas()[0], 0xCCCCCC).differing) << "the read-out is not 2300's";
}

TEST_F(Lv2UiTest, PortEventsMoveThePanel) {
    ASSERT_NO_FATAL_FAILURE(instantiate());
    for (const PortEventCase& event : kPortEvents) {
        SCOPED_TRACE(testing::Message() << "port " << event.port << " = " << event.portValue);
        sendPort(event.port, event.portValue);
        idle();
        EXPECT_TRUE(
            areaMatches(seen(), kSliderRects[event.slider], sliderPicture(handleTopFor(event.sliderValue)), 0, 0));
    }
    // The controller read-out follows its port.
    const Pixels before = seen();
    sendPort(kControllerPort, 64.0f);
    idle();
    EXPECT_GT(compareText(seen(), before, textAreas()[3], 0xCCCCCC).differing, 0);
    EXPECT_TRUE(writes.empty());
}

}  // namespace
