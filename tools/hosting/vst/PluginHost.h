// One VST 2.4 plug-in loaded from a library by path, and the host side of
// the conversation: the callback that answers its requests, and the calls
// the tool makes into it. Several hosts may live at once, one plug-in
// instance each, as in the benchmark.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "framework/VstInterface.h"
#include "tools/hosting/HostedPlugin.h"
#include "tools/hosting/PluginModule.h"

class PluginHost {
public:
    // Resizes the editor's host window to a client area of width x height;
    // answers whether it did.
    using WindowSizer = std::function<bool(int width, int height)>;
    // Told of each echo on the thread the plug-in reported from: once with
    // sent false just before the value goes back, once with sent true after.
    using EchoWatcher = std::function<void(bool sent, VstInt32 index, float value)>;

    static const VstInt32 kHostVersion = 2400;

    PluginHost() = default;
    ~PluginHost();
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    typedef AEffect*(VSTCALLBACK* PluginEntry)(audioMasterCallback host);

    // Checks that the file is a library this build can load, loads it and
    // attaches its entry point.
    bool load(const std::string& libraryPath, std::string& error);
    // Calls the entry point and checks the record; sends effOpen and the
    // sample rate and block size last configured. name stands for the
    // plug-in in messages. Needs a host with nothing loaded.
    bool attach(PluginEntry entry, const std::string& name, std::string& error);
    // Switches the plug-in off if needed, sends effClose and unloads the library.
    void close();

    AEffect* record() const { return plugin; }
    const std::string& path() const { return pluginPath; }
    bool hasEditor() const { return plugin && (plugin->flags & effFlagsHasEditor); }
    // The editor's size as effEditGetRect reports it; false for no answer or
    // an empty rectangle, leaving width and height as they were.
    bool editorSize(int& width, int& height);
    // Tells the editor the display's scale (1 = 100%) through the vendor
    // request hosts use for it; true when the plug-in takes it.
    bool setEditorScale(float factor);

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f);
    // A text opcode's answer, whole however long the plug-in writes it.
    std::string text(VstInt32 opcode, VstInt32 index = 0);
    float parameter(VstInt32 index);
    void setParameter(VstInt32 index, float value);

    // The format the host answers requests with and tells the plug-in;
    // best set before load, so that the plug-in's construction sees it.
    void configure(int sampleRate, int maxBlockSize);
    void start();
    void stop();
    void process(float** inputs, float** outputs, VstInt32 frames);

    void setWindowSizer(WindowSizer sizer) { windowSizer = std::move(sizer); }

    // As hosts that record automation do: every value the plug-in reports
    // through audioMasterAutomate goes straight back through setParameter.
    // Best switched before the plug-in can report (the watcher is not locked).
    void setEcho(bool on, EchoWatcher watcher = nullptr);
    long automationsHeard() const { return heard.load(); }
    long echoesSent() const { return echoed.load(); }

private:
    static VstIntPtr VSTCALLBACK hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                              void* ptr, float opt);
    VstIntPtr answer(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
    VstIntPtr answerCanDo(const char* text) const;
    VstIntPtr answerSizeWindow(int width, int height);
    void logAutomation(AEffect* effect, VstInt32 index, float value);
    void echo(VstInt32 index, float value);
    void logEdit(AEffect* effect, const char* what, VstInt32 index);
    bool callEntry(PluginEntry entry, std::string& error);
    bool checkRecord(AEffect* effect, std::string& error) const;
    void sendFormat();
    void unload();
    static PluginHost* hostOf(AEffect* effect);
    static void setConstructing(PluginHost* host);

    // Requests arrive before the entry point has returned the record, so the
    // callback finds a host under construction here, and the others by
    // their records. Plug-ins may ask from threads of their own.
    static PluginHost* constructing;
    static std::vector<PluginHost*> attached;
    static std::mutex registry;

    PluginModule module;
    AEffect* plugin = nullptr;
    std::string pluginPath;
    int sampleRate = PluginSetup::kDefaultSampleRate;
    int blockSize = PluginSetup::kDefaultBlockSize;
    bool running = false;
    WindowSizer windowSizer;
    std::atomic<bool> echoing{false};
    EchoWatcher echoWatcher;
    std::atomic<long> heard{0};
    std::atomic<long> echoed{0};
};
