// The controls on a frame in a host window, as the tests of every window
// system see them: an editor and a listener that write into one timeline,
// the editor's slider and rocker where the panel layout puts them, and the
// pixels read back. The cases that look the same everywhere are in
// ControlsCases.cpp, compiled once into a library; what differs per system
// (the host window, delivering messages, reading pixels, where the bitmaps
// come from) is answered by the test program that links it, in
// tests/toolkit/ over the stub or in tests/win32/.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/controls/CControl.h"
#include "toolkit/controls/CParamDisplay.h"
#include "toolkit/controls/CRockerSwitch.h"
#include "toolkit/controls/CSlider.h"
#include "toolkit/drawing/CDrawContext.h"
#include "toolkit/editor/ViewTreeEditor.h"
#include "toolkit/views/CFrame.h"
#include "tests/editor/ScaledPanel.h"

namespace controlstest {

using quavixtest::Picture;
using VSTGUI::CPoint;
using VSTGUI::CRect;

// --- what a gesture reports ---

// The frame's edits through the editor and the listener's notifications, in
// one timeline.
struct Event {
    enum Kind { begin, changed, end, modifier } kind;
    int32_t tag;
    float value;
    bool hadContext;
    bool operator==(const Event& other) const { return kind == other.kind && tag == other.tag && value == other.value; }
};

std::string describe(const std::vector<Event>& events);
inline Event begins(int32_t tag) { return Event{Event::begin, tag, 0.0f, false}; }
inline Event ends(int32_t tag) { return Event{Event::end, tag, 0.0f, false}; }
inline Event changes(int32_t tag, float value) { return Event{Event::changed, tag, value, false}; }

struct Timeline {
    std::vector<Event> events;
    void add(Event event) { events.push_back(event); }
    std::vector<float> changedValues() const;
};

// Stands in for the effect's editor: the frame reaches it for edits and idle.
class RecordingEditor : public AEffGUIEditor {
public:
    explicit RecordingEditor(Timeline& timeline) : AEffGUIEditor(nullptr), timeline(timeline) {}
    void attach(VSTGUI::CFrame* newFrame) { frame = newFrame; }
    void beginEdit(VstInt32 index) override { timeline.add(begins(index)); }
    void endEdit(VstInt32 index) override { timeline.add(ends(index)); }

private:
    Timeline& timeline;
};

class RecordingListener : public CControlListener {
public:
    explicit RecordingListener(Timeline& timeline) : timeline(timeline) {}
    void valueChanged(VSTGUI::CDrawContext* context, VSTGUI::CControl* control) override {
        timeline.add(Event{Event::changed, control->getTag(), control->getValue(), context != nullptr});
    }
    int32_t modifierClicked(VSTGUI::CDrawContext* /*context*/, VSTGUI::CControl* control, int32_t buttons) override {
        timeline.add(Event{Event::modifier, control->getTag(), static_cast<float>(buttons), true});
        return consumeModifierClicks ? 1 : 0;
    }
    bool consumeModifierClicks = false;

private:
    Timeline& timeline;
};

// --- where the editor's controls are ---

// The panel layout applied to the bitmaps this system loads.
struct PanelGeometry {
    CRect frame;   // the background's size
    CRect slider;  // the frequency slider
    int32_t sliderMinPos = 0;
    int32_t sliderMaxPos = 0;
    CRect readout;  // the frequency read-out
    CRect rocker;
    int32_t rockerStateHeight = 0;

