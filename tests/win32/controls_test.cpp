// The controls on a real frame in a real window, where they need one: drags
// by real input, the module's bitmap resources drawn through GDI, and the
// parameter display's text as GDI draws it. Pixels are read back and
// compared with pictures made from the bitmap resources and plain GDI. The
// rest of the controls' behaviour is tested over the stub, in tests/toolkit.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/editor/ViewTreeEditor.h"
#include "toolkit/controls/CControl.h"
#include "toolkit/controls/CParamDisplay.h"
#include "toolkit/controls/CRockerSwitch.h"
#include "toolkit/controls/CSlider.h"
#include "quavix/QuavixConfig.h"
#include "toolkit/views/CFrame.h"
#include "toolkit/drawing/CBitmap.h"
#include "toolkit/drawing/CDrawContext.h"
#include "toolkit/drawing/COffscreenContext.h"
#include "tests/win32/support/CanvasContext.h"
#include "tests/win32/support/HostWindow.h"
#include "tests/win32/support/MessagePump.h"
#include "tests/win32/support/PixelCanvas.h"
#include "tests/win32/support/ReadoutPicture.h"
#include "tests/win32/support/RealInput.h"
#include "tests/win32/support/WindowPixels.h"

using namespace VSTGUI;
using quavixtest::CanvasContext;
using quavixtest::HostWindow;
using quavixtest::InputScript;
using quavixtest::PixelCanvas;
using quavixtest::pumpPendingMessages;
using quavixtest::pumpUntil;
using quavixtest::regionMatches;
using quavixtest::ResourcePicture;
using quavixtest::sliderPicture;
using quavixtest::WindowPixels;

namespace {

constexpr int kHostX = 60;
constexpr int kHostY = 50;
constexpr int kFrameWidth = 330;
constexpr int kFrameHeight = 354;

// The editor's slider: track 16 × 160 at (50, 85), handle 14 × 12 one pixel in.
const CRect kSliderRect(50, 85, 66, 245);
constexpr int32_t kSliderMinPos = 85;
constexpr int32_t kSliderMaxPos = 232;
const CRect kRockerRect(241, 164, 293, 182);
constexpr int32_t kRockerStateHeight = 18;

// Everything a gesture reports, in one timeline: the frame's edits through
// the editor and the listener's notifications.
struct Event {
    enum Kind { begin, changed, end, modifier } kind;
    int32_t tag;
    float value;
    bool hadContext;
    bool operator==(const Event& other) const { return kind == other.kind && tag == other.tag && value == other.value; }
};

std::string describe(const std::vector<Event>& events) {
    std::string text;
    for (const Event& event : events) {
        const char* names[] = {"begin", "changed", "end", "modifier"};
        text +=
            std::string(names[event.kind]) + "(" + std::to_string(event.tag) + "," + std::to_string(event.value) + ") ";
    }
    return text;
}

Event begins(int32_t tag) { return Event{Event::begin, tag, 0.0f, false}; }
Event ends(int32_t tag) { return Event{Event::end, tag, 0.0f, false}; }
Event changes(int32_t tag, float value) { return Event{Event::changed, tag, value, false}; }

class Timeline {
public:
    std::vector<Event> events;
    void add(Event event) { events.push_back(event); }
    std::vector<float> changedValues() const {
        std::vector<float> values;
        for (const Event& event : events)
            if (event.kind == Event::changed)
                values.push_back(event.value);
        return values;
    }
};

// Stands in for the effect's editor: the frame reaches it for edits and idle.
class RecordingEditor : public AEffGUIEditor {
public:
    explicit RecordingEditor(Timeline& timeline) : AEffGUIEditor(nullptr), timeline(timeline) {}
    void attach(CFrame* newFrame) { frame = newFrame; }
    void beginEdit(VstInt32 index) override { timeline.add(Event{Event::begin, index, 0.0f, false}); }
    void endEdit(VstInt32 index) override { timeline.add(Event{Event::end, index, 0.0f, false}); }

private:
    Timeline& timeline;
};

class RecordingListener : public CControlListener {
public:
    explicit RecordingListener(Timeline& timeline) : timeline(timeline) {}
    void valueChanged(CDrawContext* context, CControl* control) override {
        timeline.add(Event{Event::changed, control->getTag(), control->getValue(), context != nullptr});
    }
    int32_t modifierClicked(CDrawContext* /*context*/, CControl* control, int32_t buttons) override {
        timeline.add(Event{Event::modifier, control->getTag(), static_cast<float>(buttons), true});
        return consumeModifierClicks ? 1 : 0;
    }
    bool consumeModifierClicks = false;

private:
    Timeline& timeline;
};

// The smallest concrete control: draws nothing, counts its draws.
class ProbeControl : public CControl {
public:
    ProbeControl(const CRect& size, CControlListener* listener, int32_t tag) : CControl(size, listener, tag) {}
    void draw(CDrawContext* /*context*/) override {
        ++draws;
        setDirty(false);
    }
    int draws = 0;
};

// A frame on a borderless host window, with an editor and a listener that
// write into one timeline.
class ControlsTest : public ::testing::Test {
protected:
    ControlsTest() : host(kHostX, kHostY, kFrameWidth, kFrameHeight), editor(timeline), listener(timeline) {}

