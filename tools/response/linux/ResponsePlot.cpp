#include "tools/response/ResponsePlot.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "tools/media/PngFile.h"

namespace {

struct Colour {
    double red, green, blue;
};

struct Rect {
    double left, top, right, bottom;
};

const char* const kFont = "Liberation Sans";
const Colour kBackground = {1.0, 1.0, 1.0};
const Colour kInk = {0.13, 0.13, 0.13};
const Colour kQuietInk = {0.38, 0.38, 0.38};
const Colour kMajorGrid = {0.80, 0.80, 0.80};
const Colour kMinorGrid = {0.92, 0.92, 0.92};
const Colour kZeroLine = {0.55, 0.55, 0.55};

// The plot leaves room for the dB labels on its left, the title above, the
// frequency labels below and the legend on its right, where it can cover no curve.
const Rect kPlot = {84.0, 92.0, ResponsePlot::kWidth - 290.0, ResponsePlot::kHeight - 64.0};
const double kLegendLeft = kPlot.right + 30.0;
const double kLegendRight = ResponsePlot::kWidth - 16.0;
const double kLegendSample = 30.0;
const double kLegendRowMax = 24.0;
const double kCurveWidth = 2.2;

const double kLowestHz = 20.0;
const double kHighestHz = 20000.0;
const double kDecibelStep = 10.0;
// The scale shows at least this much, so that a flat curve looks flat, and
// at most this much below the top, where the curves are only noise.
const double kLeastRange = 40.0;
const double kMostRange = 100.0;
// Room above the highest peak.
const double kHeadroom = 3.0;

// Labelled frequencies, as musicians read them.
const double kLabelledHz[] = {20, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000};

// Hues of curve families, and the ramp of a single family, dark to bright.
const Colour kFamilyHues[] = {{0.12, 0.42, 0.76}, {0.90, 0.45, 0.05}, {0.80, 0.12, 0.18},
                              {0.16, 0.60, 0.22}, {0.52, 0.32, 0.72}, {0.50, 0.32, 0.24}};
const Colour kRamp[] = {{0.10, 0.20, 0.62}, {0.50, 0.16, 0.64}, {0.84, 0.18, 0.30}, {0.96, 0.52, 0.06}};

Colour mix(Colour a, Colour b, double share) {
    return {a.red + (b.red - a.red) * share, a.green + (b.green - a.green) * share, a.blue + (b.blue - a.blue) * share};
}

Colour curveColour(const PlottedCurve& curve, bool oneFamily) {
    double position = curve.shades > 1 ? static_cast<double>(curve.shade) / (curve.shades - 1) : 0.5;
    if (oneFamily) {
        const int stops = sizeof kRamp / sizeof kRamp[0];
        double at = position * (stops - 1);
        int below = std::min(static_cast<int>(at), stops - 2);
        return mix(kRamp[below], kRamp[below + 1], at - below);
    }
    const int hues = sizeof kFamilyHues / sizeof kFamilyHues[0];
    Colour hue = kFamilyHues[curve.family % hues];
    // Lighter for the first of a family, darker for the last, never so light that it fades into the page.
    return position < 0.5 ? mix(hue, Colour{1.0, 1.0, 1.0}, (0.5 - position) * 0.7)
                          : mix(hue, Colour{0.0, 0.0, 0.0}, (position - 0.5) * 0.6);
}

// A scale in whole steps that holds every curve.
void decibelRange(const ResponseChart& chart, double& bottom, double& top) {
    double highest = -INFINITY, lowest = INFINITY;
    for (const PlottedCurve& curve : chart.curves) {
        for (double value : curve.decibels) {
            if (!std::isfinite(value))
                continue;
            highest = std::max(highest, value);
            lowest = std::min(lowest, value);
        }
    }
    if (!std::isfinite(highest))
        highest = lowest = 0.0;
    top = std::ceil((highest + kHeadroom) / kDecibelStep) * kDecibelStep;
    bottom = std::floor(lowest / kDecibelStep) * kDecibelStep;
    bottom = std::min(std::max(bottom, top - kMostRange), top - kLeastRange);
}

class Painter {
public:
    Painter(cairo_t* cr, double bottomDb, double topDb) : cr(cr), bottomDb(bottomDb), topDb(topDb) {}

    double x(double hertz) const {
        double share = std::log10(hertz / kLowestHz) / std::log10(kHighestHz / kLowestHz);
        return kPlot.left + share * (kPlot.right - kPlot.left);
    }
    double y(double decibels) const {
        return kPlot.bottom - (decibels - bottomDb) / (topDb - bottomDb) * (kPlot.bottom - kPlot.top);
    }

