#include "tools/validate/ValidationReport.h"

#include <cstdio>

namespace {

const char* const kVerdicts[] = {"pass", "FAIL", "skip"};

// A text on the line the report gives it, whatever line ends it holds.
std::string oneLine(std::string text) {
    for (char& c : text) {
        if (c == '\n' || c == '\r')
            c = ' ';
    }
    return text;
}

void detail(const std::string& text) { std::printf("        %s\n", oneLine(text).c_str()); }

}  // namespace

void ValidationReport::startGroup(const std::string& title, size_t number, size_t count, const std::string& id,
                                  const std::vector<std::string>& notes) {
    figures.clear();
    std::printf("\n== %s (group %zu of %zu: %s)\n", title.c_str(), number, count, id.c_str());
    for (const std::string& note : notes)
        std::printf("  note  %s\n", note.c_str());
    std::fflush(stdout);
}

void ValidationReport::notRun(const std::string& why) {
    std::printf("  not run: %s\n", why.c_str());
    std::fflush(stdout);
}

void ValidationReport::check(const CheckResult& result) {
    for (const std::string& note : result.notes)
        std::printf("  note  %s\n", oneLine(note).c_str());
    passed += result.verdict == Verdict::Pass;
    failed += result.verdict == Verdict::Fail;
    warnings += result.warnings;
    std::string name = oneLine(result.name);
    if (result.verdict == Verdict::Skip)
        name += ": " + oneLine(result.skipReason);
    std::printf("  %-4s  %s\n", kVerdicts[static_cast<int>(result.verdict)], name.c_str());
    findings(result);
    figures.insert(figures.end(), result.figures.begin(), result.figures.end());
    std::fflush(stdout);
}

void ValidationReport::findings(const CheckResult& result) {
    int failuresShown = 0, warningsShown = 0;
    for (const Finding& finding : result.findings) {
        const bool failure = finding.kind == Finding::Kind::Failure;
        failuresShown += failure;
        warningsShown += !failure;
        detail((failure ? "failure: " : "warning: ") + finding.text);
    }
    if (result.failures > failuresShown)
        detail("... " + std::to_string(result.failures - failuresShown) + " more failures like these");
    if (result.warnings > warningsShown)
        detail("... " + std::to_string(result.warnings - warningsShown) + " more warnings like these");
}

void ValidationReport::died(const std::string& title, const std::string& how, const std::string& check,
                            const std::string& doing, const std::vector<std::string>& lastLines) {
    ++failed;
    std::printf("  FAIL  %s: the group's process %s", title.c_str(), how.c_str());
    if (!check.empty())
        std::printf(" during check '%s'", check.c_str());
    if (!doing.empty())
        std::printf(" while %s", doing.c_str());
    std::printf("\n");
    for (const std::string& line : lastLines)
        detail(line);
    detail("(the rest of this group did not run; the run goes on)");
    std::fflush(stdout);
}

void ValidationReport::endGroup() {
    if (figures.empty())
        return;
    std::printf("  figures:\n");
    for (const Figure& figure : figures)
        std::printf("    %-46s %s\n", oneLine(figure.name).c_str(), oneLine(figure.value).c_str());
    std::fflush(stdout);
}

void ValidationReport::summary() {
    std::printf("\n%d warnings\n%d passed, %d failed\n", warnings, passed, failed);
    std::fflush(stdout);
}
