// Draws measured magnitude responses as a PNG: dB against log frequency,
// a labelled grid, one curve per setting and a legend beside the plot. The
// drawing needs cairo, which the Linux build has and the Windows
// cross-build does not: linux/ draws, win32/ says where to go.
#pragma once

#include <string>
#include <vector>

struct PlottedCurve {
    std::string label;
    std::vector<double> decibels;  // one per frequency of the chart; non-finite values leave a gap
    // Curves of one family share a hue, told apart by shade; a chart with
    // one family runs its curves along a colour ramp instead.
    int family = 0;
    int shade = 0;
    int shades = 1;
};

struct ResponseChart {
    std::string title;
    std::string subtitle;
    std::string settings;  // a second line under the title; may be empty
    std::string legendHeading;
    std::vector<double> frequencies;
    std::vector<PlottedCurve> curves;
};

class ResponsePlot {
public:
    static constexpr int kWidth = 1200;
    static constexpr int kHeight = 640;
    // More would not fit the legend.
    static constexpr int kMaxCurves = 20;

    // False, with the reason, when this build cannot draw.
    static bool available(std::string& reason);
    static bool write(const std::string& path, const ResponseChart& chart, std::string& error);
};
