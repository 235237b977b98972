// Quavix's identity in one place: the texts and numbers hosts see, the
// parameter indices shared by the effect and its editor, and the bitmap
// resource ids shared by the editor and the resource script.
#pragma once

#define QUAVIX_BITMAP_SLIDER_HANDLE 1
#define QUAVIX_BITMAP_BACKGROUND 2
#define QUAVIX_BITMAP_SLIDER_TRACK 3
#define QUAVIX_BITMAP_DIGITS 4
#define QUAVIX_BITMAP_ROCKER 5

#ifndef RC_INVOKED
#include <cstdint>

namespace quavix {

constexpr const char* kEffectName = "Quavix";
constexpr const char* kProductString = "Quavix";
constexpr const char* kVendorString = "Morvella";
constexpr int32_t kVendorVersion = 1000;
constexpr int32_t kUniqueId = 0x00515658;  // 0, 'Q', 'V', 'X'
constexpr const char* kDefaultProgramName = "Default";

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

// The output gain factor at the top of the gain parameter: the effect maps
// the normalized value v to the factor v * kGainAtFullScale, and both the
// host's and the editor's read-outs name that factor in decibels.
constexpr double kGainAtFullScale = 0.5;

enum BitmapId : int32_t {
    kSliderHandleBitmap = QUAVIX_BITMAP_SLIDER_HANDLE,
    kBackgroundBitmap = QUAVIX_BITMAP_BACKGROUND,
    kSliderTrackBitmap = QUAVIX_BITMAP_SLIDER_TRACK,
    kDigitsBitmap = QUAVIX_BITMAP_DIGITS,
    kRockerBitmap = QUAVIX_BITMAP_ROCKER,
};

}  // namespace quavix
#endif
