// Response pictures are measurements, so they are tested as measurements:
// quavix.so, measured through the host tool's own code, against the
// transfer function of the filter's own coefficients; the resonance where
// the read-out puts the corner; a pass-through plug-in flat at 0 dB; then
// the tool as a user runs it, and what it refuses.
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "tests/linux/support/ToolProcess.h"
#include "tests/native/FilterProbe.h"
#include "tools/response/FrequencyResponse.h"
#include "tools/hosting/PluginLoader.h"
#include "tools/response/ResponsePlot.h"

namespace {

using hosttool::kExitDone;
using hosttool::kExitFailed;
using hosttool::kExitUsage;
using hosttool::pluginPath;
using hosttool::testPluginPath;
using hosttool::ToolRun;
const double kHighestComparedHz = 15000.0;
const double kToleranceDb = 0.1;

// |H(e^jw)| of y[n] = 2 (a (x[n] + 2 x[n-1] + x[n-2]) + g y[n-1] - b y[n-2]), times the output gain.
double transferDecibels(const FilterProbe& filter, double hertz, double rate) {
    std::complex<double> z1 = std::polar(1.0, -2.0 * M_PI * hertz / rate), z2 = z1 * z1;
    double a = filter.alphaValue(), b = filter.betaValue(), g = filter.gammaValue();
    std::complex<double> numerator = 2.0 * a * (1.0 + 2.0 * z1 + z2);
    std::complex<double> denominator = 1.0 - 2.0 * g * z1 + 2.0 * b * z2;
    return 20.0 * std::log10(std::abs(numerator / denominator) * filter.outputGainValue());
}

struct Setting {
    int rate;
    float frequency;
    float peak;
    float gain;
};

// quavix.so loaded as the tool loads it, set as the row says.
class LoadedQuavix {
public:
    explicit LoadedQuavix(const Setting& row) {
        std::string error;
        plugin = PluginLoader::open(pluginPath(), {row.rate, 512}, error);
        loaded = plugin != nullptr;
        EXPECT_TRUE(loaded) << error;
        if (!loaded)
            return;
        plugin->setPosition(0, row.frequency);
        plugin->setPosition(1, row.gain);
        plugin->setPosition(2, row.peak);
    }

