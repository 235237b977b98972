// Hosts that sort by the flag list an effect among the instruments, and
// some refuse to put an instrument on an audio track's insert: the flag
// must agree with the category.
#include "tools/hosting/vst/PluginReport.h"
#include "tools/validate/groups/GroupSupport.h"
#include "tools/validate/groups/habits/HabitChecks.h"
#include "tools/validate/groups/habits/HabitsSupport.h"

void flagsAgreeWithCategory(CheckContext& context) {
    std::unique_ptr<PluginHost> host = context.load(kRate, kHabitsBlock);
    if (!host)
        return;
    const VstInt32 flags = host->record()->flags;
    const VstIntPtr category = host->dispatch(effGetPlugCategory);
    const bool synth = (flags & effFlagsIsSynth) != 0;
    context.figure("flags / category", "%s / %ld (%s)", PluginReport::decodeFlags(flags).c_str(),
                   static_cast<long>(category), PluginReport::categoryName(category));
    context.figure("inputs / outputs", "%d / %d", host->record()->numInputs, host->record()->numOutputs);
    if (synth && category == kPlugCategEffect)
        context.fail("effFlagsIsSynth is set on a plug-in whose category is effect: hosts list it as an instrument");
    else if (synth && category != kPlugCategSynth && category != kPlugCategUnknown)
        context.warn("effFlagsIsSynth is set on a plug-in whose category is %s; hosts may list it as an instrument",
                     PluginReport::categoryName(category));
    if (!synth && category == kPlugCategSynth)
        context.warn(
            "the category is synth, but effFlagsIsSynth is clear: hosts that sort by the flag list it as "
            "an effect");
}
