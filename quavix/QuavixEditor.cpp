#include "quavix/QuavixEditor.h"

#include <cmath>
#include <cstdlib>
#include <new>
#include <thread>

#include "toolkit/controls/CParamDisplay.h"
#include "toolkit/controls/CRockerSwitch.h"
#include "toolkit/controls/CSlider.h"
#include "quavix/ParameterText.h"
#include "quavix/Parameters.h"
#include "quavix/QuavixConfig.h"
#include "toolkit/views/CFrame.h"
#include "framework/EffectBase.h"
#include "toolkit/drawing/CBitmap.h"

using namespace VSTGUI;
using namespace quavix;
using namespace quavix::panel;

namespace {

// What the rocker reports: a press on its right half, and rest; a press on
// its left half (-1) only ends the swallow of a right press.
constexpr float kRockerRest = 0.0f;
constexpr float kRockerRight = 1.0f;

// The sharper sets of each bitmap sit where the toolkit looks for them.
static_assert(kBackgroundBitmap2x == kBackgroundBitmap + 2 * kScaledSetIdStep &&
                  kBackgroundBitmap3x == kBackgroundBitmap + 3 * kScaledSetIdStep,
              "scaled bitmap ids");

constexpr int32_t kMinParameterTag = kFrequencyParam;
constexpr int32_t kMaxParameterTag = kControllerParam;

AudioEffect* effectOf(void* userData) { return static_cast<AudioEffect*>(userData); }

}  // namespace

QuavixEditor::QuavixEditor(AudioEffect* effect) : AEffGUIEditor(effect) {
    // The base has already attached this editor to the effect: a throw from
    // here on would leave the effect owning freed memory.
    background = new (std::nothrow) CBitmap(kBackgroundBitmap);
    rect.top = 0;
    rect.left = 0;
    rect.bottom = static_cast<VstInt16>(background ? background->getHeight() : 0);
    rect.right = static_cast<VstInt16>(background ? background->getWidth() : 0);
    // For users whose host says nothing of the display's scale, and for tests.
    setScaleOverride(parseScaleFactor(std::getenv("QUAVIX_SCALE")));
}

QuavixEditor::~QuavixEditor() {
    // Hosts should close first; one that does not must not leave a window
    // whose procedure reaches a frame without an editor.
    if (frame)
        close();
    if (background)
        background->dropReference();
    background = nullptr;
}

bool QuavixEditor::open(void* parentWindow) {
    // A second open without a close must not strand the first frame.
    if (frame)
        close();
    hostWindow = parentWindow;
    CBitmap* track = new CBitmap(kSliderTrackBitmap);
    CBitmap* handle = new CBitmap(kSliderHandleBitmap);
    CBitmap* rockerImage = new CBitmap(kRockerBitmap);
    frame = new CFrame(CRect(0, 0, rect.right, rect.bottom), hostWindow, this, currentScaleFactor());
    frame->setBackground(background);
    addSliders(track, handle);
    addDisplays(track);
    addControllerRocker(track, rockerImage);
    rockerImage->dropReference();
    addControllerDisplay();
    track->dropReference();
    handle->dropReference();
    opened.store(true);
    // A parameter change from another thread while the controls were being
    // made was not shown; take every value once more now that changes reach
    // the controls.
    for (VstInt32 index = kFrequencyParam; index < kNumParams; ++index)
        showParameter(index);
    return true;
}

void QuavixEditor::addSliders(CBitmap* track, CBitmap* handle) {
    const int32_t maxHandlePos = handleMaxPos(track->getHeight(), handle->getHeight());
    CVerticalSlider** sliders[] = {&freqSlider, &gainSlider, &peakSlider};
    for (VstInt32 tag = kFrequencyParam; tag <= kPeakParam; ++tag) {
        const int32_t left = sliderLeft(tag, track->getWidth());
        const CRect size(left, kSliderTop, left + track->getWidth(), kSliderTop + track->getHeight());
        CVerticalSlider* slider = new CVerticalSlider(size, this, tag, kSliderTop, maxHandlePos, handle, track);
        slider->setHandleOffset(CPoint(kHandleInsetX, 0));
        slider->setValue(parameter(tag));
        frame->addView(slider);
        *sliders[tag] = slider;
    }
}

