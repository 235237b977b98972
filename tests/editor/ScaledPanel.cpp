#include "tests/editor/ScaledPanel.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#include <stb_image.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

#include "tests/editor/EditorExpectations.h"

namespace quavixtest {

using VSTGUI::CRect;

namespace {

constexpr int kHandleInsetX = 1;  // the handle sits one unit into its track
constexpr int kRockerStates = 3;  // left pressed, rest, right pressed

int channel(uint32_t pixel, int index) { return static_cast<int>((pixel >> (16 - 8 * index)) & 0xFF); }

// The overlap of [a0, a1) and [b0, b1).
int64_t overlap(int64_t a0, int64_t a1, int64_t b0, int64_t b1) {
    return std::max<int64_t>(0, std::min(a1, b1) - std::max(a0, b0));
}

// The picture's pixels from the source point on, over the device rectangle
// of the units, the key left out when keyed; clipped to both pictures.
void place(Picture& canvas, const Picture& picture, const CRect& units, int sourceX, int sourceY, double factor,
           bool keyed) {
    const CRect dest = deviceRect(units, factor);
    const int fromX = deviceCoordinate(sourceX, factor), fromY = deviceCoordinate(sourceY, factor);
    for (int y = std::max(0, dest.top); y < std::min(canvas.height, dest.bottom); ++y)
        for (int x = std::max(0, dest.left); x < std::min(canvas.width, dest.right); ++x) {
            const int px = fromX + x - dest.left, py = fromY + y - dest.top;
            if (px < 0 || py < 0 || px >= picture.width || py >= picture.height)
                continue;
            const uint32_t pixel = picture.at(px, py);
            if (!(keyed && pixel == kSeeThrough))
                canvas.at(x, y) = pixel;
        }
}

void fill(Picture& canvas, const CRect& device, uint32_t colour) {
    for (int y = std::max(0, device.top); y < std::min(canvas.height, device.bottom); ++y)
        for (int x = std::max(0, device.left); x < std::min(canvas.width, device.right); ++x)
            canvas.at(x, y) = colour;
}

// A read-out without its text: the fill less the left column and top row,
// then the one-unit outline all round, each unit a whole device block.
void placeReadout(Picture& canvas, const CRect& box, double factor) {
    fill(canvas, deviceRect(CRect(box.left + 1, box.top + 1, box.right, box.bottom), factor), kReadoutFill);
    const CRect edges[4] = {
        CRect(box.left, box.top, box.right, box.top + 1), CRect(box.left, box.bottom - 1, box.right, box.bottom),
        CRect(box.left, box.top, box.left + 1, box.bottom), CRect(box.right - 1, box.top, box.right, box.bottom)};
    for (const CRect& edge : edges)
        fill(canvas, deviceRect(edge, factor), kReadoutOutline);
}

Picture atFactor(const Picture& picture, int set, double factor) {
    if (factor == set)
        return picture;
    return shrinkByArea(picture, deviceCoordinate(picture.width / set, factor),
                        deviceCoordinate(picture.height / set, factor));
}

}  // namespace

Picture readPicture(const std::string& path) {
    Picture picture;
    int channels = 0;
    unsigned char* data = stbi_load(path.c_str(), &picture.width, &picture.height, &channels, 3);
    if (!data)
        return Picture();
    for (int i = 0; i < picture.width * picture.height; ++i)
        picture.rgb.push_back(static_cast<uint32_t>(data[3 * i] << 16 | data[3 * i + 1] << 8 | data[3 * i + 2]));
    stbi_image_free(data);
    return picture;
}

int deviceCoordinate(int units, double factor) { return static_cast<int>(std::floor(units * factor + 0.5)); }

CRect deviceRect(const CRect& units, double factor) {
    return CRect(deviceCoordinate(units.left, factor), deviceCoordinate(units.top, factor),
                 deviceCoordinate(units.right, factor), deviceCoordinate(units.bottom, factor));
}

bool PanelBitmaps::complete() const {
    return !background.empty() && !track.empty() && !handle.empty() && !rocker.empty();
}

PanelBitmaps readPanelBitmaps(const std::string& resourceDir, int set) {
    const std::string suffix = set == 1 ? ".png" : "@" + std::to_string(set) + "x.png";
    PanelBitmaps bitmaps;
    bitmaps.set = set;
    bitmaps.background = readPicture(resourceDir + "/background" + suffix);
    bitmaps.track = readPicture(resourceDir + "/slider_track" + suffix);
    bitmaps.handle = readPicture(resourceDir + "/slider_handle" + suffix);
    bitmaps.rocker = readPicture(resourceDir + "/rocker" + suffix);
    return bitmaps;
}

Picture shrinkByArea(const Picture& source, int width, int height) {
    Picture result;
    if (source.empty() || width <= 0 || height <= 0)
        return result;
    result.width = width;
    result.height = height;
    result.rgb.resize(static_cast<size_t>(width) * height);
    // Measured in 1/width of a source column and 1/height of a source row,
    // a result pixel is source.width by source.height of them.
    const int64_t area = int64_t(source.width) * source.height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int64_t x0 = int64_t(x) * source.width, y0 = int64_t(y) * source.height;
            double sums[3] = {0, 0, 0};
            int64_t keyed = 0;
            for (int sy = static_cast<int>(y0 / height);
                 sy < source.height && int64_t(sy) * height < y0 + source.height; ++sy)
                for (int sx = static_cast<int>(x0 / width);
                     sx < source.width && int64_t(sx) * width < x0 + source.width; ++sx) {
                    const int64_t weight =
                        overlap(x0, x0 + source.width, int64_t(sx) * width, int64_t(sx + 1) * width) *
                        overlap(y0, y0 + source.height, int64_t(sy) * height, int64_t(sy + 1) * height);
                    const uint32_t pixel = source.at(sx, sy);
                    if (pixel == kSeeThrough) {
                        keyed += weight;
                        continue;
                    }
                    for (int c = 0; c < 3; ++c)
                        sums[c] += static_cast<double>(weight) * channel(pixel, c);
                }
            uint32_t& out = result.at(x, y);
            if (2 * keyed > area) {
                out = kSeeThrough;
                continue;
            }
            out = 0;
            for (int c = 0; c < 3; ++c)
                out |= static_cast<uint32_t>(std::lround(sums[c] / static_cast<double>(area - keyed))) << (16 - 8 * c);
            // Seen, so not the key, whatever its mean.
            if (out == kSeeThrough)
                out = 0xFFFFFE;
        }
    return result;
}