    // How far the handle's top row travels, and where it is for a value.
    int32_t handleRange() const { return sliderMaxPos - sliderMinPos; }
    int32_t handleTopFor(float value) const { return static_cast<int32_t>(handleRange() * (1.0f - value)); }
    CPoint inSlider(int32_t rowsDown) const { return CPoint(slider.left + slider.width() / 2, slider.top + rowsDown); }
    CPoint rockerLeftHalf() const { return CPoint(rocker.left + rocker.width() / 4, rocker.top + rocker.height() / 2); }
    CPoint rockerRightHalf() const {
        return CPoint(rocker.right - rocker.width() / 4, rocker.top + rocker.height() / 2);
    }
};

// The layout's frequency controls and the rocker for the bitmaps as this
// system loads them.
PanelGeometry measurePanel();
// Anything with at(x, y) in 0xRRGGBB, read into a picture.
template <typename Seen>
Picture pictureOf(const Seen& seen, int width, int height) {
    Picture picture{width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.rgb.push_back(seen.at(x, y));
    return picture;
}

// --- answered by each system's test program ---

// The window a host gives the editor, at that place on the screen.
void* openHostWindow(const CRect& onScreen);
void closeHostWindow(void* window);
// What the system needs before each case (the editor's bitmaps, where they
// must be given; the pointer at rest), and to forget it after.
void setUpSystem();
void tearDownSystem();
// The first paint of a new frame's window, which is all it draws until idle.
void paintFirst(VSTGUI::CFrame* frame);
// Hands the window system's pending messages to their windows.
void deliverMessages();
// What the frame's window shows, a bitmap's own pixels, and what a view
// draws into a fresh canvas of that size filled with the background colour.
Picture windowPixels(VSTGUI::CFrame* frame);
Picture bitmapPixels(int32_t resourceId);
Picture drawnOnCanvas(VSTGUI::CView& view, int width, int height, uint32_t background);

// What a display draws into a canvas just past its rectangle, pre-filled.
inline Picture drawDisplay(VSTGUI::CParamDisplay& display, uint32_t canvasColor) {
    CRect size;
    display.getViewSize(size);
    return drawnOnCanvas(display, size.right + 2, size.bottom + 2, canvasColor);
}
inline int countOf(const Picture& picture, uint32_t color) {
    return static_cast<int>(std::count(picture.rgb.begin(), picture.rgb.end(), color));
}

// --- the fixture ---

class ControlsTest : public ::testing::Test {
protected:
    ControlsTest() : editor(timeline), listener(timeline) {
        setUpSystem();
        panel = measurePanel();
        host = openHostWindow(CRect(kHostX, kHostY, kHostX + panel.frame.width(), kHostY + panel.frame.height()));
    }
    ~ControlsTest() override {
        closeHostWindow(host);
        tearDownSystem();
    }
    void SetUp() override {
        frame = new VSTGUI::CFrame(panel.frame, host, &editor);
        editor.attach(frame);
        paintFirst(frame);
    }
    void TearDown() override {
        editor.attach(nullptr);
        delete frame;
        deliverMessages();
    }

    template <typename View>
    View* adopt(View* view) {
        frame->addView(view);
        return view;
    }
    // The editor's own slider and rocker, and detached ones made the same way.
    VSTGUI::CVerticalSlider* addEditorSlider(int32_t tag = 0) { return adopt(makeEditorSlider(&listener, tag)); }
    VSTGUI::CRockerSwitch* addEditorRocker() { return adopt(makeEditorRocker(&listener)); }
    VSTGUI::CVerticalSlider* makeEditorSlider(CControlListener* to, int32_t tag) const;
    VSTGUI::CRockerSwitch* makeEditorRocker(CControlListener* to) const;
    // The slider as it must look, the size of its track: the track, with the
    // handle's non-white pixels one column in and handleTop rows down.
    std::vector<uint32_t> sliderPicture(int handleTop) const;

    // Lets the frame draw what is dirty, as a host's idle would.
    void idle() {
        deliverMessages();
        frame->idle();
    }
    Picture seen() const { return windowPixels(frame); }

    // A context on the frame window for calling handlers directly.
    struct Context {
        explicit Context(VSTGUI::CFrame* frame) : context(frame->createDrawContext()) {}
        ~Context() { context->dropReference(); }
        VSTGUI::CDrawContext* context;
    };

    static constexpr int kHostX = 60;  // where the host window sits on the screen
    static constexpr int kHostY = 50;
    PanelGeometry panel;
    void* host = nullptr;
    Timeline timeline;
    RecordingEditor editor;
    RecordingListener listener;
    VSTGUI::CFrame* frame = nullptr;
};

}  // namespace controlstest
