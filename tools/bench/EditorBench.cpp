#include "tools/bench/EditorBench.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "tools/bench/PluginBench.h"
#include "tools/hosting/EditorWindow.h"
#include "tools/hosting/PluginLoader.h"
#include "tools/hosting/Median.h"

namespace {

using Clock = std::chrono::steady_clock;

const float kScales[] = {1.0f, 2.0f};
const int kScaleCount = sizeof kScales / sizeof kScales[0];
// Long enough for an editor to create its views and paint them, so that
// the picture taken after is the panel as it stays.
const unsigned kSettleMilliseconds = 500;
// A round whose panel is not whole by then has failed.
const double kGiveUpMilliseconds = 5000.0;
// Idles with nothing to redraw last microseconds: each round times this many.
const int kIdlesPerRound = 200;

double millisecondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;

    bool take(const EditorWindow& window) {
        std::string ignored;
        return window.capture(width, height, rgb, ignored);
    }
    bool operator==(const Picture& other) const {
        return width == other.width && height == other.height && rgb == other.rgb;
    }
};

// Idle passes, each followed by a round trip to the window system, until
// the window shows the panel; only the passes and round trips count.
bool idleUntilShown(PluginEditor& editor, EditorWindow& window, const Picture& panel, double& elapsed) {
    const Clock::time_point start = Clock::now();
    Picture now;
    for (;;) {
        const Clock::time_point pass = Clock::now();
        editor.idle();
        window.pump(0);
        window.sync();
        elapsed += millisecondsBetween(pass, Clock::now());
        if (now.take(window) && now == panel)
            return true;
        if (millisecondsBetween(start, Clock::now()) > kGiveUpMilliseconds)
            return false;
    }
}

// One editor at one scale: its instance, the panel as it shows settled, and
// the figures of its rounds.
struct ScaledEditor {
    float scale = 1.0f;
    std::unique_ptr<HostedPlugin> plugin;
    PluginEditor* editor = nullptr;
    Picture panel;
    std::vector<double> firstPaint, redraw, idle;
};

bool setUp(ScaledEditor& editor, const PluginOptions& plugin, std::string& error) {
    editor.plugin = PluginLoader::open(plugin.path, {plugin.sampleRate, plugin.blockSize}, error);
    if (!editor.plugin)
        return false;
    // The command line lets only plug-ins of formats whose editors it hosts this far.
    editor.editor = editor.plugin->editor();
    if (!editor.editor->available(error))
        return false;
    editor.plugin->start();
    if (!editor.editor->setScale(editor.scale)) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", static_cast<double>(editor.scale));
        error = "plug-in '" + plugin.path + "' does not take a display scale (asked for " + text + ")";
        return false;
    }
    // The panel, and a warm-up: what an editor loads once per process is not charged to round one.
    EditorWindow window(*editor.editor, EditorWindow::Kind::Popup);
    if (!window.open(error))
        return false;
    window.pump(kSettleMilliseconds);
    window.settle();
    if (!window.capture(editor.panel.width, editor.panel.height, editor.panel.rgb, error))
        return false;
    window.close();
    return true;
}

bool timeFirstPaint(ScaledEditor& editor, std::string& error) {
    EditorWindow window(*editor.editor, EditorWindow::Kind::Popup);
    if (!window.open(error))
        return false;
    double elapsed = millisecondsBetween(window.editorOpenedAt(), Clock::now());
    const bool shown = idleUntilShown(*editor.editor, window, editor.panel, elapsed);
    window.close();
    if (!shown) {
        error = "the editor did not show its whole panel within 5 s of opening";
        return false;
    }
    editor.firstPaint.push_back(elapsed);
    return true;
}

bool timeRedraws(ScaledEditor& editor, int rounds, std::string& error) {
    EditorWindow window(*editor.editor, EditorWindow::Kind::Popup);
    if (!window.open(error))
        return false;
    window.pump(kSettleMilliseconds);
    window.settle();
    for (int round = 0; round < rounds; ++round) {
        window.coverChildren();
        Picture covered;
        if (!covered.take(window) || covered == editor.panel) {
            error = "the editor's window cannot be painted over, so its redraw cannot be seen";
            return false;
        }
        const Clock::time_point start = Clock::now();
        window.repaintAll();
        double elapsed = millisecondsBetween(start, Clock::now());
        if (!idleUntilShown(*editor.editor, window, editor.panel, elapsed)) {
            error = "the editor did not show its whole panel again within 5 s of a full repaint";
            return false;
        }
        editor.redraw.push_back(elapsed);
    }
    window.close();
    return true;
}