CParamDisplay* QuavixEditor::makeDisplay(const CRect& size, VstInt32 index) {
    CParamDisplay* display = new CParamDisplay(size);
    display->setFont(kFontSmall);
    display->setFontColor(kDisplayFontColor);
    display->setBackColor(kDisplayBackColor);
    display->setFrameColor(kDisplayFrameColor);
    display->setValue(parameter(index));
    return display;
}

void QuavixEditor::addDisplays(CBitmap* track) {
    CParamDisplay** displays[] = {&freqDisplay, &gainDisplay, &peakDisplay};
    CParamDisplayValueToTextWithData conversions[] = {freqToText, gainToText, peakToText};
    for (VstInt32 index = kFrequencyParam; index <= kPeakParam; ++index) {
        const int32_t left = readoutLeft(index, track->getWidth());
        CParamDisplay* display = makeDisplay(CRect(left, kReadoutTop, left + kReadoutWidth, kReadoutBottom), index);
        display->setValueToTextWithData(conversions[index], effect);
        frame->addView(display);
        *displays[index] = display;
    }
}

void QuavixEditor::addControllerRocker(CBitmap* track, CBitmap* rockerImage) {
    const int32_t stateHeight = rockerImage->getHeight() / kRockerStates;
    const int32_t left = rockerLeft(track->getWidth());
    const CRect size(left, kRockerTop, left + rockerImage->getWidth(), kRockerTop + stateHeight);
    // The rocker starts at rest; it is never set from the effect.
    controllerRocker =
        new CRockerSwitch(size, this, kControllerParam, stateHeight, rockerImage, CPoint(0, 0), kStyleHorizontal);
    frame->addView(controllerRocker);
}

void QuavixEditor::addControllerDisplay() {
    CRect size;
    controllerRocker->getViewSize(size);
    size.moveBy(0, kControllerReadoutDrop);
    controllerDisplay = makeDisplay(size, kControllerParam);
    controllerDisplay->setValueToTextWithData(controllerToText, effect);
    frame->addView(controllerDisplay);
}

void QuavixEditor::close() {
    opened.store(false);
    // A setParameter on another thread that saw the editor open may still be
    // storing into a control; the controls must outlive it. Writers that
    // arrive later see the editor closed at their first look and never count
    // themselves, so the wait ends even under constant traffic.
    while (parameterWriters.load() != 0)
        std::this_thread::yield();
    if (frame) {
        delete frame;
        frame = nullptr;
    }
    AEffGUIEditor::close();
}

float QuavixEditor::parameter(VstInt32 index) const { return effect ? effect->getParameter(index) : 0.0f; }

void QuavixEditor::setParameter(VstInt32 index, float /*value*/) {
    // Closed: nothing to touch, and nothing for close to wait for.
    if (!opened.load())
        return;
    // Announce the store, then look again: either close sees this writer and
    // waits for it, or this writer sees the editor closed (both sequentially
    // consistent), so no store reaches a control that close destroys.
    parameterWriters.fetch_add(1);
    if (opened.load())
        showParameter(index);
    parameterWriters.fetch_sub(1);
}

void QuavixEditor::showParameter(VstInt32 index) {
    switch (index) {
    case kFrequencyParam:
    case kGainParam:
    case kPeakParam: {
        const float current = parameter(index);
        if (CVerticalSlider* slider = getSlider(index))
            slider->setValue(current);
        if (CParamDisplay* display = getDisplay(index))
            display->setValue(current);
        break;
    }
    case kControllerParam:
        // The rocker is a momentary switch, never set from the effect.
        if (controllerDisplay)
            controllerDisplay->setValue(parameter(index));
        break;
    default:
        break;
    }
}

