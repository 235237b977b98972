// The parameter table against what repeats it outside the code: the LV2
// Turtle file's control ports and the README's port table must say what
// quavix/Parameters.h says.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "quavix/Parameters.h"

namespace {

using quavix::kParameters;
using quavix::Parameter;

constexpr size_t kNone = std::string::npos;

std::string sourceFile(const std::string& path) {
    std::ifstream in(std::string(QUAVIX_SOURCE_DIR) + "/" + path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The number a text starts with; not a number when it starts with none.
double number(const std::string& text) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    return end == text.c_str() ? std::nan("") : value;
}

// The object of one statement of the port with this symbol, up to its ';'
// or the port's end; empty when the port has no such statement.
std::string turtleObject(const std::string& turtle, const std::string& symbol, const std::string& predicate) {
    const size_t at = turtle.find("lv2:symbol \"" + symbol + "\"");
    const size_t found = at == kNone ? kNone : turtle.find(predicate + " ", turtle.rfind('[', at));
    if (found == kNone || found > turtle.find(']', at))
        return "";
    const size_t start = found + predicate.size() + 1;
    return turtle.substr(start, turtle.find_first_of(";\n", start) - start);
}

// The cells after the symbol's in the README's row for it.
std::string readmeCells(const std::string& readme, const std::string& symbol) {
    const size_t at = readme.find("| `" + symbol + "` | ");
    return at == kNone ? "" : readme.substr(at + symbol.size() + 6, readme.find('\n', at) - at - symbol.size() - 6);
}

TEST(ParameterTable, TheTurtleFilesControlPortsAreTheTables) {
    const std::string turtle = sourceFile("resources/lv2/quavix.ttl");
    for (int32_t index = 0; index < quavix::kNumParams; ++index) {
        const Parameter& parameter = kParameters[index];
        SCOPED_TRACE(parameter.symbol);
        const auto object = [&](const char* predicate) { return turtleObject(turtle, parameter.symbol, predicate); };
        EXPECT_EQ(number(object("lv2:index")), 4 + index) << "after the four audio ports";
        EXPECT_EQ(object("lv2:name"), "\"" + std::string(parameter.name) + "\" ");
        EXPECT_EQ(number(object("lv2:minimum")), parameter.minimum);
        EXPECT_EQ(number(object("lv2:maximum")), parameter.maximum);
        EXPECT_EQ(number(object("lv2:default")), parameter.initial);
        EXPECT_EQ(object("lv2:portProperty") == "lv2:integer ", parameter.integer);
        EXPECT_EQ(object("units:unit") == "units:hz", std::string(parameter.label) == "Hz");
    }
    const Parameter& frequency = kParameters[quavix::kFrequencyParam];
    EXPECT_EQ(number(turtleObject(turtle, "frequency_out", "lv2:minimum")), frequency.minimum);
    EXPECT_EQ(number(turtleObject(turtle, "frequency_out", "lv2:maximum")), frequency.maximum);
}

// | name | `symbol` | minimum ... to maximum ... | initial |
TEST(ParameterTable, TheReadmesPortTableIsTheTables) {
    const std::string readme = sourceFile("README.md");
    for (const Parameter& parameter : kParameters) {
        SCOPED_TRACE(parameter.symbol);
        EXPECT_NE(readme.find("| " + std::string(parameter.name) + " | `" + parameter.symbol + "` |"), kNone);
        const std::string cells = readmeCells(readme, parameter.symbol);
        const size_t to = cells.find(" to ");
        ASSERT_NE(to, kNone) << "no row with a range";
        EXPECT_EQ(number(cells), parameter.minimum);
        EXPECT_EQ(number(cells.substr(to + 4)), parameter.maximum);
        EXPECT_EQ(cells.find("whole numbers") < cells.find('|'), parameter.integer);
        EXPECT_EQ(number(cells.substr(cells.find("| ") + 2)), parameter.initial);
    }
}

}  // namespace
