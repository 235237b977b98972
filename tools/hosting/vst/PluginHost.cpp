#include "tools/hosting/vst/PluginHost.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "tools/hosting/process/HeapCount.h"
#include "tools/hosting/process/LockCount.h"

PluginHost* PluginHost::constructing = nullptr;
std::vector<PluginHost*> PluginHost::attached;
std::mutex PluginHost::registry;

namespace {

// Plug-ins write well past the interface's nominal 8, 24 or 64 bytes, and
// hosts commonly allow 256; sixteen times that, off the stack, keeps a long
// answer from overwriting anything.
const size_t kTextBufferSize = 4096;
const char* const kHostVendor = "Quavix project";
const char* const kHostProduct = "quavix-host";
const VstIntPtr kHostVendorVersion = 1000;
// What this host does for a plug-in that asks: it sends MIDI event lists,
// brackets processing with start/stop, and resizes the editor window.
const char* const kHostCapabilities[] = {"sendVstEvents", "sendVstMidiEvent", "startStopProcess", "sizeWindow"};

// effect comes from the plug-in's own calls, where it may be a record still
// under construction.
std::string queryText(AEffect* effect, VstInt32 opcode, VstInt32 index) {
    if (!effect || !effect->dispatcher)
        return "";
    std::vector<char> buffer(kTextBufferSize, 0);
    effect->dispatcher(effect, opcode, index, 0, buffer.data(), 0.0f);
    buffer.back() = 0;
    return buffer.data();
}

void copyText(void* destination, const char* text, size_t capacity) {
    if (!destination)
        return;
    std::strncpy(static_cast<char*>(destination), text, capacity - 1);
    static_cast<char*>(destination)[capacity - 1] = 0;
}

}  // namespace

PluginHost::~PluginHost() { close(); }

bool PluginHost::load(const std::string& libraryPath, std::string& error) {
    close();
    std::string fullPath;
    if (!module.openChecked(libraryPath, fullPath, error))
        return false;
    void* entry = module.function("VSTPluginMain");
    if (!entry)
        entry = module.function("main");
    if (!entry) {
        error = "'" + libraryPath + "' is not a VST 2.4 plug-in: it exports neither VSTPluginMain nor main";
        unload();
        return false;
    }
    return attach(reinterpret_cast<PluginEntry>(entry), libraryPath, error);
}

bool PluginHost::attach(PluginEntry entry, const std::string& name, std::string& error) {
    pluginPath = name;
    if (!callEntry(entry, error)) {
        unload();
        return false;
    }
    dispatch(effOpen);
    sendFormat();
    return true;
}

bool PluginHost::callEntry(PluginEntry entry, std::string& error) {
    setConstructing(this);
    AEffect* effect = entry(&PluginHost::hostCallback);
    setConstructing(nullptr);
    if (!checkRecord(effect, error))
        return false;
    plugin = effect;
    std::lock_guard<std::mutex> lock(registry);
    attached.push_back(this);
    return true;
}

void PluginHost::setConstructing(PluginHost* host) {
    std::lock_guard<std::mutex> lock(registry);
    constructing = host;
}

bool PluginHost::checkRecord(AEffect* effect, std::string& error) const {
    if (!effect) {
        error = "plug-in '" + pluginPath + "' returned no effect: its entry point answered null";
        return false;
    }
    if (effect->magic != kEffectMagic) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(effect->magic));
        error = "plug-in '" + pluginPath + "' returned a record with a bad magic number " + hex +
                " (expected 0x56737450, 'VstP')";
        return false;
    }
    if (!effect->dispatcher || !effect->getParameter || !effect->setParameter) {
        error = "plug-in '" + pluginPath + "' returned a record without a dispatcher or parameter functions";
        return false;
    }
    return true;
}

void PluginHost::close() {
    if (plugin) {
        if (running)
            stop();
        dispatch(effClose);
        plugin = nullptr;
    }
    unload();
}

void PluginHost::unload() {
    {
        std::lock_guard<std::mutex> lock(registry);
        attached.erase(std::remove(attached.begin(), attached.end(), this), attached.end());
        if (constructing == this)
            constructing = nullptr;
    }
    module.close();
    plugin = nullptr;
}

PluginHost* PluginHost::hostOf(AEffect* effect) {
    std::lock_guard<std::mutex> lock(registry);
    for (PluginHost* host : attached) {
        if (effect && host->plugin == effect)
            return host;
    }
    if (constructing)
        return constructing;
    // A plug-in that names some other record is still the only one there is.
    return attached.size() == 1 ? attached[0] : nullptr;
}

VstIntPtr PluginHost::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return plugin ? plugin->dispatcher(plugin, opcode, index, value, ptr, opt) : 0;
}

bool PluginHost::editorSize(int& width, int& height) {
    ERect* rect = nullptr;
    dispatch(effEditGetRect, 0, 0, &rect);
    if (!rect || rect->right <= rect->left || rect->bottom <= rect->top)
        return false;
    width = rect->right - rect->left;
    height = rect->bottom - rect->top;
    return true;
}

bool PluginHost::setEditorScale(float factor) {
    return dispatch(effVendorSpecific, kVstContentScaleIndex, kVstContentScaleValue, nullptr, factor) != 0;
}