void QuavixEditor::valueChanged(CDrawContext* /*context*/, CControl* control) {
    const float value = control->getValue();
    const int32_t tag = control->getTag();
    if (tag < kMinParameterTag || tag > kMaxParameterTag || !effect)
        return;
    if (control == controllerRocker) {
        rockerMoved(value);
        return;
    }
    effect->setParameterAutomated(tag, value);
    // Keep exactly the value the user gave, not its round trip through the effect.
    control->setValue(value);
}

// The right half steps up at the press and swallows its release; the left
// half steps down at the release; a press that slides from one half to the
// other steps as it enters the right half and only ends the swallow on the
// left. A position reported twice is one position.
void QuavixEditor::rockerMoved(float position) {
    if (position == rockerPosition)
        return;
    rockerPosition = position;
    if (position == kRockerRight) {
        stepController(+1);
        rockerSteppedUp = true;
    } else if (position == kRockerRest && !rockerSteppedUp) {
        stepController(-1);
    } else {
        rockerSteppedUp = false;
    }
}

// The new number goes to the host as one complete edit, as a value it can
// save, echo and restore; 127 and 0 wrap into each other.
void QuavixEditor::stepController(int32_t direction) {
    const int32_t current =
        static_cast<int32_t>(std::lround(static_cast<double>(parameter(kControllerParam)) * kHighestController));
    const int32_t count = kHighestController + 1;
    const int32_t next = ((current + direction) % count + count) % count;
    AEffGUIEditor::beginEdit(kControllerParam);
    effect->setParameterAutomated(kControllerParam, static_cast<float>(next / double(kHighestController)));
    AEffGUIEditor::endEdit(kControllerParam);
}

void QuavixEditor::beginEdit(VstInt32 index) {
    if (index != kControllerParam)
        AEffGUIEditor::beginEdit(index);
}

void QuavixEditor::endEdit(VstInt32 index) {
    if (index != kControllerParam)
        AEffGUIEditor::endEdit(index);
}

CVerticalSlider* QuavixEditor::getSlider(VstInt32 index) const {
    switch (index) {
    case kFrequencyParam:
        return freqSlider;
    case kGainParam:
        return gainSlider;
    case kPeakParam:
        return peakSlider;
    default:
        return nullptr;
    }
}

CParamDisplay* QuavixEditor::getDisplay(VstInt32 index) const {
    switch (index) {
    case kFrequencyParam:
        return freqDisplay;
    case kGainParam:
        return gainDisplay;
    case kPeakParam:
        return peakDisplay;
    case kControllerParam:
        return controllerDisplay;
    default:
        return nullptr;
    }
}

void QuavixEditor::freqToText(float value, char* text, void* userData) {
    writeReadOut(effectOf(userData), kFrequencyParam, ReadOutPlace::kPanel, unitValue(kFrequencyParam, value), text,
                 kParamDisplayTextSize);
}

// In decibels of the factor the effect applies for this value, so that the
// editor and the host's own read-out always agree.
void QuavixEditor::gainToText(float value, char* text, void* userData) {
    writeReadOut(effectOf(userData), kGainParam, ReadOutPlace::kPanel, value * kGainAtFullScale, text,
                 kParamDisplayTextSize);
}

// The damping in single precision, as the effect keeps it.
void QuavixEditor::peakToText(float value, char* text, void* userData) {
    writeReadOut(effectOf(userData), kPeakParam, ReadOutPlace::kPanel, 1.0f - value, text, kParamDisplayTextSize);
}

void QuavixEditor::controllerToText(float /*value*/, char* text, void* userData) {
    // The effect's controller number, whatever value the read-out holds. The
    // effect reports it as number / 127, which gives it back exactly.
    text[0] = 0;
    AudioEffect* owner = effectOf(userData);
    if (!owner)
        return;
    const double number = std::round(static_cast<double>(owner->getParameter(kControllerParam)) *
                                     static_cast<double>(kHighestController));
    writeReadOut(owner, kControllerParam, ReadOutPlace::kPanel, number, text, kParamDisplayTextSize);
}