// The panel shown and settled, then effEditIdle as a host's timer sends it
// while nothing changes: the figure is one idle's share of a round.
bool timeIdles(ScaledEditor& editor, int rounds, std::string& error) {
    EditorWindow window(*editor.editor, EditorWindow::Kind::Popup);
    if (!window.open(error))
        return false;
    window.pump(kSettleMilliseconds);
    window.settle();
    for (int round = 0; round <= rounds; ++round) {
        const Clock::time_point start = Clock::now();
        for (int pass = 0; pass < kIdlesPerRound; ++pass)
            editor.editor->idle();
        // Round 0 warms up.
        if (round > 0)
            editor.idle.push_back(millisecondsBetween(start, Clock::now()) / kIdlesPerRound);
    }
    window.close();
    return true;
}

double best(const std::vector<double>& values) {
    return values.empty() ? 0.0 : *std::min_element(values.begin(), values.end());
}

double ratioOf(double last, double first) { return first > 0.0 ? last / first : 0.0; }

// The medians side by side and their ratio, then the best rounds' the same
// way, with as many decimals as the figure needs.
void printRow(const char* name, const std::vector<double> (&figures)[kScaleCount], double& ratio, int decimals = 2) {
    ratio = ratioOf(median(figures[kScaleCount - 1]), median(figures[0]));
    std::printf("  %-20s", name);
    for (const std::vector<double>& column : figures)
        std::printf(" %9.*f ms", decimals, median(column));
    std::printf(" %8.2f   ", ratio);
    for (const std::vector<double>& column : figures)
        std::printf(" %6.*f ms", decimals, best(column));
    std::printf(" %8.2f\n", ratioOf(best(figures[kScaleCount - 1]), best(figures[0])));
}

}  // namespace

int EditorBench::run(const EditorBenchOptions& options) {
    std::string error;
    if (!EditorWindow::available(error))
        return fail(error);
    std::unique_ptr<ScaledEditor> editors[kScaleCount];
    for (int i = 0; i < kScaleCount; ++i) {
        editors[i].reset(new ScaledEditor);
        editors[i]->scale = kScales[i];
        if (!setUp(*editors[i], options.plugin, error))
            return fail(error);
    }
    // Rounds interleave the scales, so that a busy moment of the machine falls on both alike.
    for (int round = 0; round < options.rounds; ++round) {
        for (std::unique_ptr<ScaledEditor>& editor : editors) {
            if (!timeFirstPaint(*editor, error))
                return fail(error);
        }
    }
    // One window at a time: a window covered by another shows nothing to compare.
    for (std::unique_ptr<ScaledEditor>& editor : editors) {
        if (!timeRedraws(*editor, options.rounds, error) || !timeIdles(*editor, options.rounds, error))
            return fail(error);
    }
    const std::string name = editors[0]->plugin->name();
    std::printf("The editor of %s at %gx and %gx (%d x %d and %d x %d pixels), median of %d rounds:\n", name.c_str(),
                static_cast<double>(kScales[0]), static_cast<double>(kScales[kScaleCount - 1]), editors[0]->panel.width,
                editors[0]->panel.height, editors[kScaleCount - 1]->panel.width, editors[kScaleCount - 1]->panel.height,
                options.rounds);
    std::printf("  %-20s %12s %12s %8s   %9s %9s %8s\n", "", "median 1x", "2x", "2x / 1x", "best 1x", "2x", "2x / 1x");
    std::vector<double> firstPaint[kScaleCount], redraw[kScaleCount], idle[kScaleCount];
    for (int i = 0; i < kScaleCount; ++i) {
        firstPaint[i] = editors[i]->firstPaint;
        redraw[i] = editors[i]->redraw;
        idle[i] = editors[i]->idle;
    }
    double paintRatio = 0.0, redrawRatio = 0.0, idleRatio = 0.0;
    printRow("open to first paint", firstPaint, paintRatio);
    printRow("full redraw", redraw, redrawRatio);
    printRow("idle, nothing dirty", idle, idleRatio, 4);
    std::printf("Full redraw at 2x: %.2f times the 1x one, %s the goal of at most %g times\n", redrawRatio,
                redrawRatio <= kRedrawRatioGoal ? "within" : "past", kRedrawRatioGoal);
    for (std::unique_ptr<ScaledEditor>& editor : editors)
        editor->plugin.reset();
    return kExitDone;
}
