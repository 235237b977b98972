// The parameter table against what repeats it for readers: the README's port
// table must say what quavix/Parameters.h says, and name the LV2 URI
// QuavixConfig.h gives. (The build writes the Turtle files from the same
// table; the LV2 host test reads them back through lilv.)
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

// The cells after the symbol's in the README's row for it.
std::string readmeCells(const std::string& readme, const std::string& symbol) {
    const size_t at = readme.find("| `" + symbol + "` | ");
    return at == kNone ? "" : readme.substr(at + symbol.size() + 6, readme.find('\n', at) - at - symbol.size() - 6);
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
    EXPECT_NE(readme.find(std::string("(`") + quavix::kLv2Uri + "`)"), kNone) << "the README names another URI";
}

}  // namespace
