// The parameter table against what repeats it outside the code: the LV2
// Turtle file's control ports and the README's port table must say what
// quavix/Parameters.h says. And the read-outs written from it, as the panel
// shows them, where no host read-out reaches.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "quavix/ParameterText.h"
#include "quavix/Parameters.h"
#include "tests/native/FilterProbe.h"

namespace {

using quavix::kParameters;
using quavix::ReadOutPlace;

// In Left, In Right, Out Left, Out Right come before the controls.
constexpr int kFirstControlPort = 4;

std::string sourceFile(const std::string& path) {
    std::ifstream in(std::string(QUAVIX_SOURCE_DIR) + "/" + path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The statements of one port between its brackets, and the object of one
// of them, without quotes; empty when the port has no such statement.
struct TurtlePort {
    std::string text;

    std::string object(const std::string& predicate) const {
        size_t at = text.find(predicate + " ");
        if (at == std::string::npos)
            return "";
        at += predicate.size() + 1;
        if (text[at] == '"')
            return text.substr(at + 1, text.find('"', at + 1) - at - 1);
        return text.substr(at, text.find_first_of(" ;\n", at) - at);
    }
    bool says(const std::string& term) const { return text.find(term) != std::string::npos; }
};

TurtlePort portWithSymbol(const std::string& turtle, const std::string& symbol) {
    const size_t at = turtle.find("lv2:symbol \"" + symbol + "\"");
    if (at == std::string::npos)
        return {};
    const size_t open = turtle.rfind('[', at);
    const size_t close = turtle.find(']', at);
    return {turtle.substr(open, close - open)};
}

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A row of a Markdown table whose second cell is `symbol`, cell by cell.
std::vector<std::string> readmeRow(const std::string& readme, const std::string& symbol) {
    std::istringstream lines(readme);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> cells;
        std::istringstream row(line);
        for (std::string cell; std::getline(row, cell, '|');)
            cells.push_back(trimmed(cell));
        if (cells.size() >= 5 && cells[0].empty() && cells[2] == "`" + symbol + "`")
            return {cells.begin() + 1, cells.end()};
    }
    return {};
}

// The number a text starts with; not a number when it starts with none.
double number(const std::string& text) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    return end == text.c_str() ? std::nan("") : value;
}

// The two ends of a range as the README writes it: "0 (gentle) to 1 (sharpest)".
std::pair<double, double> rangeEnds(const std::string& text) {
    const size_t to = text.find(" to ");
    return {number(text), to == std::string::npos ? std::nan("") : number(text.substr(to + 4))};
}

TEST(ParameterTable, TheTurtleFilesControlPortsAreTheTables) {
    const std::string turtle = sourceFile("resources/lv2/quavix.ttl");
    ASSERT_FALSE(turtle.empty()) << "resources/lv2/quavix.ttl is unreadable";
    for (int32_t index = 0; index < quavix::kNumParams; ++index) {
        const quavix::Parameter& parameter = kParameters[index];
        SCOPED_TRACE(parameter.symbol);
        const TurtlePort port = portWithSymbol(turtle, parameter.symbol);
        ASSERT_FALSE(port.text.empty()) << "no port with this symbol";
        EXPECT_EQ(number(port.object("lv2:index")), kFirstControlPort + index);
        EXPECT_EQ(port.object("lv2:name"), parameter.name);
        EXPECT_EQ(number(port.object("lv2:minimum")), parameter.minimum);
        EXPECT_EQ(number(port.object("lv2:maximum")), parameter.maximum);
        EXPECT_EQ(number(port.object("lv2:default")), parameter.initial);
        EXPECT_EQ(port.says("lv2:integer"), parameter.integer);
        EXPECT_EQ(port.says("units:hz"), std::string(parameter.label) == "Hz");
    }
    const TurtlePort reported = portWithSymbol(turtle, "frequency_out");
    EXPECT_EQ(number(reported.object("lv2:minimum")), kParameters[quavix::kFrequencyParam].minimum);
    EXPECT_EQ(number(reported.object("lv2:maximum")), kParameters[quavix::kFrequencyParam].maximum);
}

TEST(ParameterTable, TheReadmesPortTableIsTheTables) {
    const std::string readme = sourceFile("README.md");
    ASSERT_FALSE(readme.empty()) << "README.md is unreadable";
    for (const quavix::Parameter& parameter : kParameters) {
        SCOPED_TRACE(parameter.symbol);
        const std::vector<std::string> row = readmeRow(readme, parameter.symbol);
        ASSERT_EQ(row.size(), 4u) << "no row for this symbol";
        EXPECT_EQ(row[0], parameter.name);
        EXPECT_EQ(rangeEnds(row[2]), std::make_pair(parameter.minimum, parameter.maximum)) << row[2];
        EXPECT_EQ(row[2].find("whole numbers") != std::string::npos, parameter.integer);
        EXPECT_EQ(number(row[3]), parameter.initial);
    }
}

// What each read-out says at its edges; the host's read-outs of the effect's
// own values are the parameter tests'.
TEST(ParameterTable, ReadOutsAtTheirEdges) {
    FilterProbe effect;
    struct Case {
        int32_t index;
        ReadOutPlace place;
        double quantity;
        const char* text;
    };
    const Case cases[] = {
        {quavix::kFrequencyParam, ReadOutPlace::kPanel, 2300.9, "2300"},
        {quavix::kFrequencyParam, ReadOutPlace::kHost, 2300.9, "2300.900000"},
        {quavix::kFrequencyParam, ReadOutPlace::kPanel, 1e30, ""},
        {quavix::kFrequencyParam, ReadOutPlace::kPanel, std::nan(""), ""},
        {quavix::kGainParam, ReadOutPlace::kPanel, 0.5, "-6.02"},
        {quavix::kGainParam, ReadOutPlace::kHost, 0.5, "-6.02060"},
        {quavix::kPeakParam, ReadOutPlace::kPanel, 0.33f, "Hi"},
        {quavix::kPeakParam, ReadOutPlace::kPanel, 0.34, "Med"},
        {quavix::kPeakParam, ReadOutPlace::kHost, 0.66f, "Med"},
        {quavix::kPeakParam, ReadOutPlace::kHost, std::nan(""), "Lo"},
        {quavix::kControllerParam, ReadOutPlace::kPanel, 127.0, "127"},
        {quavix::kControllerParam, ReadOutPlace::kPanel, 128.0, ""},
        {quavix::kControllerParam, ReadOutPlace::kHost, -1.0, ""},
        {quavix::kNumParams, ReadOutPlace::kHost, 1.0, ""},
    };
    for (const Case& c : cases) {
        char text[64];
        std::memset(text, 'x', sizeof(text));
        quavix::writeReadOut(&effect, c.index, c.place, c.quantity, text, sizeof(text));
        EXPECT_STREQ(text, c.text) << "parameter " << c.index << " at " << c.quantity;
    }
    // Decibels need the effect's text operation and room for the whole text.
    char text[64] = "x";
    quavix::writeReadOut(nullptr, quavix::kGainParam, ReadOutPlace::kPanel, 0.5, text, sizeof(text));
    EXPECT_STREQ(text, "");
    quavix::writeReadOut(&effect, quavix::kGainParam, ReadOutPlace::kHost, 0.5, text, 8);
    EXPECT_STREQ(text, "");
}

}  // namespace