PanelReference assemblePanel(const PanelBitmaps& bitmaps, double factor, const float sliderValues[3]) {
    PanelReference panel;
    panel.factor = factor;
    if (!bitmaps.complete() || factor > bitmaps.set)
        return panel;
    const int set = bitmaps.set;
    const Picture background = atFactor(bitmaps.background, set, factor);
    const Picture track = atFactor(bitmaps.track, set, factor);
    const Picture handle = atFactor(bitmaps.handle, set, factor);
    const Picture rocker = atFactor(bitmaps.rocker, set, factor);
    const CRect whole(0, 0, bitmaps.background.width / set, bitmaps.background.height / set);
    Picture& canvas = panel.picture;
    canvas.width = deviceCoordinate(whole.right, factor);
    canvas.height = deviceCoordinate(whole.bottom, factor);
    canvas.rgb.assign(static_cast<size_t>(canvas.width) * canvas.height, 0);

    place(canvas, background, whole, 0, 0, factor, false);
    panel.regions.push_back({"background (the whole panel)", deviceRect(whole, factor)});
    const int handleWidth = bitmaps.handle.width / set, handleHeight = bitmaps.handle.height / set;
    for (int i = 0; i < 3; ++i) {
        const CRect& slider = expected::kSliderRects[i];
        place(canvas, track, slider, 0, 0, factor, false);
        const int top = slider.top + expected::handleTopFor(sliderValues[i]);
        const CRect at(slider.left + kHandleInsetX, top, slider.left + kHandleInsetX + handleWidth, top + handleHeight);
        place(canvas, handle, at, 0, 0, factor, true);
        panel.regions.push_back({"slider " + std::to_string(i), deviceRect(slider, factor)});
    }
    const int stateHeight = bitmaps.rocker.height / set / kRockerStates;
    place(canvas, rocker, expected::kRockerRect, 0, stateHeight, factor, false);
    panel.regions.push_back({"rocker", deviceRect(expected::kRockerRect, factor)});

    std::vector<CRect> readouts(std::begin(expected::kReadoutRects), std::end(expected::kReadoutRects));
    readouts.push_back(expected::kControllerReadoutRect);
    for (const CRect& box : readouts) {
        placeReadout(canvas, box, factor);
        panel.regions.push_back(
            {"read-out at " + std::to_string(box.left) + ", " + std::to_string(box.top), deviceRect(box, factor)});
        panel.textAreas.push_back(deviceRect(CRect(box.left + 1, box.top + 1, box.right - 1, box.bottom - 1), factor));
    }
    return panel;
}