    std::unique_ptr<HostedPlugin> plugin;
    bool loaded = false;
};

struct Figures {
    double worstImpulse = 0.0;
    double worstSweep = 0.0;
    double worstBetween = 0.0;
};

TEST(ResponseMeasurement, AgreesWithTheFiltersOwnTransferFunction) {
    const Setting rows[] = {
        {44100, 0.0f, 1.0f, 1.0f}, {44100, 0.5f, 0.5f, 0.6f}, {44100, 1.0f, 0.0f, 1.0f}, {44100, 0.3f, 0.8f, 0.2f},
        {48000, 0.0f, 0.0f, 1.0f}, {48000, 0.5f, 1.0f, 0.3f}, {48000, 1.0f, 0.5f, 1.0f}, {48000, 0.7f, 0.2f, 0.9f},
    };
    RecordingHost recording;
    Figures at44, at48;
    for (const Setting& row : rows) {
        SCOPED_TRACE(testing::Message() << row.rate << " Hz, corner " << row.frequency << ", peak " << row.peak);
        LoadedQuavix quavix(row);
        ASSERT_TRUE(quavix.loaded);
        FrequencyResponse response(*quavix.plugin, row.rate, 512);
        MeasuredResponse measured = response.measure();
        FilterProbe filter;
        filter.setSampleRate(static_cast<float>(row.rate));
        filter.setParameter(0, row.frequency);
        filter.setParameter(1, row.gain);
        filter.setParameter(2, row.peak);
        double impulseError = 0.0, sweepError = 0.0;
        const std::vector<double>& hertz = response.frequencies();
        ASSERT_EQ(measured.impulseDecibels.size(), hertz.size());
        for (size_t i = 0; i < hertz.size() && hertz[i] <= kHighestComparedHz; ++i) {
            double expected = transferDecibels(filter, hertz[i], row.rate);
            impulseError = std::max(impulseError, std::fabs(measured.impulseDecibels[i] - expected));
            sweepError = std::max(sweepError, std::fabs(measured.sweepDecibels[i] - expected));
        }
        EXPECT_LT(impulseError, kToleranceDb);
        EXPECT_LT(sweepError, kToleranceDb);
        EXPECT_LT(measured.disagreement, kToleranceDb);
        Figures& figures = row.rate == 44100 ? at44 : at48;
        figures.worstImpulse = std::max(figures.worstImpulse, impulseError);
        figures.worstSweep = std::max(figures.worstSweep, sweepError);
        figures.worstBetween = std::max(figures.worstBetween, measured.disagreement);
        EXPECT_EQ(measured.nonFiniteSamples, 0u);
    }
    std::printf(
        "[ figures  ] measured vs transfer function, 20 Hz .. 15 kHz, max dB difference: 44.1 kHz impulse "
        "%.2e, sweep %.2e; 48 kHz impulse %.2e, sweep %.2e; impulse vs sweep %.2e (44.1 kHz), %.2e (48 kHz)\n",
        at44.worstImpulse, at44.worstSweep, at48.worstImpulse, at48.worstSweep, at44.worstBetween, at48.worstBetween);
}

TEST(ResponseMeasurement, HighPeakSitsAtTheSetCornerWithinOneBin) {
    const Setting rows[] = {{44100, 0.0f, 1.0f, 1.0f},
                            {44100, 0.5f, 1.0f, 1.0f},
                            {44100, 1.0f, 1.0f, 1.0f},
                            {48000, 0.25f, 1.0f, 1.0f},
                            {48000, 0.75f, 1.0f, 1.0f}};
    const double bin = std::log(10.0) / FrequencyResponse::kPointsPerDecade;
    double worstBins = 0.0;
    for (const Setting& row : rows) {
        double corner = 800.0 + 3000.0 * row.frequency;
        SCOPED_TRACE(testing::Message() << row.rate << " Hz, corner " << corner << " Hz");
        LoadedQuavix quavix(row);
        ASSERT_TRUE(quavix.loaded);
        FrequencyResponse response(*quavix.plugin, row.rate, 512);
        double peakHz = response.frequencies()[response.measure().topIndex()];
        EXPECT_LE(std::fabs(std::log(peakHz / corner)), bin) << "peak at " << peakHz << " Hz";
        worstBins = std::max(worstBins, std::fabs(std::log(peakHz / corner)) / bin);
    }
    std::printf("[ figures  ] Hi peak vs set corner: at most %.2f measurement bins (%d per decade) apart\n", worstBins,
                FrequencyResponse::kPointsPerDecade);
}

TEST(ResponseMeasurement, PassThroughIsFlatAtZeroDecibels) {
    unsetenv("QUAVIX_TEST_PLUGIN_FAULT");
    std::string error;
    std::unique_ptr<HostedPlugin> plugin = PluginLoader::open(testPluginPath(), {44100, 256}, error);
    ASSERT_TRUE(plugin) << error;
    FrequencyResponse response(*plugin, 44100, 256);
    ASSERT_TRUE(response.check(error)) << error;
    MeasuredResponse measured = response.measure();
    ASSERT_EQ(measured.sweepDecibels.size(), response.frequencies().size());
    for (size_t i = 0; i < measured.impulseDecibels.size(); ++i) {
        ASSERT_NEAR(measured.impulseDecibels[i], 0.0, 1e-9) << response.frequencies()[i] << " Hz";
        ASSERT_NEAR(measured.sweepDecibels[i], 0.0, 1e-6) << response.frequencies()[i] << " Hz";
    }
    EXPECT_EQ(response.frequencies().front(), 20.0);
    EXPECT_EQ(response.frequencies().back(), 20000.0);
}

// --- the tool as a user runs it ---

// The tool run in a scratch directory of its own, as the host tool tests run it.
using ResponseTool = hosttool::HostToolTest;

struct PictureCase {
    std::vector<std::string> options;
    std::vector<std::string> says;
};

TEST_F(ResponseTool, PicturesAreOfTheStatedSizeAndShowCurves) {
    const PictureCase cases[] = {
        // The demo's picture: corner and peak swept, the gain named as it starts.
        {{"--sweep-param", "2=0:1:3", "--sweep-param", "0=0:1:3", "--show-param", "1"},
         {"curve 1 of 9, Lo, 800 Hz:", "curve 5 of 9, Med, 2300 Hz:", "curve 9 of 9, Hi, 3800 Hz:"}},
        {{}, {"curve 1 of 1, as the plug-in starts:"}},
        {{"--sweep-param", "0=0:1:7", "--rate", "48000"}, {"7 curves at 48000 Hz", "curve 7 of 7, 3800 Hz:"}},
    };
    for (const PictureCase& row : cases) {
        SCOPED_TRACE(row.says[0]);
        std::vector<std::string> arguments = {"--response-png", file("response.png"), pluginPath()};
        arguments.insert(arguments.end(), row.options.begin(), row.options.end());
        ToolRun tool = host(arguments);
        ASSERT_EQ(tool.exitCode, kExitDone) << tool.output;
        for (const std::string& text : row.says) {
            EXPECT_TRUE(tool.says(text)) << text << "\n" << tool.output;
        }
        EXPECT_TRUE(tool.says("Wrote " + file("response.png") + " (response curves, 1200 x 640 pixels)"));
        cairo_surface_t* picture = cairo_image_surface_create_from_png(file("response.png").c_str());
        ASSERT_EQ(cairo_surface_status(picture), CAIRO_STATUS_SUCCESS);
        EXPECT_EQ(cairo_image_surface_get_width(picture), ResponsePlot::kWidth);
        EXPECT_EQ(cairo_image_surface_get_height(picture), ResponsePlot::kHeight);
        // Anti-aliased curves in several colours, not a blank page.
        std::set<uint32_t> colours;
        size_t inked = 0;
        const unsigned char* data = cairo_image_surface_get_data(picture);
        for (int row = 0; row < cairo_image_surface_get_height(picture); ++row) {
            const uint32_t* pixels =
                reinterpret_cast<const uint32_t*>(data + row * cairo_image_surface_get_stride(picture));
            for (int column = 0; column < cairo_image_surface_get_width(picture); ++column) {
                colours.insert(pixels[column] & 0xFFFFFF);
                inked += (pixels[column] & 0xFFFFFF) != 0xFFFFFF;
            }
        }
        cairo_surface_destroy(picture);
        EXPECT_GT(colours.size(), 200u);
        EXPECT_GT(inked, static_cast<size_t>(ResponsePlot::kWidth * ResponsePlot::kHeight / 50));
        std::filesystem::remove(file("response.png"));
    }
}

TEST_F(ResponseTool, PassThroughPluginDrawsOneFlatCurve) {
    unsetenv("QUAVIX_TEST_PLUGIN_FAULT");
    ToolRun tool = host({"--response-png", file("flat.png"), testPluginPath()});
    ASSERT_EQ(tool.exitCode, kExitDone) << tool.output;
    EXPECT_TRUE(tool.says("curve 1 of 1, as the plug-in starts: top +0.0 dB at 20 Hz, +0.0 dB at 20 Hz"))
        << tool.output;
    EXPECT_TRUE(std::filesystem::exists(file("flat.png")));
}

struct RefusalCase {
    std::vector<std::string> arguments;  // PLUGIN and OUT stand for the plug-in and a fresh picture
    int exitCode;
    const char* says;
    const char* fault;
};

TEST_F(ResponseTool, BadRequestsAreRefusedNamingWhatIsWrong) {
    const RefusalCase cases[] = {
        {{"--response-png", "PLUGIN", "PLUGIN"}, kExitFailed, "refusing to write '", ""},
        {{"--response-png", "OUT", "PLUGIN", "--sweep-param", "9=0:1:3"},
         kExitUsage,
         "parameter index 9 out of range: '",
         ""},
        {{"--response-png", "OUT", "PLUGIN", "--sweep-param", "0=0:1:5", "--sweep-param", "2=0:1:5"},
         kExitUsage,
         "more than the 20 curves",
         ""},
        {{"--response-png", "OUT", "PLUGIN", "--sweep-param", "0=0:1:0"},
         kExitUsage,
         "bad value for --sweep-param: '0=0:1:0'",
         ""},
        {{"--response-png", "OUT", "PLUGIN", "--sweep-param", "0=0:1.5:3"},
         kExitUsage,
         "bad value for --sweep-param",
         ""},
        {{"PLUGIN", "--sweep-param", "0=0:1:3"},
         kExitUsage,
         "--sweep-param does not go with the demo; it goes with --response-png",
         ""},
        {{"--response-png", "/nonexistent-folder/r.png", "PLUGIN"},
         kExitFailed,
         "cannot write '/nonexistent-folder/r.png'",
         ""},
        {{"--response-png", "OUT", "TESTPLUGIN"},
         kExitFailed,
         "' has no response to measure: it has 0 inputs",
         "synth"},
    };
    // The plug-in a mistaken write would land on is a copy.
    std::string plugin = file("quavix-copy.so");
    std::filesystem::copy_file(pluginPath(), plugin);
    uintmax_t size = std::filesystem::file_size(plugin);
    for (const RefusalCase& row : cases) {
        SCOPED_TRACE(row.says);
        std::vector<std::string> arguments;
        for (const std::string& argument : row.arguments) {
            arguments.push_back(argument == "PLUGIN"       ? plugin
                                : argument == "OUT"        ? file("out.png")
                                : argument == "TESTPLUGIN" ? testPluginPath()
                                                           : argument);
        }
        setenv("QUAVIX_TEST_PLUGIN_FAULT", row.fault, 1);
        ToolRun tool = host(arguments);
        unsetenv("QUAVIX_TEST_PLUGIN_FAULT");
        EXPECT_EQ(tool.exitCode, row.exitCode) << tool.output;
        EXPECT_TRUE(tool.says(row.says)) << tool.output;
        EXPECT_FALSE(std::filesystem::exists(file("out.png")));
        EXPECT_EQ(std::filesystem::file_size(plugin), size);
    }
}

}  // namespace
