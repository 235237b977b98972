// A plug-in for the host tool's Linux tests. Its entry point is exported
// only as `main`, as older plug-ins have it. Each instance is a mono gain
// with four parameters that hold plain values: "Gain" (0.5 is unity),
// "Tone" and "Mix", which only hold their value, and "CC #", a MIDI
// controller number 0..127 read back as number / 127. QUAVIX_TEST_PLUGIN_FAULT
// picks how it misbehaves: "segv", "bus", "fpe" or "ill" crash in
// processReplacing with that signal; "synth" has no audio inputs. For the
// validator's test, faults a validator must catch, each by one group:
//   label-overrun   writes 300 bytes of parameter label (identity, parameters)
//   read-past       reads one sample past the block (processing)
//   sticky-nan      keeps giving NaN once it has seen one, even across
//                   effMainsChanged (processing)
//   allocates       copies each block through a buffer it allocates and
//                   frees in processReplacing (processing; and --stress)
//   locks           takes a mutex that every instance shares in
//                   processReplacing (--stress)
//   slow            takes 2 ms over every block, longer than 64 frames last
//                   at 48 kHz (--stress)
//   opcode-crash    crashes in effSetPanLaw (dispatcher fuzz)
//   rate-nan        gives NaN for good once told an absurd sample rate (sample rates)
//   sysex-past      reads one byte past each system-exclusive dump (MIDI)
//   race            writes a parameter in two steps when automated from
//                   another thread than the audio's, and the audio thread,
//                   which waits a moment for such a write, gives NaN when
//                   it finds one half done (threads)
//   editor-rect     has an editor that answers effEditGetRect with another
//                   size once it is open (editor)
//   unscaled-rect   has an editor that takes the host's display scale but
//                   answers effEditGetRect with its size at 100% (editor)
//   bad-scale       has a scaled editor that takes a display scale of NaN,
//                   0 or below as 100% (editor)
//   stale-window    has a scaled editor that, when the scale changes while
//                   it is open, neither resizes its window nor asks the
//                   host to (editor)
// and "scales", no fault: an editor of 200 x 100 that takes the host's
// display scale, sizes its X window by it and, when the scale changes while
// it is open, resizes the window and asks the host to resize too.
//   shared-values   keeps its parameter values in one place for every
//                   instance (instances)
//   chunk-loses     keeps chunks, but setting one loses the gain (state)
//   old-rule        steps the controller number on 1.0 and 0.0 instead of
//                   setting it, and says it is an instrument while its
//                   category is effect (host habits)
// and "loud", no fault either: 100 dB of gain of its own, as an equaliser of
// many boosted bands may have, which is loud but finite.
#include <X11/Xlib.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "framework/VstInterface.h"

namespace {

const VstInt32 kParams = 4;
const VstInt32 kGain = 0;
const VstInt32 kController = 3;
const int kHighestController = 127;
const float kDefaults[kParams] = {0.5f, 0.25f, 0.75f, 64.0f / kHighestController};
const char* const kNames[kParams] = {"Gain", "Tone", "Mix", "CC #"};
// A half-written parameter stays half written this long, and the audio
// thread waits as long for one: so the two meet every time.
const auto kTornWrite = std::chrono::microseconds(200);
// The "loud" plug-in's own gain: +100 dB.
const float kLoudGain = 1e5f;

// The scaled editor's size at 100%.
const int kEditorWidth = 200;
const int kEditorHeight = 100;

// The system-exclusive event, which the effect headers leave out.
struct SysexEvent {
    VstInt32 type;
    VstInt32 byteSize;
    VstInt32 deltaFrames;
    VstInt32 flags;
    VstInt32 dumpBytes;
    VstIntPtr reserved1;
    const char* dump;
    VstIntPtr reserved2;
};

// Volatile, or the compiler folds the division (1 / x needs no divide instruction).
volatile int numerator = 1;
volatile int divisor = 0;
int* volatile nowhere = nullptr;
volatile float pastTheBlock = 0.0f;
volatile char pastTheDump = 0;
const size_t kOverrunBytes = 300;
const std::chrono::milliseconds kSlowBlock(2);
pthread_mutex_t processingLock = PTHREAD_MUTEX_INITIALIZER;
float sharedValues[kParams] = {kDefaults[0], kDefaults[1], kDefaults[2], kDefaults[3]};

bool fault(const char* name) {
    const char* chosen = std::getenv("QUAVIX_TEST_PLUGIN_FAULT");
    return chosen && std::strcmp(chosen, name) == 0;
}

struct Instance {
    AEffect record;
    audioMasterCallback master = nullptr;
    float ownValues[kParams] = {kDefaults[0], kDefaults[1], kDefaults[2], kDefaults[3]};
    // The old rule's state: the number, and whether 1.0 just stepped it up.
    int controller = 64;
    bool steppedUp = false;
    bool poisoned = false;
    bool brokenRate = false;
    std::atomic<bool> halfWritten{false};
    std::atomic<unsigned long> audioThread{0};
    std::atomic<bool> automatedElsewhere{false};
    bool editorOpen = false;
    ERect rect = {};
    float chunk[kParams] = {};