    void SetUp() override {
        frame = new CFrame(CRect(0, 0, kFrameWidth, kFrameHeight), host.handle(), &editor);
        editor.attach(frame);
        // Nothing is drawn at idle before the first paint.
        UpdateWindow(static_cast<HWND>(frame->getSystemWindow()));
        pumpUntil([] { return false; }, 100);
    }
    void TearDown() override {
        editor.attach(nullptr);
        delete frame;
        pumpPendingMessages();
    }

    template <typename View>
    View* adopt(View* view) {
        frame->addView(view);
        return view;
    }
    CVerticalSlider* addEditorSlider(int32_t tag = 0) {
        CBitmap* track = new CBitmap(quavix::kSliderTrackBitmap);
        CBitmap* handle = new CBitmap(quavix::kSliderHandleBitmap);
        CVerticalSlider* slider =
            new CVerticalSlider(kSliderRect, &listener, tag, kSliderMinPos, kSliderMaxPos, handle, track);
        slider->setHandleOffset(CPoint(1, 0));
        track->dropReference();
        handle->dropReference();
        return adopt(slider);
    }
    CRockerSwitch* addEditorRocker() {
        CBitmap* image = new CBitmap(quavix::kRockerBitmap);
        CRockerSwitch* rocker = new CRockerSwitch(kRockerRect, &listener, 3, kRockerStateHeight, image);
        image->dropReference();
        return adopt(rocker);
    }
    // Lets the frame draw what is dirty, as a host's idle would.
    void idle() {
        pumpPendingMessages();
        frame->idle();
    }
    POINT screen(int x, int y) const { return host.toScreen(x, y); }
    WindowPixels seen() const { return WindowPixels(static_cast<HWND>(frame->getSystemWindow())); }

    // A context on the frame window for calling handlers directly.
    struct Context {
        explicit Context(CFrame* frame) : context(frame->createDrawContext()) {}
        ~Context() { context->dropReference(); }
        CDrawContext* context;
    };

