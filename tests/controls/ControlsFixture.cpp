// The fixture's parts that need the panel layout and the bitmaps.
#include "tests/controls/ControlsFixture.h"

#include "quavix/QuavixConfig.h"
#include "toolkit/drawing/CBitmap.h"

using namespace VSTGUI;

namespace controlstest {

namespace {

CPoint sizeOf(int32_t resourceId) {
    CBitmap* bitmap = new CBitmap(resourceId);
    const CPoint size(bitmap->getWidth(), bitmap->getHeight());
    bitmap->dropReference();
    return size;
}

}  // namespace

PanelGeometry measurePanel() {
    using namespace quavix::panel;
    const CPoint background = sizeOf(quavix::kBackgroundBitmap);
    const CPoint track = sizeOf(quavix::kSliderTrackBitmap);
    const CPoint handle = sizeOf(quavix::kSliderHandleBitmap);
    const CPoint rocker = sizeOf(quavix::kRockerBitmap);
    PanelGeometry panel;
    panel.frame = CRect(0, 0, background.x, background.y);
    const int32_t left = sliderLeft(quavix::kFrequencyParam, track.x);
    panel.slider = CRect(left, kSliderTop, left + track.x, kSliderTop + track.y);
    panel.sliderMinPos = kSliderTop;
    panel.sliderMaxPos = handleMaxPos(track.y, handle.y);
    const int32_t readout = readoutLeft(quavix::kFrequencyParam, track.x);
    panel.readout = CRect(readout, kReadoutTop, readout + kReadoutWidth, kReadoutBottom);
    panel.rockerStateHeight = rocker.y / kRockerStates;
    const int32_t rockerX = rockerLeft(track.x);
    panel.rocker = CRect(rockerX, kRockerTop, rockerX + rocker.x, kRockerTop + panel.rockerStateHeight);
    return panel;
}

std::string describe(const std::vector<Event>& events) {
    static const char* const names[] = {"begin", "changed", "end", "modifier"};
    std::string text;
    for (const Event& event : events)
        text +=
            std::string(names[event.kind]) + "(" + std::to_string(event.tag) + "," + std::to_string(event.value) + ") ";
    return text;
}

std::vector<float> Timeline::changedValues() const {
    std::vector<float> values;
    for (const Event& event : events)
        if (event.kind == Event::changed)
            values.push_back(event.value);
    return values;
}

CVerticalSlider* ControlsTest::makeEditorSlider(CControlListener* to, int32_t tag) const {
    CBitmap* track = new CBitmap(quavix::kSliderTrackBitmap);
    CBitmap* handle = new CBitmap(quavix::kSliderHandleBitmap);
    CVerticalSlider* slider =
        new CVerticalSlider(panel.slider, to, tag, panel.sliderMinPos, panel.sliderMaxPos, handle, track);
    slider->setHandleOffset(CPoint(quavix::panel::kHandleInsetX, 0));
    track->dropReference();
    handle->dropReference();
    return slider;
}

CRockerSwitch* ControlsTest::makeEditorRocker(CControlListener* to) const {
    CBitmap* image = new CBitmap(quavix::kRockerBitmap);
    CRockerSwitch* rocker = new CRockerSwitch(panel.rocker, to, quavix::kControllerParam, panel.rockerStateHeight,
                                              image, CPoint(0, 0), kStyleHorizontal);
    image->dropReference();
    return rocker;
}

std::vector<uint32_t> ControlsTest::sliderPicture(int handleTop) const {
    const Picture track = bitmapPixels(quavix::kSliderTrackBitmap);
    const Picture handle = bitmapPixels(quavix::kSliderHandleBitmap);
    std::vector<uint32_t> picture = track.rgb;
    for (int y = 0; y < handle.height; ++y)
        for (int x = 0; x < handle.width; ++x) {
            const int row = handleTop + y;
            const int column = quavix::panel::kHandleInsetX + x;
            if (row >= 0 && row < track.height && column < track.width && handle.at(x, y) != quavixtest::kSeeThrough)
                picture[static_cast<size_t>(row) * track.width + column] = handle.at(x, y);
        }
    return picture;
}

}  // namespace controlstest
