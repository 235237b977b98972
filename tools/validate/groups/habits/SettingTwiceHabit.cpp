// Hosts send the same value twice, when a user lets go of a control or
// automation holds still: the second time must change nothing.
#include "tools/validate/groups/habits/HabitChecks.h"
#include "tools/validate/groups/habits/HabitsSupport.h"
#include "tools/validate/groups/habits/Twins.h"

namespace {

std::vector<float> valuesTried(CheckContext& context) {
    std::vector<float> values = {0.0f, 1.0f, 0.5f};
    for (int k : {1, 63, 64, 126})
        values.push_back(static_cast<float>(k / 127.0));
    for (int i = 0; i < context.strictness(); ++i)
        values.push_back(static_cast<float>(context.uniform()));
    return values;
}

}  // namespace

void settingIsIdempotent(CheckContext& context) {
    Twins twins(context);
    if (!twins.open())
        return;
    if (!twins.deterministic())
        context.note("two fresh instances fed the same noise differ: only read-backs and texts are compared");
    const std::vector<VstInt32> indices = walked(context, twins.one().record()->numParams);
    const std::vector<float> values = valuesTried(context);
    long pairs = 0;
    for (VstInt32 index : indices) {
        for (float value : values) {
            if (context.failureCount() >= kEnoughFailures)
                break;
            context.doing("setting parameter %d to %.9g, then again", index, static_cast<double>(value));
            twins.both([&](PluginHost& host) { host.setParameter(index, value); });
            const std::string change = twins.changesFrom(index, value);
            ++pairs;
            if (change.empty())
                continue;
            context.fail("setting parameter %d to %.9g a second time changes it: %s", index, static_cast<double>(value),
                         change.c_str());
            // The twins went apart: fresh ones for the rest.
            if (!twins.open())
                return;
        }
    }
    context.figure("parameters x values set twice", "%zu x %zu (%ld pairs)%s", indices.size(), values.size(), pairs,
                   twins.comparesAudio() ? ", output compared bit for bit" : "");
}
