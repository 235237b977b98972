// A stress session: the instances and their audio threads, one thread that
// automates every parameter of every instance once per block, and the
// first instance's editor open on the calling thread, idling while the
// automation moves it; progress on standard error every few seconds.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tools/hosting/EditorWindow.h"
#include "tools/stress/StressCommand.h"
#include "tools/stress/StressFigures.h"
#include "tools/stress/StressInstance.h"

class StressSession {
public:
    explicit StressSession(const StressOptions& options);
    ~StressSession();
    StressSession(const StressSession&) = delete;
    StressSession& operator=(const StressSession&) = delete;

    // Loads and starts every instance, the first telling what it is; an
    // exit code.
    int load();
    // Opens the editor, plays for the session's length and gathers the figures.
    void run();
    const StressFigures& figures() const { return results; }

private:
    // Loads instance i (from 0), the first telling what it is; an exit code.
    int loadInstance(int i);
    void openEditor();
    void automate();
    void waitAndReport(StressInstance::Clock::time_point first);
    void stopAll();
    void gather();

    StressOptions options;
    std::vector<std::unique_ptr<StressInstance>> instances;
    std::unique_ptr<EditorWindow> editor;
    std::atomic<bool> stopping{false};
    std::thread automation;
    StressFigures results;
};
