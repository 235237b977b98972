// Threads: the plug-in processing on one thread while a host automates it
// from another and a third opens and closes its editor, as a whole host
// does at once.
#include <atomic>
#include <cmath>
#include <memory>
#include <string>
#include <thread>

#include "tools/hosting/EditorWindow.h"
#include "tools/validate/groups/GroupSupport.h"

namespace {

const int kAutomationStep = 32;

// The editor opened, idled and closed over and over on a thread of its own.
class EditorCycler {
public:
    explicit EditorCycler(PluginHost& host) : host(host), worker([this]() { run(); }) {}
    ~EditorCycler() { finish(); }
    void finish() {
        stopping = true;
        if (worker.joinable())
            worker.join();
    }
    long cycles() const { return done; }
    const std::string& error() const { return failure; }

private:
    void run() {
        while (!stopping) {
            EditorWindow window(host, EditorWindow::Kind::Popup);
            if (!window.open(failure))
                return;
            window.pump(kIdleMilliseconds);
            host.dispatch(effEditIdle);
            window.close();
            ++done;
        }
    }

    PluginHost& host;
    std::atomic<bool> stopping{false};
    std::atomic<long> done{0};
    std::string failure;
    std::thread worker;
};

void threadsAtOnce(CheckContext& context) {
    int inputs = 0, outputs = 0;
    std::unique_ptr<PluginHost> host = startedQuietly(context, kAutomationStep, inputs, outputs);
    if (!host)
        return;
    // What the editor reports goes back as hosts send it: from the editor's thread, amid the automation.
    host->setEcho(true);
    std::string reason;
    bool withEditor = EditorWindow::available(reason) && host->hasEditor();
    if (!withEditor) {
        context.note("no editor thread: %s", host->hasEditor() ? reason.c_str() : "the plug-in has no editor");
    }
    std::atomic<long> steps{0};
    Automation automation(*host, context.next(), steps);
    std::unique_ptr<EditorCycler> editor(withEditor ? new EditorCycler(*host) : nullptr);
    GuardedAudio in(inputs, kAutomationStep), out(outputs, kAutomationStep);
    const long blocks = 2000L * context.strictness();
    long silentFailures = 0;
    context.doing("processing %ld blocks of %d while another thread automates%s", blocks, kAutomationStep,
                  withEditor ? " and a third cycles the editor" : "");
    for (long block = 0; block < blocks; ++block) {
        // At most one automation step in flight: one change every 32 samples.
        while (automation.progress().load() + 1 < steps.load())
            std::this_thread::yield();
        context.noise(in, kNoiseLevel);
        context.process(*host, in, out, kAutomationStep);
        const float peak = out.peak();
        // Random settings may rightly be loud (an equaliser at full boost): a warning only.
        if (std::isfinite(peak))
            checkPeak(context, peak, "a block under random automation");
        silentFailures += !std::isfinite(peak);
        steps.store(block + 1);
    }
    automation.finish();
    if (editor)
        editor->finish();
    context.figure("blocks of 32 processed / automation changes", "%ld / %ld", blocks, automation.changes());
    if (editor)
        context.figure("editor cycles on the third thread", "%ld", editor->cycles());
    context.figure("automation reported / echoed back", "%ld / %ld", host->automationsHeard(), host->echoesSent());
    if (silentFailures > 0)
        context.fail("%ld of %ld blocks came out not finite", silentFailures, blocks);
    if (automation.badReads() > 0)
        context.fail("%ld parameter reads on the automation thread were outside 0..1", automation.badReads());
    if (editor && !editor->error().empty())
        context.fail("the editor thread: %s", editor->error().c_str());
}

}  // namespace

ValidationGroup threadsGroup() {
    return {"threads",
            "Threads",
            {},
            {
                {"processing, automation every 32 samples and the editor, each on its own thread", 4, threadsAtOnce},
            }};
}
