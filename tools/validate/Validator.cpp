#include "tools/validate/Validator.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <vector>

#include "tools/hosting/GroupProcess.h"
#include "tools/validate/CheckContext.h"

namespace {

// A group may take this long at strictness 1, and this much more per level,
// before it counts as hung.
const double kGroupSeconds = 120.0;
const double kGroupSecondsPerLevel = 60.0;
const size_t kRememberedLines = 4;

std::vector<ValidationGroup> allGroups() {
    return {identityGroup(), parametersGroup(), dispatcherGroup(), processingGroup(), sampleRatesGroup(), midiGroup(),
            threadsGroup(),  editorGroup(),     instancesGroup(),  stateGroup(),      hostHabitsGroup()};
}

// Each group draws its own stream from the run's seed, so that a rerun of
// one seed repeats every group, whichever ran before it.
uint64_t groupSeed(uint64_t seed, const std::string& id) {
    uint64_t hash = 1469598103934665603ull;
    for (char c : id)
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return seed ^ hash;
}

bool startsWith(const std::string& text, const char* prefix, std::string& rest) {
    size_t length = std::char_traits<char>::length(prefix);
    if (text.compare(0, length, prefix) != 0)
        return false;
    rest = text.substr(length);
    return true;
}

}  // namespace

struct Validator::GroupTally {
    std::string title;
    std::string check;  // the check under way
    std::string doing;
    std::vector<std::string> details;
    std::vector<std::pair<std::string, std::string>> figures;
    std::vector<std::string> otherLines;
    bool done = false;
};

Validator::Validator(const ValidateOptions& options)
    : pluginPath(options.pluginPath), strictness(options.strictness), seed(options.seed) {
    if (!options.seedGiven) {
        seed = static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()) & 0xFFFFFFFFull;
    }
}

int Validator::run() {
    std::vector<ValidationGroup> groups = allGroups();
    std::printf("Validating '%s' at strictness %d (%d quick .. %d long), seed %llu\n", pluginPath.c_str(), strictness,
                kMinStrictness, kMaxStrictness, static_cast<unsigned long long>(seed));
    std::printf("Rerun with: quavix-host --validate '%s' --strictness %d --seed %llu\n", pluginPath.c_str(), strictness,
                static_cast<unsigned long long>(seed));
    for (size_t i = 0; i < groups.size(); ++i) {
        std::printf("\n== %s (group %zu of %zu: %s)\n", groups[i].title, i + 1, groups.size(), groups[i].id);
        std::fflush(stdout);
        if (unloadable) {
            std::printf("  not run: the plug-in does not load\n");
            continue;
        }
        GroupTally tally;
        tally.title = groups[i].title;
        runInChild(i, tally);
    }
    std::printf("\n%d warnings\n%d passed, %d failed\n", warnings, passed, failed);
    std::fflush(stdout);
    return failed == 0 ? 0 : 1;
}

std::vector<std::string> Validator::childArguments(const std::string& id) const {
    return {"--validate-group",   id,        "--strictness", std::to_string(strictness), "--seed",
            std::to_string(seed), pluginPath};
}

void Validator::runInChild(size_t groupIndex, GroupTally& tally) {
    std::vector<ValidationGroup> groups = allGroups();
    const std::string id = groups[groupIndex].id;
    double timeout = kGroupSeconds + kGroupSecondsPerLevel * strictness;
    GroupOutcome outcome = GroupProcess::run([this, id]() { return runGroup(id); }, childArguments(id), timeout,
                                             [this, &tally](const std::string& line) { handleLine(line, tally); });
    if (!tally.done) {
        ++failed;
        std::string how =
            !outcome.ending.empty() ? outcome.ending : "ended with exit code " + std::to_string(outcome.exitCode);
        std::printf("  FAIL  %s: the group's process %s", tally.title.c_str(), how.c_str());
        if (!tally.check.empty())
            std::printf(" during check '%s'", tally.check.c_str());
        if (!tally.doing.empty())
            std::printf(" while %s", tally.doing.c_str());
        std::printf("\n");
        for (const std::string& line : tally.otherLines)
            std::printf("        %s\n", line.c_str());
        std::printf("        (the rest of this group did not run; the run goes on)\n");
    }
    if (!tally.figures.empty()) {
        std::printf("  figures:\n");
        for (const auto& figure : tally.figures)
            std::printf("    %-46s %s\n", figure.first.c_str(), figure.second.c_str());
    }
    std::fflush(stdout);
}

