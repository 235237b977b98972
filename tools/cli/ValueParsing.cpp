#include "tools/cli/ValueParsing.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace {

const int kLargestIndex = 1 << 20;

}  // namespace

bool ValueParsing::integer(const char* text, int low, int high, int& result) {
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != 0 || value < low || value > high)
        return false;
    result = static_cast<int>(value);
    return true;
}

bool ValueParsing::real(const char* text, double low, double high, double& result) {
    char* end = nullptr;
    errno = 0;
    double value = std::strtod(text, &end);
    if (errno != 0 || end == text || *end != 0 || !std::isfinite(value) || value < low || value > high)
        return false;
    result = value;
    return true;
}

bool ValueParsing::seed(const char* text, unsigned long long& result) {
    char* end = nullptr;
    errno = 0;
    result = std::strtoull(text, &end, 10);
    // strtoull takes "-3" as a huge number; a seed is never negative.
    return errno == 0 && end != text && *end == 0 && text[0] != '-';
}

bool ValueParsing::parameter(const std::string& text, ParameterSetting& setting) {
    size_t equals = text.find('=');
    double value = 0.0;
    if (equals == std::string::npos || !integer(text.substr(0, equals).c_str(), 0, kLargestIndex, setting.index) ||
        !real(text.c_str() + equals + 1, 0.0, 1.0, value)) {
        return false;
    }
    setting.value = static_cast<float>(value);
    return true;
}

bool ValueParsing::settingList(const std::string& text, std::vector<ParameterSetting>& settings) {
    size_t start = 0;
    for (;;) {
        size_t comma = text.find(',', start);
        ParameterSetting setting = {0, 0.0f};
        if (!parameter(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start), setting))
            return false;
        settings.push_back(setting);
        if (comma == std::string::npos)
            return true;
        start = comma + 1;
    }
}

bool ValueParsing::parameterSweep(const std::string& text, int mostSteps, ParameterSweep& sweep) {
    size_t equals = text.find('=');
    size_t first = text.find(':', equals == std::string::npos ? 0 : equals);
    size_t second = first == std::string::npos ? first : text.find(':', first + 1);
    double from = 0.0, to = 0.0;
    if (second == std::string::npos || !integer(text.substr(0, equals).c_str(), 0, kLargestIndex, sweep.index) ||
        !real(text.substr(equals + 1, first - equals - 1).c_str(), 0.0, 1.0, from) ||
        !real(text.substr(first + 1, second - first - 1).c_str(), 0.0, 1.0, to) ||
        !integer(text.c_str() + second + 1, 1, mostSteps, sweep.count)) {
        return false;
    }
    sweep.from = static_cast<float>(from);
    sweep.to = static_cast<float>(to);
    return true;
}

bool ValueParsing::controllerSweep(const std::string& text, RenderOptions& options) {
    size_t colon = text.find(':');
    return colon != std::string::npos &&
           integer(text.substr(0, colon).c_str(), 0, HostedPlugin::kHighestController, options.sweepStart) &&
           integer(text.c_str() + colon + 1, 0, HostedPlugin::kHighestController, options.sweepEnd);
}
