#include "tests/editor/ScaledPanel.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "tests/editor/EditorExpectations.h"

namespace quavixtest {

using VSTGUI::CRect;

namespace {

constexpr int kHandleInsetX = 1;  // the handle sits one unit into its track
constexpr int kRockerStates = 3;  // left pressed, rest, right pressed

uint32_t little16(const std::vector<uint8_t>& bytes, size_t at) { return bytes[at] | uint32_t(bytes[at + 1]) << 8; }
uint32_t little32(const std::vector<uint8_t>& bytes, size_t at) {
    return little16(bytes, at) | little16(bytes, at + 2) << 16;
}

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

Picture readBmp(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    constexpr size_t kInfoStart = 14, kInfoSize = 40;
    if (bytes.size() < kInfoStart + kInfoSize || bytes[0] != 'B' || bytes[1] != 'M' ||
        little32(bytes, kInfoStart) != kInfoSize || little32(bytes, kInfoStart + 16) != 0)
        return Picture();
    const int width = static_cast<int32_t>(little32(bytes, kInfoStart + 4));
    const int height = static_cast<int32_t>(little32(bytes, kInfoStart + 8));
    const uint32_t bits = little16(bytes, kInfoStart + 14);
    if (width <= 0 || height <= 0 || width > 4096 || height > 4096 || (bits != 24 && bits != 8 && bits != 4))
        return Picture();
    std::vector<uint32_t> palette;
    if (bits < 24) {
        uint32_t colours = little32(bytes, kInfoStart + 32);
        colours = colours ? colours : 1u << bits;
        if (colours > 1u << bits || bytes.size() < kInfoStart + kInfoSize + 4 * colours)
            return Picture();
        for (uint32_t i = 0; i < colours; ++i) {
            const size_t entry = kInfoStart + kInfoSize + 4 * i;  // blue, green, red, unused
            palette.push_back(uint32_t(bytes[entry + 2]) << 16 | uint32_t(bytes[entry + 1]) << 8 | bytes[entry]);
        }
    }
    const size_t offset = little32(bytes, 10);
    const size_t stride = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
    if (offset + stride * height > bytes.size())
        return Picture();
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.rgb.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = &bytes[offset + stride * (height - 1 - y)];
        for (int x = 0; x < width; ++x) {
            uint32_t pixel = 0;
            if (bits == 24) {
                pixel = uint32_t(row[3 * x + 2]) << 16 | uint32_t(row[3 * x + 1]) << 8 | row[3 * x];
            } else {
                const uint32_t index = bits == 8 ? row[x] : (x % 2 ? row[x / 2] & 0xF : row[x / 2] >> 4);
                if (index >= palette.size())
                    return Picture();
                pixel = palette[index];
            }
            picture.at(x, y) = pixel;
        }
    }
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
    const std::string suffix = set == 1 ? ".bmp" : "@" + std::to_string(set) + "x.bmp";
    PanelBitmaps bitmaps;
    bitmaps.set = set;
    bitmaps.background = readBmp(resourceDir + "/background" + suffix);
    bitmaps.track = readBmp(resourceDir + "/slider_track" + suffix);
    bitmaps.handle = readBmp(resourceDir + "/slider_handle" + suffix);
    bitmaps.rocker = readBmp(resourceDir + "/rocker" + suffix);
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
