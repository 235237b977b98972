// The editor's panel as it must look at a scale factor, put together from
// the bitmap files in resources/ by the layout alone, without the toolkit:
// what the X11 and the Win32 editor tests compare the windows they read back
// against. Plain C++, no window system.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "toolkit/geometry/CRect.h"

namespace quavixtest {

// A picture as rows from the top of 0xRRGGBB pixels.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> rgb;
    uint32_t at(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
    uint32_t& at(int x, int y) { return rgb[static_cast<size_t>(y) * width + x]; }
    bool empty() const { return width <= 0 || height <= 0; }
};

constexpr uint32_t kSeeThrough = 0xFFFFFF;  // the bitmaps' colour key
constexpr uint32_t kReadoutFill = 0xCCCCCC;
constexpr uint32_t kReadoutOutline = 0xEEEEEE;

// A PNG or BMP file (the bitmaps in resources/, the pictures in docs/);
// empty when it is missing or unreadable.
Picture readPicture(const std::string& path);

// A unit's first device pixel: the unit at x covers [round(x f), round((x + 1) f)).
int deviceCoordinate(int units, double factor);
VSTGUI::CRect deviceRect(const VSTGUI::CRect& units, double factor);

// One set of the panel's bitmaps, each `set` times its size in units.
struct PanelBitmaps {
    int set = 1;
    Picture background;
    Picture track;
    Picture handle;
    Picture rocker;  // three states, one above the other
    bool complete() const;
};
// resources/<name>.png for set 1, <name>@2x.png and <name>@3x.png for 2 and 3.
PanelBitmaps readPanelBitmaps(const std::string& resourceDir, int set);

// Each pixel the mean of the source area it covers, leaving the colour key
// out of the mean; a pixel more than half covered by the key is the key.
Picture shrinkByArea(const Picture& source, int width, int height);

struct PanelReference {
    double factor = 1.0;
    Picture picture;
    // Inside each read-out's outline, where the text is: left out of comparisons.
    std::vector<VSTGUI::CRect> textAreas;
    // Where each bitmap was placed, for figures per region.
    struct Region {
        std::string name;
        VSTGUI::CRect area;
    };
    std::vector<Region> regions;
};

// The panel at the factor with the sliders at these values (frequency, gain,
// peak) and the rocker at rest: from the set as it is when the factor is
// the set's, else from the set shrunk to the factor's size.
PanelReference assemblePanel(const PanelBitmaps& bitmaps, double factor, const float sliderValues[3]);
// From the set a factor is drawn from: its own when whole, else the next larger.
PanelReference expectedPanel(const std::string& resourceDir, double factor, const float sliderValues[3]);

// Pixels of an area whose largest channel difference exceeds the tolerance,
// masked areas left out; the largest difference over the compared pixels.
struct PictureDifference {
    bool sameSize = false;
    int tolerance = 0;
    int compared = 0;
    int differing = 0;
    int largest = 0;
    int firstX = -1;
    int firstY = -1;
    uint32_t seenAtFirst = 0;
    uint32_t expectedAtFirst = 0;
    std::string describe() const;
};
PictureDifference comparePictures(const Picture& seen, const Picture& expected, const VSTGUI::CRect& area,
                                  const std::vector<VSTGUI::CRect>& mask, int tolerance);
VSTGUI::CRect wholeOf(const Picture& picture);

// Pixels of an area that are not the fill, and the box they lie in.
struct Ink {
    int pixels = 0;
    VSTGUI::CRect bounds;
};
Ink inkIn(const Picture& picture, const VSTGUI::CRect& area, uint32_t fill);

// The editor at each factor the tests open it at, on every window system:
// from the host's vendor request before open, or from the user's
// QUAVIX_SCALE; the size effEditGetRect and the window must have; the
// channel difference allowed from the panel put together from the bitmaps
// (the two filters round apart between sets).
constexpr int kBetweenSetsTolerance = 1;
struct ScaleRow {
    const char* name;
    float factor;
    const char* userScale;  // QUAVIX_SCALE, or null
    int width;
    int height;
    int tolerance;
};
const ScaleRow kScaleRows[] = {
    {"OneFromTheHost", 1.0f, nullptr, 330, 354, 0},
    {"OneAndAHalfFromTheHost", 1.5f, nullptr, 495, 531, kBetweenSetsTolerance},
    {"TwoFromTheHost", 2.0f, nullptr, 660, 708, 0},
    {"ThreeFromTheHost", 3.0f, nullptr, 990, 1062, 0},
    {"TwoFromQuavixScale", 2.0f, "2", 660, 708, 0},
};
inline void PrintTo(const ScaleRow& row, std::ostream* out) { *out << row.name; }

}  // namespace quavixtest