void Validator::handleLine(const std::string& line, GroupTally& tally) {
    std::string rest;
    if (startsWith(line, "@doing ", rest)) {
        tally.doing = rest;
    } else if (startsWith(line, "@check ", rest)) {
        tally.check = rest;
        tally.doing.clear();
        tally.details.clear();
    } else if (startsWith(line, "@fail ", rest)) {
        tally.details.push_back("failure: " + rest);
    } else if (startsWith(line, "@warn ", rest)) {
        ++warnings;
        tally.details.push_back("warning: " + rest);
    } else if (startsWith(line, "@more ", rest)) {
        tally.details.push_back(rest);
    } else if (startsWith(line, "@note ", rest)) {
        std::printf("  note  %s\n", rest.c_str());
    } else if (startsWith(line, "@figure ", rest)) {
        size_t tab = rest.find('\t');
        tally.figures.emplace_back(rest.substr(0, tab), tab == std::string::npos ? "" : rest.substr(tab + 1));
    } else if (startsWith(line, "@pass ", rest) || startsWith(line, "@failed ", rest) ||
               startsWith(line, "@skip ", rest)) {
        const char* verdict = line[1] == 'p' ? "pass" : line[1] == 'f' ? "FAIL" : "skip";
        if (line[1] == 'p')
            ++passed;
        if (line[1] == 'f')
            ++failed;
        std::printf("  %-4s  %s\n", verdict, rest.c_str());
        for (const std::string& text : tally.details)
            std::printf("        %s\n", text.c_str());
        tally.details.clear();
        tally.check.clear();
        tally.doing.clear();
    } else if (startsWith(line, "@fatal ", rest)) {
        unloadable = true;
    } else if (line == "@done") {
        tally.done = true;
    } else if (!line.empty()) {
        // The plug-in's own chatter, and the crash report: the last few lines explain a death.
        tally.otherLines.push_back(line);
        if (tally.otherLines.size() > kRememberedLines)
            tally.otherLines.erase(tally.otherLines.begin());
    }
    std::fflush(stdout);
}

int Validator::runGroup(const std::string& id) {
    for (const ValidationGroup& group : allGroups()) {
        if (id != group.id)
            continue;
        ValidationSettings settings;
        settings.pluginPath = pluginPath;
        settings.strictness = strictness;
        settings.seed = seed;
        CheckContext context(settings, groupSeed(seed, id));
        for (const std::string& text : group.notes)
            CheckContext::emit("@note " + text);
        for (const ValidationCheck& check : group.checks) {
            if (strictness < check.minStrictness) {
                CheckContext::emit(std::string("@skip ") + check.name + ": runs from strictness " +
                                   std::to_string(check.minStrictness));
                continue;
            }
            CheckContext::emit(std::string("@check ") + check.name);
            context.begin();
            try {
                check.run(context);
            } catch (const std::exception& thrown) {
                context.fail("an exception escaped: %s", thrown.what());
            } catch (...) {
                context.fail("an exception of unknown type escaped");
            }
            if (context.failureCount() > CheckContext::kDetailLimit) {
                CheckContext::emit("@more ... " + std::to_string(context.failureCount() - CheckContext::kDetailLimit) +
                                   " more failures like these");
            }
            if (context.failed())
                CheckContext::emit(std::string("@failed ") + check.name);
            else if (context.skipped())
                CheckContext::emit(std::string("@skip ") + check.name + ": " + context.skipText());
            else
                CheckContext::emit(std::string("@pass ") + check.name);
            // Without a plug-in the other checks would only repeat the failure.
            if (context.fatal())
                break;
        }
        CheckContext::emit("@done");
        return 0;
    }
    std::fprintf(stderr, "quavix-host: no validation group '%s'\n", id.c_str());
    return 2;
}
