// The controls on a frame over the stub window system: value and dirty
// tracking, the reset-to-default gesture, the slider's geometry, wheel and
// keys, the rocker switch's gestures, and the parameter display's looks
// without its text. Pixels are read back from the stub's canvases and
// compared with pictures composed from the stub's bitmaps. The drawing that
// every system shares is in tests/controls/, answered here for the stub.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <vector>

#include "quavix/QuavixConfig.h"
#include "toolkit/controls/CParamDisplay.h"
#include "toolkit/drawing/CBitmap.h"
#include "toolkit/drawing/CDrawContext.h"
#include "tests/controls/ControlsFixture.h"
#include "tests/toolkit/support/StubCanvas.h"

using namespace VSTGUI;
using quavixtest::CanvasContext;

namespace controlstest {

// ---------------------------------------------------------------- the stub's answers

namespace {

// The editor's pictures in sizes of their own, every pixel its own colour,
// so that a pixel drawn from the wrong place shows. The handle has a white
// border that its transparent colour leaves out.
void addPictures() {
    using quavixtest::makePicture;
    using quavixtest::rgb;
    stub::addPicture(quavix::kBackgroundBitmap, makePicture(330, 354, [](int, int) { return rgb(90, 90, 90); }));
    stub::addPicture(quavix::kSliderTrackBitmap, makePicture(16, 160, [](int x, int y) { return rgb(x, y, 10); }));
    stub::addPicture(quavix::kSliderHandleBitmap, makePicture(14, 12, [](int x, int y) {
                         return x == 0 || y == 0 ? quavixtest::kWhite : rgb(200 + x, 100 + y, 20);
                     }));
    stub::addPicture(quavix::kRockerBitmap, makePicture(52, 54, [](int x, int y) { return rgb(x, y, 30); }));
}

Picture whole(const stub::Canvas& canvas) { return pictureOf(canvas, canvas.width(), canvas.height()); }

}  // namespace

void* openHostWindow(const CRect& onScreen) { return stub::handleOf(stub::createHostWindow(onScreen)); }
void closeHostWindow(void* window) { stub::destroyHostWindow(stub::windowOf(window)); }

void setUpSystem() {
    addPictures();
    stub::resetPointer();
}

void tearDownSystem() { stub::removePictures(); }

void paintFirst(CFrame* frame) {
    CRect size;
    frame->getViewSize(size);
    stub::paint(frame->getSystemWindow(), CRect(0, 0, size.width(), size.height()));
}

void deliverMessages() {}

Picture windowPixels(CFrame* frame) { return whole(stub::windowOf(frame->getSystemWindow())->canvas); }

Picture bitmapPixels(int32_t resourceId) {
    const stub::Picture* found = stub::findPicture(resourceId);
    return found ? Picture{found->width, found->height, found->pixels} : Picture();
}

Picture drawnOnCanvas(CView& view, int width, int height, uint32_t background) {
    CanvasContext target(width, height, background);
    view.draw(target.context);
    return whole(target.canvas);
}

namespace {

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

// ---------------------------------------------------------------- control base

TEST_F(ControlsTest, FreshControlIsDirtyUntilTheFirstIdleDrawsIt) {
    ProbeControl* control = new ProbeControl(CRect(10, 10, 20, 20), &listener, 7);
    EXPECT_EQ(0.0f, control->getValue());
    EXPECT_EQ(1.0f, control->getOldValue());
    EXPECT_TRUE(control->isDirty());
    adopt(control);
    idle();
    EXPECT_EQ(1, control->draws);
    EXPECT_FALSE(control->isDirty());
    EXPECT_EQ(0.0f, control->getOldValue());
    // Storing the value it already shows costs no redraw; another value does.
    control->setValue(0.0f);
    idle();
    EXPECT_EQ(1, control->draws);
    control->setValue(0.25f);
    EXPECT_TRUE(control->isDirty());
    idle();
    EXPECT_EQ(2, control->draws);
}

TEST_F(ControlsTest, DirtyTrackingByValue) {
    ProbeControl control(CRect(0, 0, 5, 5), nullptr, 0);
    control.setValue(-1.0f);
    control.setDirty(true);
    EXPECT_EQ(0.0f, control.getOldValue());
    EXPECT_TRUE(control.isDirty());
    control.setValue(0.3f);
    control.setDirty(true);
    EXPECT_EQ(-1.0f, control.getOldValue());
    control.setDirty(false);
    EXPECT_EQ(0.3f, control.getOldValue());
    EXPECT_FALSE(control.isDirty());
    // A value that is not a number never equals what was drawn.
    control.setValue(std::numeric_limits<float>::quiet_NaN());
    EXPECT_TRUE(control.isDirty());
}

TEST_F(ControlsTest, SetValueStoresWithoutClampingAndClampValueBringsItBack) {
    ProbeControl control(CRect(0, 0, 5, 5), nullptr, 0);
    control.setValue(2.0f);
    EXPECT_EQ(2.0f, control.getValue());
    control.clampValue();
    EXPECT_EQ(1.0f, control.getValue());
    control.setValue(-0.5f);
    control.clampValue();
    EXPECT_EQ(0.0f, control.getValue());
    control.setMin(0.2f);
    control.setMax(0.6f);
    control.setValue(0.7f);
    control.clampValue();
    EXPECT_EQ(0.6f, control.getValue());
    control.setValue(0.1f);
    control.clampValue();
    EXPECT_EQ(0.2f, control.getValue());
}

TEST_F(ControlsTest, ResetToDefaultTakesExactlyLeftButtonWithControl) {
    ProbeControl* control = adopt(new ProbeControl(CRect(10, 10, 20, 20), &listener, 4));
    idle();
    Context context(frame);
    control->setValue(0.9f);
    control->setDirty(false);
    // Shift as well (25) is not the gesture.
    EXPECT_FALSE(control->checkResetToDefault(context.context, kButtonLeft | kModifierControl | kModifierShift));
    EXPECT_FALSE(control->checkResetToDefault(context.context, kModifierControl));
    EXPECT_TRUE(timeline.events.empty());
    EXPECT_EQ(0.9f, control->getValue());

    EXPECT_TRUE(control->checkResetToDefault(context.context, kButtonLeft | kModifierControl));
    EXPECT_EQ(0.5f, control->getValue());
    EXPECT_EQ((std::vector<Event>{begins(4), changes(4, 0.5f), ends(4)}), timeline.events) << describe(timeline.events);
    EXPECT_EQ(control, frame->getFocusView());

    // Already drawn at the default: the edit is still announced, nothing changes.
    timeline.events.clear();
    control->setDirty(false);
    EXPECT_TRUE(control->checkResetToDefault(context.context, kButtonLeft | kModifierControl));
    EXPECT_EQ((std::vector<Event>{begins(4), ends(4)}), timeline.events) << describe(timeline.events);
}

TEST_F(ControlsTest, ResetToDefaultWithoutListenerStillChangesAndEdits) {
    ProbeControl* control = adopt(new ProbeControl(CRect(10, 10, 20, 20), nullptr, 2));
    control->setDefaultValue(0.75f);
    control->setValue(0.1f);
    Context context(frame);
    EXPECT_TRUE(control->checkResetToDefault(context.context, kButtonLeft | kModifierControl));
    EXPECT_EQ(0.75f, control->getValue());
    EXPECT_EQ((std::vector<Event>{begins(2), ends(2)}), timeline.events) << describe(timeline.events);
}

TEST_F(ControlsTest, ClassNamesAreWholeAndCaseSensitive) {
    ProbeControl control(CRect(0, 0, 1, 1), nullptr, 0);
    CVerticalSlider& slider = *adopt(makeEditorSlider(nullptr, 0));
    CRockerSwitch& rocker = *adopt(makeEditorRocker(nullptr));
    CParamDisplay display(CRect(0, 0, 30, 14));

    EXPECT_TRUE(control.isTypeOf("CControl"));
    EXPECT_TRUE(control.isTypeOf("CView"));
    EXPECT_FALSE(control.isTypeOf("ccontrol"));
    EXPECT_FALSE(control.isTypeOf("CControlX"));
    EXPECT_TRUE(slider.isTypeOf("CSlider"));
    EXPECT_TRUE(slider.isTypeOf("CControl"));
    EXPECT_TRUE(slider.isTypeOf("CView"));
    EXPECT_FALSE(slider.isTypeOf("CVerticalSlider"));
    EXPECT_TRUE(rocker.isTypeOf("CRockerSwitch"));
    EXPECT_TRUE(rocker.isTypeOf("CControl"));
    EXPECT_FALSE(rocker.isTypeOf("CSlider"));
    EXPECT_TRUE(display.isTypeOf("CParamDisplay"));
    EXPECT_TRUE(display.isTypeOf("CView"));
    EXPECT_FALSE(display.isTypeOf("CViewContainer"));
}

TEST_F(ControlsTest, ControlsHoldTheirBitmapsAsLongAsTheyLive) {
    CBitmap* handle = new CBitmap(quavix::kSliderHandleBitmap);
    CBitmap* track = new CBitmap(quavix::kSliderTrackBitmap);
    {
        CVerticalSlider slider(panel.slider, nullptr, 0, panel.sliderMinPos, panel.sliderMaxPos, handle, track);
        EXPECT_EQ(2, handle->getNbReference());
        EXPECT_EQ(2, track->getNbReference());
        CBitmap* other = new CBitmap(quavix::kSliderHandleBitmap);
        slider.setHandle(other);
        EXPECT_EQ(1, handle->getNbReference());
        EXPECT_EQ(2, other->getNbReference());
        // Setting the handle it already has keeps it alive.
        other->dropReference();
        slider.setHandle(other);
        EXPECT_EQ(1, other->getNbReference());
        EXPECT_EQ(bitmapPixels(quavix::kSliderHandleBitmap).width, other->getWidth());
    }
    EXPECT_EQ(1, handle->getNbReference());
    EXPECT_EQ(1, track->getNbReference());
    handle->dropReference();
    track->dropReference();
}

// ---------------------------------------------------------------- slider

TEST_F(ControlsTest, SliderGeometryFollowsPositionsAndHandle) {
    CBitmap* handle = new CBitmap(quavix::kSliderHandleBitmap);
    ASSERT_EQ(12, handle->getHeight());
    // Positions are rows of the parent; the slider keeps them from its own
    // top, the far one past the handle.
    CVerticalSlider slider(CRect(10, 20, 26, 180), nullptr, 0, 20, 167, handle, nullptr);
    handle->dropReference();
    EXPECT_EQ(kStyleVertical | kStyleBottom, slider.getStyle());
    EXPECT_EQ(147, slider.getHandleRange());
    EXPECT_EQ(0, slider.getMinPos());
    EXPECT_EQ(159, slider.getMaxPos());
    slider.setHandleOffset(CPoint(1, 3));
    EXPECT_EQ(3, slider.getMinPos());
    EXPECT_EQ(162, slider.getMaxPos());
    // Its wheel step, fine factor and default show in the wheel, key and
    // reset tests below.
    EXPECT_TRUE(slider.wantsFocus());
    EXPECT_TRUE(slider.getFreeClick());

    // Without a handle the travel still counts one pixel of handle.
    CSlider bare(CRect(0, 0, 100, 10), nullptr, 0, 10, 60, nullptr, nullptr, CPoint(), kStyleHorizontal);
    EXPECT_EQ(50, bare.getHandleRange());
    EXPECT_EQ(10, bare.getMinPos());
    EXPECT_EQ(61, bare.getMaxPos());
}

TEST_F(ControlsTest, SliderWheelStepsAndAnnouncesEachChange) {
    CVerticalSlider* slider = addEditorSlider(1);
    idle();
    slider->setValue(0.5f);
    slider->setDirty(false);
    Context context(frame);
    EXPECT_TRUE(slider->onWheel(context.context, panel.inSlider(15), 1.0f));
    const float afterUp = slider->getValue();
    EXPECT_FLOAT_EQ(0.6f, afterUp);
    EXPECT_TRUE(slider->onWheel(context.context, panel.inSlider(15), -3.0f));
    EXPECT_FLOAT_EQ(0.3f, slider->getValue());
    EXPECT_EQ((std::vector<Event>{begins(1), changes(1, afterUp), ends(1), begins(1), changes(1, slider->getValue()),
                                  ends(1)}),
              timeline.events)
        << describe(timeline.events);
    EXPECT_TRUE(timeline.events[1].hadContext);

    // At the end of the range the wheel is still answered, but nothing is sent.
    timeline.events.clear();
    slider->setValue(1.0f);
    slider->setDirty(false);
    EXPECT_TRUE(slider->onWheel(context.context, panel.inSlider(15), 1.0f));
    EXPECT_EQ(1.0f, slider->getValue());
    EXPECT_TRUE(timeline.events.empty()) << describe(timeline.events);

    slider->setMouseEnabled(false);
    EXPECT_FALSE(slider->onWheel(context.context, panel.inSlider(15), -1.0f));
    EXPECT_EQ(1.0f, slider->getValue());
}

TEST_F(ControlsTest, SliderArrowKeysStepAndAreAnsweredAtTheEnds) {
    CVerticalSlider* slider = addEditorSlider(0);
    slider->setValue(0.5f);
    slider->setDirty(false);
    const auto press = [&](unsigned char key, unsigned char modifier) {
        VstKeyCode code = {0, key, modifier};
        const int32_t answer = slider->onKeyDown(code);
        slider->setDirty(false);  // as if drawn at once
        return answer;
    };
    EXPECT_EQ(1, press(VKEY_UP, 0));
    EXPECT_FLOAT_EQ(0.6f, slider->getValue());
    EXPECT_EQ(1, press(VKEY_UP, MODIFIER_SHIFT));
    EXPECT_FLOAT_EQ(0.61f, slider->getValue());
    EXPECT_EQ(1, press(VKEY_DOWN, 0));
    EXPECT_FLOAT_EQ(0.51f, slider->getValue());
    EXPECT_EQ(1, press(VKEY_LEFT, MODIFIER_SHIFT));
    EXPECT_FLOAT_EQ(0.50f, slider->getValue());
    EXPECT_EQ(1, press(VKEY_RIGHT, 0));
    EXPECT_FLOAT_EQ(0.60f, slider->getValue());
    EXPECT_EQ(-1, press(VKEY_TAB, 0));
    EXPECT_EQ(-1, press(VKEY_PAGEUP, 0));
    EXPECT_FLOAT_EQ(0.60f, slider->getValue());
    ASSERT_EQ(15u, timeline.events.size()) << describe(timeline.events);
    EXPECT_FALSE(timeline.events[1].hadContext);

    // Keys work whether or not the mouse is enabled; at the top nothing is sent.
    timeline.events.clear();
    slider->setMouseEnabled(false);
    slider->setValue(1.0f);
    slider->setDirty(false);
    EXPECT_EQ(1, press(VKEY_UP, 0));
    EXPECT_EQ(1.0f, slider->getValue());
    EXPECT_TRUE(timeline.events.empty()) << describe(timeline.events);
    EXPECT_EQ(1, press(VKEY_DOWN, 0));
    EXPECT_FLOAT_EQ(0.9f, slider->getValue());
}

TEST_F(ControlsTest, SliderPressWithTheButtonAlreadyUpIsAnEmptyEdit) {
    CVerticalSlider* slider = addEditorSlider(0);
    slider->setValue(0.3f);
    Context context(frame);
    CPoint where = panel.inSlider(35);
    slider->onMouseDown(context.context, where, kButtonLeft);
    EXPECT_EQ((std::vector<Event>{begins(0), ends(0)}), timeline.events) << describe(timeline.events);
    EXPECT_EQ(0.3f, slider->getValue());
    // Without the left button nothing happens at all.
    timeline.events.clear();
    slider->onMouseDown(context.context, where, kButtonRight);
    EXPECT_TRUE(timeline.events.empty());
}

TEST_F(ControlsTest, SliderOffersModifierClicksToTheListenerFirst) {
    CVerticalSlider* slider = addEditorSlider(0);
    slider->setValue(0.3f);
    slider->setDirty(false);
    Context context(frame);
    CPoint where = panel.inSlider(35);
    listener.consumeModifierClicks = true;
    slider->onMouseDown(context.context, where, kButtonLeft | kModifierControl);
    ASSERT_EQ(1u, timeline.events.size()) << describe(timeline.events);
    EXPECT_EQ(Event::modifier, timeline.events[0].kind);
    EXPECT_EQ(0.3f, slider->getValue());
    // The further bit 64 is offered too.
    slider->onMouseDown(context.context, where, kButtonLeft | 64);
    EXPECT_EQ(2u, timeline.events.size());

    // Not consumed: Control+click resets to the default.
    timeline.events.clear();
    listener.consumeModifierClicks = false;
    slider->onMouseDown(context.context, where, kButtonLeft | kModifierControl);
    EXPECT_EQ((std::vector<Event>{Event{Event::modifier, 0, 17.0f, true}, begins(0), changes(0, 0.5f), ends(0)}),
              timeline.events)
        << describe(timeline.events);
}

TEST_F(ControlsTest, RockerWheelIsOnePressAndRelease) {
    CRockerSwitch* rocker = addEditorRocker();
    idle();
    Context context(frame);
    EXPECT_TRUE(rocker->onWheel(context.context, panel.rockerLeftHalf(), 1.0f));
    EXPECT_TRUE(rocker->onWheel(context.context, panel.rockerLeftHalf(), -2.0f));
    rocker->setDirty(false);
    EXPECT_TRUE(rocker->onWheel(context.context, panel.rockerLeftHalf(), 0.0f));
    rocker->setDirty(false);
    EXPECT_TRUE(rocker->onWheel(context.context, panel.rockerLeftHalf(), std::numeric_limits<float>::quiet_NaN()));
    const std::vector<Event> pressAndRelease = {begins(3), changes(3, -1.0f), changes(3, 0.0f), ends(3),
                                                begins(3), changes(3, 1.0f),  changes(3, 0.0f), ends(3),
                                                begins(3), changes(3, 1.0f),  changes(3, 0.0f), ends(3),
                                                begins(3), changes(3, 1.0f),  changes(3, 0.0f), ends(3)};
    EXPECT_EQ(pressAndRelease, timeline.events) << describe(timeline.events);
    EXPECT_EQ(0.0f, rocker->getValue());
    rocker->setMouseEnabled(false);
    EXPECT_FALSE(rocker->onWheel(context.context, panel.rockerLeftHalf(), 1.0f));
}

TEST_F(ControlsTest, RockerHalvesIncludeEveryEdgeAndTheFirstWinsTheMiddle) {
    CRockerSwitch* rocker = addEditorRocker();
    idle();
    Context context(frame);
    // Called with the button already up: one pass of the loop, then the release.
    const auto pressAt = [&](int x, int y) {
        timeline.events.clear();
        rocker->setDirty(false);
        CPoint where(x, y);
        rocker->onMouseDown(context.context, where, kButtonLeft);
        return timeline.changedValues();
    };
    const CRect& size = panel.rocker;
    const int middle = size.left + size.width() / 2;
    const int y = size.top + size.height() / 2;
    EXPECT_EQ((std::vector<float>{-1.0f, 0.0f}), pressAt(middle, y));
    EXPECT_EQ((std::vector<float>{1.0f, 0.0f}), pressAt(middle + 1, y));
    EXPECT_EQ((std::vector<float>{-1.0f, 0.0f}), pressAt(size.left, size.top));
    EXPECT_EQ((std::vector<float>{1.0f, 0.0f}), pressAt(size.right, size.bottom));
    // Outside both halves the value stays what it was; the release is sent anyway.
    EXPECT_EQ((std::vector<float>{0.0f}), pressAt(size.right + 1, y));
    EXPECT_EQ((std::vector<Event>{begins(3), changes(3, 0.0f), ends(3)}), timeline.events);

    // A vertical rocker splits into top and bottom.
    CRockerSwitch* vertical = adopt(new CRockerSwitch(CRect(10, 10, 30, 50), &listener, 5, 18, nullptr, CPoint(), 0));
    idle();
    timeline.events.clear();
    CPoint top(12, 30);
    vertical->onMouseDown(context.context, top, kButtonLeft);
    EXPECT_EQ((std::vector<float>{-1.0f, 0.0f}), timeline.changedValues());
    timeline.events.clear();
    CPoint bottom(12, 31);
    vertical->setDirty(false);
    vertical->onMouseDown(context.context, bottom, kButtonLeft);
    EXPECT_EQ((std::vector<float>{1.0f, 0.0f}), timeline.changedValues());
}

TEST_F(ControlsTest, RockerOffersModifierClicksToTheListener) {
    CRockerSwitch* rocker = addEditorRocker();
    Context context(frame);
    listener.consumeModifierClicks = true;
    CPoint where = panel.rockerRightHalf();
    rocker->onMouseDown(context.context, where, kButtonLeft | kModifierShift);
    ASSERT_EQ(1u, timeline.events.size()) << describe(timeline.events);
    EXPECT_EQ(Event::modifier, timeline.events[0].kind);
    // Control+click is no reset for a rocker: it presses like any click.
    listener.consumeModifierClicks = false;
    timeline.events.clear();
    rocker->onMouseDown(context.context, where, kButtonLeft | kModifierControl);
    EXPECT_EQ((std::vector<float>{1.0f, 0.0f}), timeline.changedValues());
}

// ---------------------------------------------------------------- parameter display

int plainCalls = 0;
int dataCalls = 0;
void plainConversion(float /*value*/, char* text) {
    ++plainCalls;
    std::strcpy(text, "plain");
}
void dataConversion(float value, char* text, void* userData) {
    ++dataCalls;
    std::snprintf(text, kParamDisplayTextSize, "%s %.2f", static_cast<const char*>(userData),
                  static_cast<double>(value));
}

TEST_F(ControlsTest, DisplayTextComesFromItsConversionOrTwoDecimals) {
    CParamDisplay display(CRect(0, 0, 30, 14));
    char text[kParamDisplayTextSize];
    display.valueText(0.5f, text);
    EXPECT_STREQ("0.50", text);
    display.valueText(12.345f, text);
    EXPECT_STREQ("12.35", text);
    display.valueText(-3.0f, text);
    EXPECT_STREQ("-3.00", text);

    display.setValueToText(plainConversion);
    display.valueText(0.5f, text);
    EXPECT_STREQ("plain", text);
    static const char kLabel[] = "gain";
    display.setValueToTextWithData(dataConversion, const_cast<char*>(kLabel));
    plainCalls = dataCalls = 0;
    display.setValue(0.75f);
    CanvasContext target(40, 20, 0);
    display.draw(target.context);
    display.valueText(0.75f, text);
    EXPECT_STREQ("gain 0.75", text);
    EXPECT_EQ(0, plainCalls);
    EXPECT_EQ(2, dataCalls);
    EXPECT_EQ(kLabel, display.getUserData());
}

TEST_F(ControlsTest, DisplayStylesThatDrawLess) {
    CParamDisplay display(CRect(2, 2, 62, 20));
    display.setBackColor(CColor{10, 20, 30, 255});
    display.setFrameColor(CColor{200, 100, 50, 255});
    display.setValue(0.5f);

    display.setStyle(kStyleNoDraw);
    auto nothing = drawDisplay(display, 0x808080);
    EXPECT_EQ(0, 64 * 22 - countOf(nothing, 0x808080));
    EXPECT_FALSE(display.isDirty());

    display.setStyle(kStyleNoText);
    auto box = drawDisplay(display, 0x808080);
    EXPECT_EQ(0xC86432u, box.at(2, 2));
    EXPECT_EQ(0xC86432u, box.at(61, 19));
    EXPECT_EQ(0x0A141Eu, box.at(30, 10));
    // Outline plus fill, and no text pixel anywhere.
    EXPECT_EQ(60 * 18, countOf(box, 0xC86432) + countOf(box, 0x0A141E));

    display.setStyle(kStyleNoText | kStyleNoFrame);
    auto unframed = drawDisplay(display, 0x808080);
    EXPECT_EQ(0x808080u, unframed.at(2, 2));  // the fill starts one pixel in
    EXPECT_EQ(0x0A141Eu, unframed.at(61, 19));
    EXPECT_EQ(59 * 17, countOf(unframed, 0x0A141E));
}

TEST_F(ControlsTest, DisplayThreeDimensionalEdges) {
    const CRect rect(4, 3, 40, 17);
    for (bool sunken : {true, false}) {
        CParamDisplay display(rect);
        display.setStyle(kStyleNoText | (sunken ? kStyle3DIn : kStyle3DOut));
        const uint32_t back = 0x0A141E, frameColor = 0xC86432, canvasColor = 0x808080;
        display.setBackColor(CColor{10, 20, 30, 255});
        display.setFrameColor(CColor{200, 100, 50, 255});
        auto canvas = drawDisplay(display, canvasColor);
        const uint32_t first = sunken ? back : frameColor, second = sunken ? frameColor : back;
        const int L = rect.left, T = rect.top, R = rect.right, B = rect.bottom;
        for (int y = 0; y < canvas.height; ++y)
            for (int x = 0; x < canvas.width; ++x) {
                uint32_t want = canvasColor;
                if (x > L && x < R && y > T && y < B)
                    want = back;  // the fill, no plain outline
                if ((x == L && y >= T + 2 && y <= B - 1) || (y == T + 1 && x >= L && x <= R - 2))
                    want = first;
                if ((x == R - 1 && y >= T + 1 && y <= B - 2) || (y == B - 1 && x >= L + 1 && x <= R - 1))
                    want = second;
                ASSERT_EQ(want, canvas.at(x, y)) << (sunken ? "sunken" : "raised") << " at " << x << ", " << y;
            }
    }
}

TEST_F(ControlsTest, DisplayAsksForARedrawOnlyWhenAPropertyChanges) {
    CParamDisplay display(CRect(0, 0, 30, 14));
    const auto dirtiedBy = [&](const std::function<void()>& change) {
        display.setDirty(false);
        change();
        return display.isDirty();
    };
    EXPECT_FALSE(dirtiedBy([&] { display.setFontColor(kColorWhite); }));
    EXPECT_TRUE(dirtiedBy([&] { display.setFontColor(CColor{255, 255, 255, 254}); }));
    EXPECT_FALSE(dirtiedBy([&] { display.setBackColor(kColorBlack); }));
    EXPECT_TRUE(dirtiedBy([&] { display.setBackColor(CColor{0, 0, 1, 255}); }));
    EXPECT_FALSE(dirtiedBy([&] { display.setFrameColor(kColorBlack); }));
    EXPECT_TRUE(dirtiedBy([&] { display.setShadowColor(kColorBlue); }));
    EXPECT_FALSE(dirtiedBy([&] { display.setFont(kFontNormal); }));
    EXPECT_TRUE(dirtiedBy([&] { display.setFont(kFontSmall); }));
    EXPECT_FALSE(dirtiedBy([&] { display.setTextAlign(kAlignCenter); }));
    EXPECT_TRUE(dirtiedBy([&] { display.setTextAlign(kAlignRight); }));
    EXPECT_FALSE(dirtiedBy([&] { display.setStyle(kStyleHorizontal); }));
    EXPECT_TRUE(dirtiedBy([&] { display.setStyle(kStyleNoFrame); }));
    EXPECT_FALSE(dirtiedBy([&] { display.setTextFace(0); }));
    EXPECT_TRUE(dirtiedBy([&] { display.setTextFace(kFontStyleBold); }));
    EXPECT_FALSE(dirtiedBy([&] { display.setTextTransparency(false); }));
    EXPECT_FALSE(dirtiedBy([&] { display.setValueToText(plainConversion); }));
}

}  // namespace
}  // namespace controlstest