std::string PluginHost::text(VstInt32 opcode, VstInt32 index) { return queryText(plugin, opcode, index); }

float PluginHost::parameter(VstInt32 index) { return plugin ? plugin->getParameter(plugin, index) : 0.0f; }

void PluginHost::setParameter(VstInt32 index, float value) {
    if (plugin)
        plugin->setParameter(plugin, index, value);
}

void PluginHost::configure(int newSampleRate, int maxBlockSize) {
    sampleRate = newSampleRate;
    blockSize = maxBlockSize;
    sendFormat();
}

void PluginHost::sendFormat() {
    dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    dispatch(effSetBlockSize, 0, blockSize);
}

void PluginHost::start() {
    dispatch(effMainsChanged, 0, 1);
    dispatch(effStartProcess);
    running = true;
}

void PluginHost::stop() {
    dispatch(effStopProcess);
    dispatch(effMainsChanged, 0, 0);
    running = false;
}

void PluginHost::process(float** inputs, float** outputs, VstInt32 frames) {
    if (!plugin)
        return;
    if ((plugin->flags & effFlagsCanReplacing) && plugin->processReplacing) {
        plugin->processReplacing(plugin, inputs, outputs, frames);
        return;
    }
    // Old plug-ins only accumulate into the outputs.
    for (VstInt32 i = 0; i < plugin->numOutputs; ++i)
        std::memset(outputs[i], 0, sizeof(float) * frames);
    if (plugin->process)
        plugin->process(plugin, inputs, outputs, frames);
}

VstIntPtr VSTCALLBACK PluginHost::hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                               void* ptr, float opt) {
    // What the host allocates or locks to answer is not the plug-in's doing.
    HeapCount::Paused paused;
    LockCount::Paused unlocked;
    if (opcode == audioMasterVersion)
        return kHostVersion;
    PluginHost* host = hostOf(effect);
    return host ? host->answer(effect, opcode, index, value, ptr, opt) : 0;
}

VstIntPtr PluginHost::answer(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    switch (opcode) {
    case audioMasterAutomate:
        logAutomation(effect, index, opt);
        echo(index, opt);
        return 0;
    case audioMasterBeginEdit:
        logEdit(effect, "begin edit", index);
        return 1;
    case audioMasterEndEdit:
        logEdit(effect, "end edit", index);
        return 1;
    case audioMasterCurrentId:
        return effect ? effect->uniqueID : 0;
    case audioMasterIdle:
        return 1;
    case audioMasterWantMidi:
        return 1;
    case audioMasterGetSampleRate:
        return sampleRate;
    case audioMasterGetBlockSize:
        return blockSize;
    case audioMasterCanDo:
        return answerCanDo(static_cast<const char*>(ptr));
    case audioMasterSizeWindow:
        return answerSizeWindow(index, static_cast<int>(value));
    case audioMasterGetVendorString:
        copyText(ptr, kHostVendor, kVstMaxVendorStrLen);
        return 1;
    case audioMasterGetProductString:
        copyText(ptr, kHostProduct, kVstMaxProductStrLen);
        return 1;
    case audioMasterGetVendorVersion:
        return kHostVendorVersion;
    default:
        return 0;
    }
}

VstIntPtr PluginHost::answerCanDo(const char* text) const {
    if (!text)
        return 0;
    for (const char* capability : kHostCapabilities) {
        if (std::strcmp(text, capability) == 0)
            return 1;
    }
    return 0;
}

VstIntPtr PluginHost::answerSizeWindow(int width, int height) {
    bool done = width > 0 && height > 0 && windowSizer && windowSizer(width, height);
    std::printf("host: size window %d x %d%s\n", width, height, done ? "" : " (no editor window: refused)");
    std::fflush(stdout);
    return done ? 1 : 0;
}

void PluginHost::logAutomation(AEffect* effect, VstInt32 index, float value) {
    std::string name = queryText(effect, effGetParamName, index);
    std::string display = queryText(effect, effGetParamDisplay, index);
    std::string label = queryText(effect, effGetParamLabel, index);
    std::string readOut = label.empty() ? display : display + " " + label;
    std::printf("host: automate parameter %d \"%s\" = %f (%s)\n", index, name.c_str(), value, readOut.c_str());
    std::fflush(stdout);
}

void PluginHost::setEcho(bool on, EchoWatcher watcher) {
    echoWatcher = std::move(watcher);
    echoing = on;
}

void PluginHost::echo(VstInt32 index, float value) {
    ++heard;
    // A plug-in that reports the value it was just sent would otherwise be
    // sent it again and again on this thread; other threads echo on their own.
    thread_local bool inEcho = false;
    if (!echoing || inEcho || !plugin)
        return;
    inEcho = true;
    if (echoWatcher)
        echoWatcher(false, index, value);
    plugin->setParameter(plugin, index, value);
    ++echoed;
    if (echoWatcher)
        echoWatcher(true, index, value);
    inEcho = false;
}

void PluginHost::logEdit(AEffect* effect, const char* what, VstInt32 index) {
    std::string name = queryText(effect, effGetParamName, index);
    std::printf("host: %s parameter %d \"%s\"\n", what, index, name.c_str());
    std::fflush(stdout);
}