    void colour(Colour c) { cairo_set_source_rgb(cr, c.red, c.green, c.blue); }

    void line(double x0, double y0, double x1, double y1, Colour c, double width) {
        colour(c);
        cairo_set_line_width(cr, width);
        cairo_move_to(cr, x0, y0);
        cairo_line_to(cr, x1, y1);
        cairo_stroke(cr);
    }

    // Text with its anchor at the given share of its width (0 left, 0.5 centre, 1 right).
    void text(const std::string& words, double atX, double baseline, double anchor, double size, bool bold, Colour c,
              double maxWidth = 0.0) {
        cairo_select_font_face(cr, kFont, CAIRO_FONT_SLANT_NORMAL,
                               bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr, size);
        std::string shown = fitted(words, maxWidth);
        cairo_text_extents_t extents;
        cairo_text_extents(cr, shown.c_str(), &extents);
        colour(c);
        cairo_move_to(cr, atX - anchor * extents.x_advance, baseline);
        cairo_show_text(cr, shown.c_str());
    }

    void grid() {
        for (double decade = 10.0; decade <= kHighestHz; decade *= 10.0) {
            for (int multiple = 1; multiple <= 9; ++multiple) {
                double hertz = decade * multiple;
                if (hertz < kLowestHz || hertz > kHighestHz)
                    continue;
                bool labelled =
                    std::find(std::begin(kLabelledHz), std::end(kLabelledHz), hertz) != std::end(kLabelledHz);
                line(x(hertz), kPlot.top, x(hertz), kPlot.bottom, labelled ? kMajorGrid : kMinorGrid, 1.0);
            }
        }
        for (double level = bottomDb; level <= topDb + 1e-9; level += kDecibelStep) {
            line(kPlot.left, y(level), kPlot.right, y(level), level == 0.0 ? kZeroLine : kMajorGrid,
                 level == 0.0 ? 1.4 : 1.0);
        }
    }

    void axes() {
        cairo_set_line_width(cr, 1.2);
        colour(kQuietInk);
        cairo_rectangle(cr, kPlot.left, kPlot.top, kPlot.right - kPlot.left, kPlot.bottom - kPlot.top);
        cairo_stroke(cr);
        for (double hertz : kLabelledHz) {
            char label[16];
            std::snprintf(label, sizeof label, hertz >= 1000.0 ? "%gk" : "%g",
                          hertz >= 1000.0 ? hertz / 1000.0 : hertz);
            text(label, x(hertz), kPlot.bottom + 20.0, 0.5, 13.0, false, kInk);
        }
        for (double level = bottomDb; level <= topDb + 1e-9; level += kDecibelStep) {
            char label[16];
            std::snprintf(label, sizeof label, level > 0.0 ? "+%g" : "%g", level);
            text(label, kPlot.left - 8.0, y(level) + 4.5, 1.0, 13.0, false, kInk);
        }
        text("Frequency (Hz)", (kPlot.left + kPlot.right) / 2.0, kPlot.bottom + 44.0, 0.5, 14.0, false, kInk);
        cairo_save(cr);
        cairo_translate(cr, 26.0, (kPlot.top + kPlot.bottom) / 2.0);
        cairo_rotate(cr, -M_PI / 2.0);
        text("Level (dB)", 0.0, 0.0, 0.5, 14.0, false, kInk);
        cairo_restore(cr);
    }

    void curve(const std::vector<double>& frequencies, const PlottedCurve& plotted, Colour c) {
        cairo_save(cr);
        cairo_rectangle(cr, kPlot.left, kPlot.top, kPlot.right - kPlot.left, kPlot.bottom - kPlot.top);
        cairo_clip(cr);
        cairo_set_line_width(cr, kCurveWidth);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        colour(c);
        bool drawing = false;
        for (size_t i = 0; i < frequencies.size() && i < plotted.decibels.size(); ++i) {
            double value = plotted.decibels[i];
            if (!std::isfinite(value) || frequencies[i] < kLowestHz || frequencies[i] > kHighestHz) {
                drawing = false;
                continue;
            }
            // Far below the plot the path only needs to leave it.
            double clamped = std::max(bottomDb - kDecibelStep, std::min(topDb + kDecibelStep, value));
            if (drawing) {
                cairo_line_to(cr, x(frequencies[i]), y(clamped));
            } else {
                cairo_move_to(cr, x(frequencies[i]), y(clamped));
            }
            drawing = true;
        }
        cairo_stroke(cr);
        cairo_restore(cr);
    }

private:
    // Cut with an ellipsis to fit maxWidth (0: no limit), in the font set now.
    std::string fitted(const std::string& words, double maxWidth) {
        if (maxWidth <= 0.0)
            return words;
        std::string kept = words, shown = words;
        cairo_text_extents_t extents;
        cairo_text_extents(cr, shown.c_str(), &extents);
        while (extents.x_advance > maxWidth && !kept.empty()) {
            // One whole character off, never half of a multi-byte one.
            while (!kept.empty() && (static_cast<unsigned char>(kept.back()) & 0xC0) == 0x80) {
                kept.pop_back();
            }
            if (!kept.empty())
                kept.pop_back();
            shown = kept + "\xE2\x80\xA6";
            cairo_text_extents(cr, shown.c_str(), &extents);
        }
        return shown;
    }

