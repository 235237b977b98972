#include "tools/response/ResponsePicture.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "tools/response/FrequencyResponse.h"

namespace {

// Beyond this the two methods see different plug-ins, not rounding.
const double kLinearTolerance = 1.0;

std::string trimmed(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string joined(const std::vector<std::string>& parts, const char* separator) {
    std::string result;
    for (const std::string& part : parts) {
        result += (result.empty() ? "" : separator) + part;
    }
    return result;
}

std::string baseName(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string formatted(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

ResponsePicture::ResponsePicture(HostedPlugin& host, const ResponseOptions& options) : host(host), options(options) {}

bool ResponsePicture::plan(std::string& error) {
    sweeps = options.sweeps;
    for (const ParameterSweep& sweep : sweeps) {
        if (sweep.index >= host.parameterCount()) {
            error = "parameter index " + std::to_string(sweep.index) + " out of range: '" + host.path() + "' has " +
                    std::to_string(host.parameterCount()) + " parameters";
            return false;
        }
    }
    error = tooManyCurves(sweeps);
    if (!error.empty())
        return false;
    const size_t curves = curveCount(sweeps);
    // Every combination, the first sweep changing slowest; the last sweep
    // shades a family, the others pick it.
    for (size_t curve = 0; curve < curves; ++curve) {
        Setting setting = {{}, 0, 0};
        size_t rest = curve;
        std::vector<int> steps(sweeps.size(), 0);
        for (size_t i = sweeps.size(); i-- > 0;) {
            steps[i] = static_cast<int>(rest % static_cast<size_t>(sweeps[i].count));
            rest /= static_cast<size_t>(sweeps[i].count);
        }
        for (size_t i = 0; i < sweeps.size(); ++i) {
            setting.values.push_back({sweeps[i].index, sweeps[i].valueAt(steps[i])});
        }
        if (!sweeps.empty()) {
            setting.shade = steps.back();
            setting.family = static_cast<int>(curve / static_cast<size_t>(sweeps.back().count));
        }
        settings.push_back(setting);
    }
    return true;
}

std::string ResponsePicture::readOut(const std::string& shown, double value) {
    const std::string text = trimmed(shown);
    if (text.empty())
        return formatted("%.3g", value);
    const char* start = text.c_str();
    char* end = nullptr;
    errno = 0;
    const double number = std::strtod(start, &end);
    if (errno != 0 || end == start || (*end != 0 && *end != ' '))
        return text;
    return formatted("%.6g", number) + end;
}

std::string ResponsePicture::legendHeading() const {
    std::vector<std::string> names;
    for (const ParameterSweep& sweep : sweeps) {
        names.push_back(trimmed(host.parameterInfo(sweep.index).name));
    }
    return names.empty() ? "Setting" : joined(names, ", ");
}

std::string ResponsePicture::describe(const ParameterSetting& setting, bool withName) {
    std::string value = readOut(host.readOut(setting.index), host.parameterValue(setting.index));
    return withName ? trimmed(host.parameterInfo(setting.index).name) + " " + value : value;
}

std::string ResponsePicture::curveLabel(const Setting& setting) {
    std::vector<std::string> parts;
    for (const ParameterSetting& value : setting.values) {
        parts.push_back(describe(value, false));
    }
    if (!parts.empty())
        return joined(parts, ", ");
    return options.plugin.parameters.empty() ? "as the plug-in starts" : "as set";
}

std::string ResponsePicture::title() const {
    std::string name = trimmed(host.name());
    if (name.empty())
        name = baseName(host.path());
    return name + ": magnitude response at " + formatted("%g", options.plugin.sampleRate / 1000.0) + " kHz";
}

std::string ResponsePicture::subtitle(double disagreement) const {
    std::string text = "Measured from " + baseName(host.path()) + ": impulse response, " +
                       std::to_string(FrequencyResponse::kImpulseFrames) + " samples";
    if (host.inputCount() > 1 || host.outputCount() > 1)
        text += ", input 1 to output 1";
    if (disagreement > kLinearTolerance) {
        return text + "; a sine sweep differs by up to " + formatted("%.2g", disagreement) +
               " dB: not one linear, time-invariant filter";
    }
    return text + "; a sine sweep agrees within " + formatted("%.2g", disagreement) + " dB";
}

std::string ResponsePicture::fixedSettings() {
    std::vector<std::string> fixed;
    for (const ParameterSetting& setting : options.plugin.parameters) {
        bool swept = std::any_of(sweeps.begin(), sweeps.end(),
                                 [&](const ParameterSweep& sweep) { return sweep.index == setting.index; });
        if (!swept)
            fixed.push_back(describe(setting, true));
    }
    if (!fixed.empty())
        return "Set: " + joined(fixed, ", ");
    // Curves that sit at a starting value the reader should not have to guess.
    std::vector<std::string> shown;
    for (int index : options.shownParameters)
        shown.push_back(describe({index, 0.0f}, true));
    return shown.empty() ? "" : joined(shown, ", ") + ", as the plug-in starts";
}

bool ResponsePicture::draw(std::string& error) {
    FrequencyResponse response(host, options.plugin.sampleRate, options.plugin.blockSize);
    if (!response.check(error))
        return false;
    ResponseChart chart;
    chart.frequencies = response.frequencies();
    chart.legendHeading = legendHeading();
    std::printf(
        "Response: %lu curve%s at %d Hz, %lu frequencies from %g Hz to %g Hz, impulse of %lu samples on "
        "input 1, output 1 read; checked with an exponential sine sweep of %lu samples\n",
        static_cast<unsigned long>(settings.size()), settings.size() == 1 ? "" : "s", options.plugin.sampleRate,
        static_cast<unsigned long>(chart.frequencies.size()), chart.frequencies.front(), chart.frequencies.back(),
        static_cast<unsigned long>(FrequencyResponse::kImpulseFrames),
        static_cast<unsigned long>(FrequencyResponse::kSweepFrames));
    double disagreement = 0.0;
    size_t nonFinite = 0;
    for (size_t i = 0; i < settings.size(); ++i) {
        for (const ParameterSetting& value : settings[i].values) {
            host.setPosition(value.index, value.value);
        }
        MeasuredResponse measured = response.measure();
        PlottedCurve curve;
        // Read after processing: some plug-ins update their read-outs only then.
        curve.label = curveLabel(settings[i]);
        curve.decibels = measured.impulseDecibels;
        curve.family = settings[i].family;
        curve.shade = settings[i].shade;
        curve.shades = sweeps.empty() ? 1 : sweeps.back().count;
        size_t top = measured.topIndex();
        std::printf(
            "  curve %lu of %lu, %s: top %+.1f dB at %.0f Hz, %+.1f dB at %g Hz; impulse and sweep differ by "
            "%.2g dB at most\n",
            static_cast<unsigned long>(i + 1), static_cast<unsigned long>(settings.size()), curve.label.c_str(),
            measured.impulseDecibels[top], chart.frequencies[top], measured.impulseDecibels.front(),
            chart.frequencies.front(), measured.disagreement);
        std::fflush(stdout);
        disagreement = std::max(disagreement, measured.disagreement);
        nonFinite += measured.nonFiniteSamples;
        chart.curves.push_back(curve);
    }
    std::printf(
        "Response: impulse and sweep differ by %.2g dB at most over all curves (where each lies within %g dB of "
        "its top)\n",
        disagreement, FrequencyResponse::kCompareRangeDb);
    if (disagreement > kLinearTolerance) {
        std::printf(
            "Note: the two methods disagree by more than %g dB: at these settings the plug-in is not one "
            "linear, time-invariant filter (it may distort, modulate or add noise); the curves show its "
            "response to an impulse\n",
            kLinearTolerance);
    }
    if (nonFinite > 0) {
        std::printf("Warning: %lu output samples were not finite numbers and were taken as silence\n",
                    static_cast<unsigned long>(nonFinite));
    }
    chart.title = title();
    chart.subtitle = subtitle(disagreement);
    chart.settings = fixedSettings();
    if (!ResponsePlot::write(options.pngPath, chart, error))
        return false;
    std::printf("Wrote %s (response curves, %d x %d pixels)\n", options.pngPath.c_str(), ResponsePlot::kWidth,
                ResponsePlot::kHeight);
    return true;
}
