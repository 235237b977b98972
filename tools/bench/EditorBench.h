// --editor-bench: what an editor costs to show, at 100% and at 200%. Two
// figures per scale, each the median of its rounds:
//   open to first paint: from effEditOpen until the host's window shows the
//     whole panel, as it shows it once settled;
//   full redraw: the editor's windows painted over by the host, told they
//     are exposed in full, and idled until they show the panel again;
//   idle, nothing dirty: one effEditIdle while the panel shows settled and
//     nothing changes, as a host's timer sends it many times a second.
// The host's own work is left out of both: covering the windows, and taking
// the pictures that tell whether the panel is whole yet (each idle pass is
// followed by a round trip to the window system, so that what the editor
// asked it to draw is drawn; then the picture is compared untimed).
#pragma once

#include <string>

#include "tools/bench/PluginBench.h"
#include "tools/hosting/PluginOptions.h"

struct EditorBenchOptions {
    PluginOptions plugin;
    int rounds = BenchSettings::kDefaultRounds;  // --rounds
};

class EditorBench {
public:
    // The redraw at 200% may cost at most this many times the one at 100%.
    static constexpr double kRedrawRatioGoal = 3.0;

    // An exit code: failed when the plug-in does not load, has no editor,
    // does not take a display scale, or never shows a whole panel.
    static int run(const EditorBenchOptions& options);
};
