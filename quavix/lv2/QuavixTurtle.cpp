// The build's writer of the LV2 bundle's Turtle files: it fills a template
// from resources/lv2 with what the code already says, so that the files can
// never disagree with the adapter. The control ports come from the parameter
// table, the port numbers from the adapter's order, the URI from
// QuavixConfig.h and the version from the VERSION file.
//
//   quavix_turtle TEMPLATE OUTPUT
//
// A template names what it wants as @NAME@; @CONTROL_PORTS@ and
// @REPORTED_RANGE@ stand alone on their lines. A name the writer does not
// know stops it, so a typing slip never reaches a host.
#include <QuavixVersion.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "framework/lv2/Lv2Plugin.h"
#include "quavix/Parameters.h"

namespace {

using quavix::kParameters;
using quavix::Parameter;

// A port value as Turtle reads it back exactly: a whole number for integer
// ports, else the fewest decimals (at least one) that read back as the value.
std::string turtleNumber(double value, bool integer) {
    if (integer)
        return std::to_string(static_cast<long long>(std::lround(value)));
    char text[32];
    for (int decimals = 1; decimals <= 17; ++decimals) {
        std::snprintf(text, sizeof text, "%.*f", decimals, value);
        if (std::strtod(text, nullptr) == value)
            break;
    }
    return text;
}

// The lines a port's range ends with; the last has no ';', as it ends the port.
std::string rangeLines(const Parameter& parameter, bool withDefault) {
    std::string lines;
    if (withDefault)
        lines += "        lv2:default " + turtleNumber(parameter.initial, parameter.integer) + " ;\n";
    lines += "        lv2:minimum " + turtleNumber(parameter.minimum, parameter.integer) + " ;\n";
    lines += "        lv2:maximum " + turtleNumber(parameter.maximum, parameter.integer);
    if (parameter.portUnit)
        lines += std::string(" ;\n        units:unit units:") + parameter.portUnit;
    return lines;
}

std::string controlPorts(int32_t firstIndex) {
    std::string ports;
    for (int32_t index = 0; index < quavix::kNumParams; ++index) {
        const Parameter& parameter = kParameters[index];
        ports += "    ] , [\n        a lv2:InputPort , lv2:ControlPort ;\n";
        ports += "        lv2:index " + std::to_string(firstIndex + index) + " ;\n";
        ports += std::string("        lv2:symbol \"") + parameter.symbol + "\" ;\n";
        ports += std::string("        lv2:name \"") + parameter.name + "\" ;\n";
        if (parameter.portComment)
            ports += std::string("        rdfs:comment \"") + parameter.portComment + "\" ;\n";
        if (parameter.integer)
            ports += "        lv2:portProperty lv2:integer ;\n";
        ports += rangeLines(parameter, true);
        if (index + 1 < quavix::kNumParams)
            ports += "\n";
    }
    return ports;
}

bool fill(std::istream& in, std::ostream& out, const std::string& templateName) {
    const Lv2PluginDescription& description = lv2PluginDescription();
    const int32_t firstControl = quavix::kNumInputs + quavix::kNumOutputs;
    const std::map<std::string, std::string> values = {
        {"URI", description.uri},
        {"VERSION_MINOR", std::to_string(QUAVIX_VERSION_MINOR)},
        {"VERSION_MICRO", std::to_string(QUAVIX_VERSION_PATCH)},
        {"CONTROL_PORTS", controlPorts(firstControl)},
        {"MIDI_PORT", std::to_string(firstControl + description.numControls)},
        {"REPORT_PORT", std::to_string(firstControl + description.numControls + 1)},
        {"REPORTED_RANGE", rangeLines(kParameters[description.reportedParameter], false)},
    };
    std::string line;
    for (int lineNumber = 1; std::getline(in, line); ++lineNumber) {
        for (size_t at = line.find('@'); at != std::string::npos; at = line.find('@', at)) {
            // Turtle's own '@' (@prefix, a language tag) is left alone.
            const size_t end = line.find('@', at + 1);
            const std::string name = line.substr(at + 1, end == std::string::npos ? 0 : end - at - 1);
            if (name.empty() || name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ_") != std::string::npos) {
                ++at;
                continue;
            }
            const auto value = values.find(name);
            if (value == values.end()) {
                std::fprintf(stderr, "quavix_turtle: %s:%d: @%s@ names nothing this writer knows\n",
                             templateName.c_str(), lineNumber, name.c_str());
                return false;
            }
            line.replace(at, end - at + 1, value->second);
            at += value->second.size();
        }
        out << line << '\n';
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: quavix_turtle TEMPLATE OUTPUT\n");
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::fprintf(stderr, "quavix_turtle: cannot read the template %s\n", argv[1]);
        return 1;
    }
    std::ostringstream text;
    if (!fill(in, text, argv[1]))
        return 1;
    std::ofstream out(argv[2], std::ios::binary);
    if (!(out << text.str()) || !out.flush()) {
        std::fprintf(stderr, "quavix_turtle: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
