#include "tools/validate/Validator.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <vector>

#include "tools/hosting/process/GroupProcess.h"
#include "tools/hosting/PluginLoader.h"
#include "tools/validate/CheckContext.h"
#include "tools/validate/ValidationGroup.h"
#include "tools/validate/ResultWire.h"

namespace {

// A group may take this long at strictness 1, and this much more per level,
// before it counts as hung.
const double kGroupSeconds = 120.0;
const double kGroupSecondsPerLevel = 60.0;
const size_t kRememberedLines = 4;

// Every group for a VST 2.4 plug-in; those written against the hosting
// interface for the other formats.
std::vector<ValidationGroup> allGroups(const std::string& pluginPath) {
    const std::vector<ValidationGroup> all = {
        identityGroup(), parametersGroup(), dispatcherGroup(), processingGroup(), sampleRatesGroup(), midiGroup(),
        threadsGroup(),  editorGroup(),     instancesGroup(),  stateGroup(),      hostHabitsGroup()};
    if (PluginLoader::formatOf(pluginPath) == PluginFormat::Vst2)
        return all;
    std::vector<ValidationGroup> everyFormat;
    for (const ValidationGroup& group : all) {
        if (group.everyFormat)
            everyFormat.push_back(group);
    }
    return everyFormat;
}

// Each group draws its own stream from the run's seed, so that a rerun of
// one seed repeats every group, whichever ran before it.
uint64_t groupSeed(uint64_t seed, const std::string& id) {
    uint64_t hash = 1469598103934665603ull;
    for (char c : id)
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return seed ^ hash;
}

CheckResult runCheck(const ValidationCheck& check, CheckContext& context) {
    if (context.strictness() < check.minStrictness) {
        CheckResult skipped;
        skipped.name = check.name;
        skipped.verdict = Verdict::Skip;
        skipped.skipReason = "runs from strictness " + std::to_string(check.minStrictness);
        return skipped;
    }
    context.begin(check.name);
    try {
        check.run(context);
    } catch (const std::exception& thrown) {
        context.fail("an exception escaped: %s", thrown.what());
    } catch (...) {
        context.fail("an exception of unknown type escaped");
    }
    return context.finish();
}

}  // namespace

// What the parent knows of a group under way, to say where it died.
struct Validator::GroupProgress {
    std::string check;
    std::string doing;
    std::vector<std::string> lastLines;  // the plug-in's own, and a crash report
    bool done = false;
};

Validator::Validator(const ValidateOptions& options)
    : pluginPath(options.pluginPath), strictness(options.strictness), seed(options.seed) {
    if (!options.seedGiven) {
        seed = static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()) & 0xFFFFFFFFull;
    }
}

int Validator::run() {
    std::vector<ValidationGroup> groups = allGroups(pluginPath);
    std::printf("Validating '%s' at strictness %d (%d quick .. %d long), seed %llu\n", pluginPath.c_str(), strictness,
                ValidationSettings::kMinStrictness, ValidationSettings::kMaxStrictness,
                static_cast<unsigned long long>(seed));
    std::printf("Rerun with: quavix-host --validate '%s' --strictness %d --seed %llu\n", pluginPath.c_str(), strictness,
                static_cast<unsigned long long>(seed));
    const PluginFormat format = PluginLoader::formatOf(pluginPath);
    if (format != PluginFormat::Vst2) {
        std::printf("A %s plug-in: the %zu groups written for every format; those of VST 2.4's own are left out\n",
                    formatName(format), groups.size());
    }
    for (size_t i = 0; i < groups.size(); ++i) {
        report.startGroup(groups[i].title, i + 1, groups.size(), groups[i].id,
                          unloadable ? std::vector<std::string>() : groups[i].notes);
        if (unloadable)
            report.notRun("the plug-in does not load");
        else
            runInChild(groups[i].id, groups[i].title);
    }
    report.summary();
    return report.anyFailed() ? 1 : 0;
}

std::vector<std::string> Validator::childArguments(const std::string& id) const {
    return {"--validate-group",   id,        "--strictness", std::to_string(strictness), "--seed",
            std::to_string(seed), pluginPath};
}

void Validator::runInChild(const std::string& id, const std::string& title) {
    GroupProgress progress;
    double timeout = kGroupSeconds + kGroupSecondsPerLevel * strictness;
    GroupOutcome outcome = GroupProcess::run([this, id]() { return runGroup(id); }, childArguments(id), timeout,
                                             [this, &progress](const std::string& line) { receive(line, progress); });
    if (!progress.done) {
        std::string how =
            !outcome.ending.empty() ? outcome.ending : "ended with exit code " + std::to_string(outcome.exitCode);
        report.died(title, how, progress.check, progress.doing, progress.lastLines);
    }
    report.endGroup();
}

void Validator::receive(const std::string& line, GroupProgress& progress) {
    GroupMessage message;
    if (!ResultWire::decode(line, message)) {
        if (line.empty())
            return;
        progress.lastLines.push_back(line);
        if (progress.lastLines.size() > kRememberedLines)
            progress.lastLines.erase(progress.lastLines.begin());
        return;
    }
    switch (message.kind) {
    case GroupMessage::Kind::CheckStarts:
        progress.check = message.text;
        progress.doing.clear();
        break;
    case GroupMessage::Kind::Doing:
        progress.doing = message.text;
        break;
    case GroupMessage::Kind::Result:
        report.check(message.result);
        unloadable = unloadable || message.result.unloadable;
        progress.check.clear();
        progress.doing.clear();
        break;
    case GroupMessage::Kind::GroupDone:
        progress.done = true;
        break;
    }
}

int Validator::runGroup(const std::string& id) {
    for (const ValidationGroup& group : allGroups(pluginPath)) {
        if (id != group.id)
            continue;
        ValidationSettings settings;
        settings.pluginPath = pluginPath;
        settings.strictness = strictness;
        settings.seed = seed;
        CheckContext context(settings, groupSeed(seed, id));
        for (const ValidationCheck& check : group.checks) {
            GroupMessage message;
            message.kind = GroupMessage::Kind::Result;
            message.result = runCheck(check, context);
            CheckContext::send(message);
            // Without a plug-in the other checks would only repeat the failure.
            if (message.result.unloadable)
                break;
        }
        GroupMessage done;
        done.kind = GroupMessage::Kind::GroupDone;
        CheckContext::send(done);
        return 0;
    }
    std::fprintf(stderr, "quavix-host: no validation group '%s'\n", id.c_str());
    return 2;
}