PanelReference expectedPanel(const std::string& resourceDir, double factor, const float sliderValues[3]) {
    const int set = std::min(3, std::max(1, static_cast<int>(std::ceil(factor))));
    return assemblePanel(readPanelBitmaps(resourceDir, set), factor, sliderValues);
}

CRect wholeOf(const Picture& picture) { return CRect(0, 0, picture.width, picture.height); }

PictureDifference comparePictures(const Picture& seen, const Picture& expected, const CRect& area,
                                  const std::vector<CRect>& mask, int tolerance) {
    PictureDifference result;
    result.tolerance = tolerance;
    result.sameSize = seen.width == expected.width && seen.height == expected.height && !seen.empty();
    const bool inside = area.left >= 0 && area.top >= 0 && area.right <= expected.width &&
                        area.bottom <= expected.height && area.width() > 0 && area.height() > 0;
    if (!result.sameSize || !inside) {
        // Nothing can be compared: every pixel of the area counts as differing.
        result.differing = std::max(1, area.width() * area.height());
        return result;
    }
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            bool masked = false;
            for (const CRect& box : mask)
                masked = masked || (x >= box.left && x < box.right && y >= box.top && y < box.bottom);
            if (masked)
                continue;
            ++result.compared;
            const uint32_t got = seen.at(x, y), want = expected.at(x, y);
            int difference = 0;
            for (int c = 0; c < 3; ++c)
                difference = std::max(difference, std::abs(channel(got, c) - channel(want, c)));
            result.largest = std::max(result.largest, difference);
            if (difference > tolerance && result.differing++ == 0) {
                result.firstX = x;
                result.firstY = y;
                result.seenAtFirst = got;
                result.expectedAtFirst = want;
            }
        }
    return result;
}

std::string PictureDifference::describe() const {
    char text[200];
    if (!sameSize)
        return "the pictures differ in size (or are empty, or the area lies outside)";
    if (differing == 0)
        std::snprintf(text, sizeof text, "%d pixels compared, largest channel difference %d", compared, largest);
    else
        std::snprintf(text, sizeof text,
                      "%d of %d pixels differ by more than %d, largest channel difference %d, first at (%d, %d): "
                      "%06X, expected %06X",
                      differing, compared, tolerance, largest, firstX, firstY, static_cast<unsigned>(seenAtFirst),
                      static_cast<unsigned>(expectedAtFirst));
    return text;
}

Ink inkIn(const Picture& picture, const CRect& area, uint32_t fill) {
    Ink ink;
    ink.bounds = CRect(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
    for (int y = std::max(0, area.top); y < std::min(picture.height, area.bottom); ++y)
        for (int x = std::max(0, area.left); x < std::min(picture.width, area.right); ++x)
            if (picture.at(x, y) != fill) {
                ++ink.pixels;
                ink.bounds = CRect(std::min(ink.bounds.left, x), std::min(ink.bounds.top, y),
                                   std::max(ink.bounds.right, x + 1), std::max(ink.bounds.bottom, y + 1));
            }
    return ink;
}

}  // namespace quavixtest