    cairo_t* cr;
    double bottomDb;
    double topDb;
};

void drawChart(cairo_t* cr, const ResponseChart& chart) {
    double bottom = 0.0, top = 0.0;
    decibelRange(chart, bottom, top);
    Painter painter(cr, bottom, top);
    painter.colour(kBackground);
    cairo_paint(cr);
    const double titleWidth = ResponsePlot::kWidth - 2.0 * kPlot.left;
    painter.text(chart.title, kPlot.left, 29.0, 0.0, 21.0, true, kInk, titleWidth);
    painter.text(chart.subtitle, kPlot.left, 51.0, 0.0, 13.5, false, kQuietInk, titleWidth);
    painter.text(chart.settings, kPlot.left, 69.0, 0.0, 13.5, false, kQuietInk, titleWidth);
    painter.grid();

    bool oneFamily = true;
    for (const PlottedCurve& curve : chart.curves) {
        oneFamily = oneFamily && curve.family == chart.curves[0].family;
    }
    double legendTop = kPlot.top + 16.0;
    painter.text(chart.legendHeading, kLegendLeft, legendTop, 0.0, 14.0, true, kInk, kLegendRight - kLegendLeft);
    double row = chart.curves.empty()
                     ? kLegendRowMax
                     : std::min(kLegendRowMax, (kPlot.bottom - legendTop - 12.0) / chart.curves.size());
    for (size_t i = 0; i < chart.curves.size(); ++i) {
        Colour c = curveColour(chart.curves[i], oneFamily);
        painter.curve(chart.frequencies, chart.curves[i], c);
        double middle = legendTop + 12.0 + row * (i + 0.5);
        painter.line(kLegendLeft, middle, kLegendLeft + kLegendSample, middle, c, kCurveWidth + 1.0);
        painter.text(chart.curves[i].label, kLegendLeft + kLegendSample + 10.0, middle + 4.5, 0.0, 13.5, false, kInk,
                     kLegendRight - kLegendLeft - kLegendSample - 10.0);
    }
    painter.axes();
}

struct SurfaceDeleter {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct ContextDeleter {
    void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};

}  // namespace

bool ResponsePlot::available(std::string&) { return true; }

bool ResponsePlot::write(const std::string& path, const ResponseChart& chart, std::string& error) {
    std::unique_ptr<cairo_surface_t, SurfaceDeleter> surface(
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight));
    std::unique_ptr<cairo_t, ContextDeleter> cr(cairo_create(surface.get()));
    drawChart(cr.get(), chart);
    cairo_surface_flush(surface.get());
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) {
        error = "cannot draw '" + path + "': " + cairo_status_to_string(cairo_status(cr.get()));
        return false;
    }
    // Cairo keeps each pixel as one native 32-bit word, 0x00RRGGBB.
    const unsigned char* data = cairo_image_surface_get_data(surface.get());
    int stride = cairo_image_surface_get_stride(surface.get());
    std::vector<uint8_t> rgb;
    rgb.reserve(static_cast<size_t>(kWidth) * kHeight * 3);
    for (int row = 0; row < kHeight; ++row) {
        const uint32_t* pixels = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(row) * stride);
        for (int column = 0; column < kWidth; ++column) {
            rgb.push_back(static_cast<uint8_t>(pixels[column] >> 16));
            rgb.push_back(static_cast<uint8_t>(pixels[column] >> 8));
            rgb.push_back(static_cast<uint8_t>(pixels[column]));
        }
    }
    return PngFile::write(path, kWidth, kHeight, rgb, error);
}
