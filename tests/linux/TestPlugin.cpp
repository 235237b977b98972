// A plug-in for the host tool's Linux tests. Its entry point is exported
// only as `main`, as older plug-ins have it. QUAVIX_TEST_PLUGIN_FAULT picks
// how it misbehaves: "segv", "bus", "fpe" or "ill" crash in processReplacing
// with that signal; "synth" has no audio inputs; anything else makes a mono
// plug-in that passes its input through. For the validator's test, faults a
// validator must catch: "label-overrun" writes 300 bytes of parameter label,
// "read-past" reads one sample past the block, "sticky-nan" keeps giving NaN
// once it has seen one, even across effMainsChanged, and "opcode-crash"
// crashes in effSetPanLaw.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "host/VstInterface.h"

namespace {

AEffect record;
// Volatile, or the compiler folds the division (1 / x needs no divide instruction).
volatile int numerator = 1;
volatile int divisor = 0;
int* volatile nowhere = nullptr;
volatile float pastTheBlock = 0.0f;
bool poisoned = false;
const size_t kOverrunBytes = 300;

bool fault(const char* name) {
    const char* chosen = std::getenv("QUAVIX_TEST_PLUGIN_FAULT");
    return chosen && std::strcmp(chosen, name) == 0;
}

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

void VSTCALLBACK processReplacing(AEffect*, float** inputs, float** outputs, VstInt32 frames) {
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
    std::memcpy(outputs[0], inputs[0], sizeof(float) * frames);
    for (VstInt32 i = 0; i < frames && fault("sticky-nan"); ++i) {
        poisoned = poisoned || inputs[0][i] != inputs[0][i];
        if (poisoned)
            outputs[0][i] = inputs[0][i] * 0.0f / 0.0f;
    }
}

VstIntPtr VSTCALLBACK dispatcher(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
    if (opcode == effGetEffectName && ptr)
        std::strcpy(static_cast<char*>(ptr), "TestPlugin");
    if (opcode == effGetParamLabel && ptr && fault("label-overrun"))
        std::memset(ptr, 'x', kOverrunBytes);
    if (opcode == effSetPanLaw && fault("opcode-crash"))
        *nowhere = 2;
    return 0;
}

float VSTCALLBACK getParameter(AEffect*, VstInt32) { return 0.0f; }

void VSTCALLBACK setParameter(AEffect*, VstInt32, float) {}

}  // namespace

extern "C" __attribute__((visibility("default"))) AEffect* testPluginMain(audioMasterCallback) __asm__("main");

extern "C" AEffect* testPluginMain(audioMasterCallback) {
    record = AEffect();
    record.magic = kEffectMagic;
    record.dispatcher = dispatcher;
    record.getParameter = getParameter;
    record.setParameter = setParameter;
    record.processReplacing = processReplacing;
    record.flags = effFlagsCanReplacing;
    record.numInputs = fault("synth") ? 0 : 1;
    record.numOutputs = 1;
    record.numParams = fault("label-overrun") ? 1 : 0;
    record.uniqueID = 0x54655374;
    return &record;
}
