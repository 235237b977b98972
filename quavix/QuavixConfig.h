// Quavix's identity in one place: the texts and numbers hosts see, the
// parameter indices shared by the effect and its editor (what each parameter
// is, quavix/Parameters.h says), and the bitmap resource ids shared by the
// editor and the resource script.
#pragma once

#define QUAVIX_BITMAP_SLIDER_HANDLE 1
#define QUAVIX_BITMAP_BACKGROUND 2
#define QUAVIX_BITMAP_SLIDER_TRACK 3
#define QUAVIX_BITMAP_DIGITS 4
#define QUAVIX_BITMAP_ROCKER 5
// The same pictures drawn at twice and three times the size, for editors on
// scaled screens: each at its 1x id + 2000 and + 3000, where the toolkit
// looks for them. Plain numbers, as the resource compiler reads this file.
#define QUAVIX_BITMAP_SLIDER_HANDLE_2X 2001
#define QUAVIX_BITMAP_BACKGROUND_2X 2002
#define QUAVIX_BITMAP_SLIDER_TRACK_2X 2003
#define QUAVIX_BITMAP_DIGITS_2X 2004
#define QUAVIX_BITMAP_ROCKER_2X 2005
#define QUAVIX_BITMAP_SLIDER_HANDLE_3X 3001
#define QUAVIX_BITMAP_BACKGROUND_3X 3002
#define QUAVIX_BITMAP_SLIDER_TRACK_3X 3003
#define QUAVIX_BITMAP_DIGITS_3X 3004
#define QUAVIX_BITMAP_ROCKER_3X 3005

// The LV2 plug-in's URI, which hosts store in their sessions: it never
// changes. Its panel's is the same with "#ui" after it.
#define QUAVIX_LV2_URI "urn:morvella:quavix"

#ifndef RC_INVOKED
#include <QuavixVersion.h>  // made by the build from the VERSION file

#include <cstdint>

namespace quavix {

constexpr const char* kEffectName = "Quavix";
constexpr const char* kProductString = "Quavix";
constexpr const char* kVendorString = "Morvella";
// What hosts store and compare: major * 1000 + minor * 100 + micro * 10 of
// the VERSION file, so 1.0.0 is 1000.
constexpr int32_t kVendorVersion = QUAVIX_VERSION_MAJOR * 1000 + QUAVIX_VERSION_MINOR * 100 + QUAVIX_VERSION_PATCH * 10;
constexpr int32_t kUniqueId = 0x00515658;  // 0, 'Q', 'V', 'X'
constexpr const char* kDefaultProgramName = "Default";
constexpr const char* kLv2Uri = QUAVIX_LV2_URI;
constexpr const char* kLv2UiUri = QUAVIX_LV2_URI "#ui";

constexpr int32_t kNumPrograms = 1;
constexpr int32_t kNumInputs = 2;
constexpr int32_t kNumOutputs = 2;

enum ParameterIndex : int32_t {
    kFrequencyParam = 0,
    kGainParam = 1,
    kPeakParam = 2,
    kControllerParam = 3,
    kNumParams = 4,
};

enum BitmapId : int32_t {
    kSliderHandleBitmap = QUAVIX_BITMAP_SLIDER_HANDLE,
    kBackgroundBitmap = QUAVIX_BITMAP_BACKGROUND,
    kSliderTrackBitmap = QUAVIX_BITMAP_SLIDER_TRACK,
    kDigitsBitmap = QUAVIX_BITMAP_DIGITS,
    kRockerBitmap = QUAVIX_BITMAP_ROCKER,
    // Found through the 1x ids by the toolkit; named for tests and tools.
    kSliderHandleBitmap2x = QUAVIX_BITMAP_SLIDER_HANDLE_2X,
    kBackgroundBitmap2x = QUAVIX_BITMAP_BACKGROUND_2X,
    kSliderTrackBitmap2x = QUAVIX_BITMAP_SLIDER_TRACK_2X,
    kDigitsBitmap2x = QUAVIX_BITMAP_DIGITS_2X,
    kRockerBitmap2x = QUAVIX_BITMAP_ROCKER_2X,
    kSliderHandleBitmap3x = QUAVIX_BITMAP_SLIDER_HANDLE_3X,
    kBackgroundBitmap3x = QUAVIX_BITMAP_BACKGROUND_3X,
    kSliderTrackBitmap3x = QUAVIX_BITMAP_SLIDER_TRACK_3X,
    kDigitsBitmap3x = QUAVIX_BITMAP_DIGITS_3X,
    kRockerBitmap3x = QUAVIX_BITMAP_ROCKER_3X,
};

}  // namespace quavix

// ---------------------------------------------------------------- panel layout
// Where the editor puts its controls, in units of the panel at 1x: the
// editor builds from it, and tests find the controls by it. Sizes are the
// bitmaps' own, so what follows from a size takes it as an argument: a slider
// is as large as its track, the rocker as wide as its image and one of its
// states tall.
namespace quavix::panel {

constexpr int32_t kSliderLeft = 50;
constexpr int32_t kSliderTop = 85;
constexpr int32_t kSliderGap = 55;    // from one track's right edge to the next track
constexpr int32_t kHandleInsetX = 1;  // the handle sits one pixel into the track
constexpr int32_t kReadoutInset = 5;  // a read-out starts this far left of its slider
constexpr int32_t kReadoutWidth = 30;
constexpr int32_t kReadoutTop = 260;
constexpr int32_t kReadoutBottom = 274;
// The rocker's left edge sits at 11 track widths plus 65 pixels.
constexpr int32_t kRockerLeftTracks = 11;
constexpr int32_t kRockerLeftMargin = 65;
constexpr int32_t kRockerTop = 164;
constexpr int32_t kRockerStates = 3;
constexpr int32_t kControllerReadoutDrop = 40;  // below the rocker

// The slider of the index-th parameter (frequency, gain, peak) and its read-out.
constexpr int32_t sliderLeft(int32_t index, int32_t trackWidth) {
    return kSliderLeft + index * (trackWidth + kSliderGap);
}
constexpr int32_t readoutLeft(int32_t index, int32_t trackWidth) {
    return sliderLeft(index, trackWidth) - kReadoutInset;
}
// The handle's top row travels from the track's top (kSliderTop) to where
// the handle ends one row above the track's bottom.
constexpr int32_t handleMaxPos(int32_t trackHeight, int32_t handleHeight) {
    return kSliderTop - 1 + trackHeight - handleHeight;
}
constexpr int32_t rockerLeft(int32_t trackWidth) { return kRockerLeftTracks * trackWidth + kRockerLeftMargin; }

}  // namespace quavix::panel
#endif