    HostWindow host;
    Timeline timeline;
    RecordingEditor editor;
    RecordingListener listener;
    CFrame* frame = nullptr;
};

TEST_F(ControlsTest, DetachedSliderDrawsHandleWhereItsValueSays) {
    CBitmap* handle = new CBitmap(quavix::kSliderHandleBitmap);
    CBitmap* track = new CBitmap(quavix::kSliderTrackBitmap);
    CVerticalSlider slider(kSliderRect, nullptr, 0, kSliderMinPos, kSliderMaxPos, handle, track);
    slider.setHandleOffset(CPoint(1, 0));
    handle->dropReference();
    track->dropReference();
    // value → the handle's top row inside the slider; above 1 stops at the top.
    const std::vector<std::pair<float, int>> cases = {{1.0f, 0}, {0.0f, 147}, {0.5f, 73}, {2.0f, 0}};
    for (const auto& [value, top] : cases) {
        CanvasContext target(100, 260, 0x123456);
        slider.setValue(value);
        slider.draw(target.context);
        EXPECT_TRUE(regionMatches(target, kSliderRect.left, kSliderRect.top, sliderPicture(top), 16, 160))
            << "value " << value;
        EXPECT_FALSE(slider.isDirty());
        EXPECT_EQ(0x123456u, target.at(kSliderRect.left - 1, kSliderRect.top));
        EXPECT_EQ(0x123456u, target.at(kSliderRect.left, kSliderRect.bottom));
    }
}

TEST_F(ControlsTest, AttachedSliderDrawsThroughItsOwnOffscreen) {
    CVerticalSlider* slider = addEditorSlider();
    ASSERT_NE(nullptr, slider->getOffscreen());
    EXPECT_EQ(16, slider->getOffscreen()->getWidth());
    EXPECT_EQ(160, slider->getOffscreen()->getHeight());
    slider->setValue(1.0f);
    idle();
    EXPECT_TRUE(regionMatches(seen(), kSliderRect.left, kSliderRect.top, sliderPicture(0), 16, 160));
    slider->setValue(0.0f);
    idle();
    EXPECT_TRUE(regionMatches(seen(), kSliderRect.left, kSliderRect.top, sliderPicture(147), 16, 160));
    // Removed without being forgotten: the frame's reference is now ours.
    frame->removeView(slider, false);
    EXPECT_EQ(nullptr, slider->getOffscreen());
    slider->dropReference();
}

TEST_F(ControlsTest, SliderWithoutFreeClickDragsOnlyByItsHandleKeepingTheGrip) {
    CVerticalSlider* slider = addEditorSlider(0);
    slider->setFreeClick(false);
    slider->setValue(0.5f);  // handle rows 73..84 of the slider: frame rows 158..169
    idle();
    // A press beside the handle does nothing.
    ASSERT_TRUE(InputScript().clickAt(screen(58, 120)).playWhilePumping());
    EXPECT_TRUE(timeline.events.empty()) << describe(timeline.events);
    EXPECT_EQ(0.5f, slider->getValue());

    // Grab the handle four rows below its top and pull it 21 rows down.
    InputScript drag;
    drag.moveTo(screen(58, 162)).press().dragTo(screen(58, 162), screen(58, 183), 3, 30).pause(100).release();
    ASSERT_TRUE(drag.playWhilePumping());
    ASSERT_GE(timeline.events.size(), 3u) << describe(timeline.events);
    EXPECT_EQ(begins(0), timeline.events.front());
    EXPECT_EQ(ends(0), timeline.events.back());
    // The grip stays under the pointer: the first value is the handle's own
    // pixel (73 of 147 from the top, within a pixel of 0.5), the last 21 rows
    // further down.
    const std::vector<float> values = timeline.changedValues();
    ASSERT_FALSE(values.empty());
    EXPECT_FLOAT_EQ(1.0f - 73.0f / 147.0f, values.front());
    EXPECT_FLOAT_EQ(1.0f - 94.0f / 147.0f, slider->getValue());
    for (size_t i = 1; i < values.size(); ++i)
        EXPECT_LE(values[i], values[i - 1]);
}

// ---------------------------------------------------------------- rocker switch

TEST_F(ControlsTest, RockerShowsTheStateImageOfItsValue) {
    CBitmap* image = new CBitmap(quavix::kRockerBitmap);
    CRockerSwitch rocker(kRockerRect, nullptr, 3, kRockerStateHeight, image);
    image->dropReference();
    const ResourcePicture picture(quavix::kRockerBitmap);
    ASSERT_EQ(52, picture.width);
    ASSERT_EQ(54, picture.height);
    // value → first row of its state in the image; anything else shows the first.
    const std::vector<std::pair<float, int>> cases = {{-1.0f, 0}, {0.0f, 18}, {1.0f, 36}, {0.5f, 0}};
    for (const auto& [value, firstRow] : cases) {
        CanvasContext target(300, 200, 0x00FF00);
        rocker.setValue(value);
        rocker.draw(target.context);
        EXPECT_TRUE(regionMatches(target, kRockerRect.left, kRockerRect.top, picture.rows(firstRow, kRockerStateHeight),
                                  52, 18))
            << "value " << value;
        EXPECT_FALSE(rocker.isDirty());
    }
}

TEST_F(ControlsTest, RockerPressedRightThenDraggedOffSendsTheValueAtPressThenRelease) {
    addEditorRocker();
    idle();
    InputScript gesture;
    gesture.moveTo(screen(280, 173)).press().pause(250).moveTo(screen(280, 230)).pause(250).release();
    ASSERT_TRUE(gesture.playWhilePumping());
    // Off the switch the value at press (0) is sent on every pass until the
    // switch has been redrawn with it; the release sends 0 once more.
    ASSERT_GE(timeline.events.size(), 5u) << describe(timeline.events);
    EXPECT_EQ(begins(3), timeline.events.front());
    EXPECT_EQ(changes(3, 1.0f), timeline.events[1]);
    for (size_t i = 2; i + 1 < timeline.events.size(); ++i)
        EXPECT_EQ(changes(3, 0.0f), timeline.events[i]) << describe(timeline.events);
    EXPECT_EQ(ends(3), timeline.events.back());
}

// What a display draws into a canvas of its own size, canvas pre-filled.
std::unique_ptr<PixelCanvas> drawDisplay(CParamDisplay& display, uint32_t canvasColor) {
    CRect size;
    display.getViewSize(size);
    auto canvas = std::make_unique<PixelCanvas>(size.right + 2, size.bottom + 2, canvasColor);
    CDrawContext* context = new CDrawContext(nullptr, nullptr, canvas->device());
    display.draw(context);
    context->dropReference();
    return canvas;
}

TEST_F(ControlsTest, DisplayDefaultsToWhiteTextInABlackFramedBox) {
    CParamDisplay display(CRect(2, 2, 62, 20));
    EXPECT_EQ(kFontNormal, display.getFont());
    EXPECT_EQ(kAlignCenter, display.getTextAlign());
    EXPECT_EQ(kStyleHorizontal, display.getStyle());
    EXPECT_TRUE(display.getTextTransparency());
    EXPECT_EQ(kColorRed, display.getShadowColor());
    display.setValue(0.5f);
    auto canvas = drawDisplay(display, 0x808080);
    // The box covers exactly the rectangle: outline and fill are black.
    EXPECT_EQ(0x808080u, canvas->at(1, 1));
    EXPECT_EQ(0x000000u, canvas->at(2, 2));
    EXPECT_EQ(0x000000u, canvas->at(61, 19));
    EXPECT_EQ(0x808080u, canvas->at(62, 20));
    // Inside, only the text differs from black: grey levels of white text,
    // centred across the box.
    int textPixels = 0;
    int left = 1000, right = -1;
    for (int y = 3; y < 19; ++y)
        for (int x = 3; x < 61; ++x) {
            const uint32_t pixel = canvas->at(x, y);
            if (pixel == 0)
                continue;
            ++textPixels;
            left = std::min(left, x);
            right = std::max(right, x);
            EXPECT_TRUE((pixel & 0xFF) == ((pixel >> 8) & 0xFF) && (pixel & 0xFF) == (pixel >> 16))
                << std::hex << pixel;
        }
    EXPECT_GT(textPixels, 20);
    EXPECT_LE(std::abs((left - 2) - (61 - right)), 2) << left << " " << right;
}

TEST_F(ControlsTest, TransparentDisplayDrawsOnlyItsText) {
    CParamDisplay display(CRect(2, 2, 62, 20));
    display.setTransparent(true);
    display.setFontColor(CColor{255, 0, 0, 255});
    display.setValue(0.5f);
    auto canvas = drawDisplay(display, 0x00FF00);
    const RECT changed = canvas->boundsNotOf(0x00FF00);
    EXPECT_LT(changed.left, changed.right);
    EXPECT_GT(changed.left, 2);
    EXPECT_LT(changed.right, 62);
    EXPECT_GT(changed.top, 2);
    EXPECT_LT(changed.bottom, 20);
    EXPECT_GT(canvas->count(0xFF0000), 0);
}

TEST_F(ControlsTest, DisplayInTheFrameShowsItsTextAsGdiDrawsIt) {
    CParamDisplay* display = adopt(new CParamDisplay(CRect(45, 260, 75, 274)));
    display->setFont(kFontSmall);
    display->setFontColor(CColor{51, 51, 51, 0});
    display->setBackColor(CColor{204, 204, 204, 0});
    display->setFrameColor(CColor{238, 238, 238, 0});
    display->setValue(0.25f);
    idle();
    const HWND window = static_cast<HWND>(frame->getSystemWindow());
    const quavixtest::ReadoutLook look = {0xCCCCCC, 0xEEEEEE, 0x333333, 11, 400};
    EXPECT_TRUE(regionMatches(seen(), 45, 260, quavixtest::renderReadout(window, 30, 14, look, "0.25"), 30, 14));
    EXPECT_FALSE(regionMatches(seen(), 45, 260, quavixtest::renderReadout(window, 30, 14, look, "0.26"), 30, 14));
    EXPECT_FALSE(regionMatches(seen(), 45, 260, quavixtest::renderReadout(window, 30, 14, look, ""), 30, 14));
}

}  // namespace