    // The scaled editor: its factor and, while open, its window on a connection of its own.
    double scale = 1.0;
    Display* display = nullptr;
    Window window = 0;

    float* values() { return fault("shared-values") ? sharedValues : ownValues; }
};

bool scaledEditor() { return fault("scales") || fault("unscaled-rect") || fault("bad-scale") || fault("stale-window"); }

Instance* instanceOf(AEffect* effect) { return static_cast<Instance*>(effect->object); }

// Reading a mapped page whose file was cut away from under it.
void busError() {
    char path[] = "/tmp/quavix-test-plugin-XXXXXX";
    int file = mkstemp(path);
    if (file < 0)
        return;
    unlink(path);
    long page = sysconf(_SC_PAGESIZE);
    if (ftruncate(file, page) != 0)
        return;
    volatile char* mapped = static_cast<volatile char*>(mmap(nullptr, page, PROT_READ, MAP_SHARED, file, 0));
    if (mapped == MAP_FAILED || ftruncate(file, 0) != 0)
        return;
    divisor = mapped[0];
}

void VSTCALLBACK processReplacing(AEffect* effect, float** inputs, float** outputs, VstInt32 frames) {
    Instance& self = *instanceOf(effect);
    if (fault("segv"))
        *nowhere = 1;
    if (fault("bus"))
        busError();
    if (fault("fpe"))
        divisor = numerator / divisor;
    if (fault("ill"))
        __builtin_trap();
    if (fault("read-past"))
        pastTheBlock = inputs[0][frames];
    self.audioThread = static_cast<unsigned long>(pthread_self());
    const float* source = inputs[0];
    if (fault("slow"))
        std::this_thread::sleep_for(kSlowBlock);
    if (fault("locks")) {
        pthread_mutex_lock(&processingLock);
        pthread_mutex_unlock(&processingLock);
    }
    std::vector<float> scratch;
    if (fault("allocates")) {
        scratch.assign(inputs[0], inputs[0] + frames);
        source = scratch.data();
    }
    const float gain = 2.0f * self.values()[kGain] * (fault("loud") ? kLoudGain : 1.0f);
    // Unity is a copy, so that subnormal input costs nothing.
    if (gain == 1.0f) {
        std::memcpy(outputs[0], source, sizeof(float) * frames);
    } else {
        for (VstInt32 i = 0; i < frames; ++i)
            outputs[0][i] = source[i] * gain;
    }
    bool torn = false;
    if (fault("race") && self.automatedElsewhere) {
        const auto start = std::chrono::steady_clock::now();
        while (!(torn = self.halfWritten) && std::chrono::steady_clock::now() - start < kTornWrite)
            std::this_thread::yield();
    }
    const bool broken = self.brokenRate || torn;
    for (VstInt32 i = 0; i < frames && broken; ++i)
        outputs[0][i] = NAN;
    for (VstInt32 i = 0; i < frames && fault("sticky-nan"); ++i) {
        self.poisoned = self.poisoned || inputs[0][i] != inputs[0][i];
        if (self.poisoned)
            outputs[0][i] = inputs[0][i] * 0.0f / 0.0f;
    }
}

// The host's window may be gone before ours: its errors are not the host's to die of.
int ignoreErrors(Display*, XErrorEvent*) { return 0; }

void scaledSize(const Instance& self, int& width, int& height) {
    const double factor = fault("unscaled-rect") ? 1.0 : self.scale;
    width = static_cast<int>(std::lround(kEditorWidth * factor));
    height = static_cast<int>(std::lround(kEditorHeight * factor));
}

bool openScaledEditor(Instance& self, void* parent) {
    self.display = XOpenDisplay(nullptr);
    if (!self.display)
        return false;
    int width = 0, height = 0;
    scaledSize(self, width, height);
    XErrorHandler previous = XSetErrorHandler(ignoreErrors);
    self.window = XCreateSimpleWindow(self.display, static_cast<Window>(reinterpret_cast<uintptr_t>(parent)), 0, 0,
                                      static_cast<unsigned>(width), static_cast<unsigned>(height), 0, 0, 0x336699);
    XMapWindow(self.display, self.window);
    XSync(self.display, False);
    XSetErrorHandler(previous);
    return true;
}

void closeScaledEditor(Instance& self) {
    if (!self.display)
        return;
    XErrorHandler previous = XSetErrorHandler(ignoreErrors);
    XDestroyWindow(self.display, self.window);
    XSync(self.display, False);
    XSetErrorHandler(previous);
    XCloseDisplay(self.display);
    self.display = nullptr;
    self.window = 0;
}

VstIntPtr takeScale(AEffect* effect, float factor) {
    Instance& self = *instanceOf(effect);
    if (!(factor > 0.0f) || !std::isfinite(factor)) {
        if (!fault("bad-scale"))
            return 0;
        factor = 1.0f;
    }
    int oldWidth = 0, oldHeight = 0, width = 0, height = 0;
    scaledSize(self, oldWidth, oldHeight);
    self.scale = std::fmin(std::fmax(factor, 1.0f), 3.0f);
    scaledSize(self, width, height);
    if (self.display && (width != oldWidth || height != oldHeight) && !fault("stale-window")) {
        XResizeWindow(self.display, self.window, static_cast<unsigned>(width), static_cast<unsigned>(height));
        XSync(self.display, False);
        if (self.master)
            self.master(effect, audioMasterSizeWindow, width, height, nullptr, 0.0f);
    }
    return 1;
}

float clampedUnit(float value) { return value < 0.0f ? 0.0f : value > 1.0f ? 1.0f : value; }

// What Quavix once did with its controller number: 1.0 stepped it up, 0.0
// down unless 1.0 had just stepped it up, and any other value was ignored.
void oldRule(Instance& self, float value) {
    if (value == 1.0f) {
        self.controller = self.controller == kHighestController ? 0 : self.controller + 1;
        self.steppedUp = true;
    } else if (value == 0.0f) {
        if (!self.steppedUp)
            self.controller = self.controller == 0 ? kHighestController : self.controller - 1;
        self.steppedUp = false;
    } else {
        self.steppedUp = false;
    }
    self.values()[kController] = static_cast<float>(self.controller / double(kHighestController));
}

void VSTCALLBACK setParameter(AEffect* effect, VstInt32 index, float value) {
    Instance& self = *instanceOf(effect);
    if (index < 0 || index >= kParams)
        return;
    if (index == kController && fault("old-rule")) {
        oldRule(self, value);
        return;
    }
    if (std::isnan(value))
        return;
    float plain = clampedUnit(value);
    if (index == kController)
        plain = static_cast<float>(std::round(plain * kHighestController) / kHighestController);
    const unsigned long audio = self.audioThread;
    if (fault("race") && audio != 0 && audio != static_cast<unsigned long>(pthread_self())) {
        self.automatedElsewhere = true;
        self.halfWritten = true;
        // Asleep, so that the audio thread runs meanwhile even on a busy processor.
        std::this_thread::sleep_for(kTornWrite);
        self.values()[index] = plain;
        self.halfWritten = false;
        return;
    }
    self.values()[index] = plain;
}

float VSTCALLBACK getParameter(AEffect* effect, VstInt32 index) {
    return index >= 0 && index < kParams ? instanceOf(effect)->values()[index] : 0.0f;
}

void writeText(void* ptr, const char* text) { std::snprintf(static_cast<char*>(ptr), kVstMaxParamStrLen, "%s", text); }

void display(Instance& self, VstInt32 index, char* text) {
    if (index == kController)
        std::snprintf(text, kVstMaxParamStrLen, "%d",
                      static_cast<int>(std::lround(self.values()[index] * kHighestController)));
    else
        std::snprintf(text, kVstMaxParamStrLen, "%.4f", static_cast<double>(self.values()[index]));
}

// A value typed as text, as a host's generic editor sends it, reported back
// as automation the way an editor reports a change: the controller as its
// number, the others as values.
VstIntPtr typed(AEffect* effect, VstInt32 index, const char* text) {
    Instance& self = *instanceOf(effect);
    if (!text || index < 0 || index >= kParams)
        return 0;
    const double number = std::strtod(text, nullptr);
    if (index == kController && fault("old-rule")) {
        self.controller = static_cast<int>(std::fmin(std::fmax(number, 0.0), kHighestController));
        self.values()[kController] = static_cast<float>(self.controller / double(kHighestController));
    } else {
        setParameter(effect, index, static_cast<float>(index == kController ? number / kHighestController : number));
    }
    if (self.master)
        self.master(effect, audioMasterAutomate, index, 0, nullptr, getParameter(effect, index));
    return 1;
}

VstIntPtr VSTCALLBACK dispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                 float opt) {
    Instance& self = *instanceOf(effect);
    const bool inRange = index >= 0 && index < kParams;
    switch (opcode) {
    case effClose:
        closeScaledEditor(self);
        delete &self;
        return 1;
    case effGetEffectName:
        if (ptr)
            std::strcpy(static_cast<char*>(ptr), "TestPlugin");
        return 1;
    case effGetPlugCategory:
        return kPlugCategEffect;
    case effGetParamName:
        if (ptr)
            writeText(ptr, inRange ? kNames[index] : "");
        return 0;
    case effGetParamLabel:
        if (ptr && fault("label-overrun"))
            std::memset(ptr, 'x', kOverrunBytes);
        else if (ptr)
            writeText(ptr, "");
        return 0;
    case effGetParamDisplay:
        if (ptr && inRange)
            display(self, index, static_cast<char*>(ptr));
        else if (ptr)
            writeText(ptr, "");
        return 0;
    case effCanBeAutomated:
        return inRange ? 1 : 0;
    case effString2Parameter:
        return typed(effect, index, static_cast<const char*>(ptr));
    case effSetSampleRate:
        if (fault("rate-nan") && !(opt > 1.0f && opt < 1e7f))
            self.brokenRate = true;
        return 0;
    case effProcessEvents:
        if (ptr && fault("sysex-past")) {
            const VstEvents* list = static_cast<const VstEvents*>(ptr);
            for (VstInt32 i = 0; i < list->numEvents; ++i) {
                const SysexEvent* event = reinterpret_cast<const SysexEvent*>(list->events[i]);
                if (event && event->type == kVstSysExMidiType && event->dump)
                    pastTheDump = event->dump[event->dumpBytes];
            }
        }
        return 1;
    case effEditGetRect:
        if (ptr && scaledEditor()) {
            int width = 0, height = 0;
            scaledSize(self, width, height);
            self.rect = ERect{0, 0, static_cast<VstInt16>(height), static_cast<VstInt16>(width)};
            *static_cast<ERect**>(ptr) = &self.rect;
            return 1;
        }
        if (!ptr || !fault("editor-rect"))
            return 0;
        self.rect = ERect{0, 0, static_cast<VstInt16>(self.editorOpen ? 150 : 100),
                          static_cast<VstInt16>(self.editorOpen ? 300 : 200)};
        *static_cast<ERect**>(ptr) = &self.rect;
        return 1;
    case effEditOpen:
        if (scaledEditor())
            self.editorOpen = self.editorOpen || openScaledEditor(self, ptr);
        else
            self.editorOpen = fault("editor-rect");
        return self.editorOpen ? 1 : 0;
    case effEditClose:
        closeScaledEditor(self);
        self.editorOpen = false;
        return 0;
    case effVendorSpecific:
        return scaledEditor() && index == kVstContentScaleIndex && value == kVstContentScaleValue
                   ? takeScale(effect, opt)
                   : 0;
    case effGetChunk:
        if (!ptr || !fault("chunk-loses"))
            return 0;
        std::memcpy(self.chunk, self.values(), sizeof self.chunk);
        *static_cast<void**>(ptr) = self.chunk;
        return sizeof self.chunk;
    case effSetChunk:
        // All but the gain.
        if (ptr && fault("chunk-loses") && value >= static_cast<VstIntPtr>(sizeof self.chunk))
            std::memcpy(self.values() + 1, static_cast<const float*>(ptr) + 1, sizeof self.chunk - sizeof(float));
        return 0;
    case effSetPanLaw:
        if (fault("opcode-crash"))
            *nowhere = 2;
        return 0;
    default:
        return 0;
    }
}

}  // namespace

extern "C" __attribute__((visibility("default"))) AEffect* testPluginMain(audioMasterCallback) __asm__("main");

extern "C" AEffect* testPluginMain(audioMasterCallback master) {
    Instance* self = new Instance();
    self->master = master;
    AEffect& record = self->record;
    record = AEffect();
    record.magic = kEffectMagic;
    record.object = self;
    record.dispatcher = dispatcher;
    record.getParameter = getParameter;
    record.setParameter = setParameter;
    record.processReplacing = processReplacing;
    record.flags = effFlagsCanReplacing;
    if (fault("editor-rect") || scaledEditor())
        record.flags |= effFlagsHasEditor;
    if (fault("chunk-loses"))
        record.flags |= effFlagsProgramChunks;
    if (fault("old-rule"))
        record.flags |= effFlagsIsSynth;
    record.numInputs = fault("synth") ? 0 : 1;
    record.numOutputs = 1;
    record.numParams = kParams;
    record.uniqueID = 0x54655374;
    return &record;
}
