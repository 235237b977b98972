#include "tools/validate/GuardedText.h"

#include <cstring>

#include "tools/hosting/process/GuardedBuffer.h"

namespace {

// Not zero, so that an answer without its terminating zero shows.
const unsigned char kFiller = 0x01;

}  // namespace

TextAnswer guardedText(PluginHost& host, VstInt32 opcode, VstInt32 index, size_t bytes) {
    TextAnswer answer;
    GuardedBuffer buffer(bytes);
    if (!buffer.valid())
        return answer;
    buffer.fill(kFiller);
    buffer.data()[0] = 0;
    answer.result = host.dispatch(opcode, index, 0, buffer.data());
    const void* zero = std::memchr(buffer.data(), 0, bytes);
    answer.terminated = zero != nullptr;
    answer.length = zero ? static_cast<size_t>(static_cast<const char*>(zero) - buffer.data()) : bytes;
    answer.text.assign(buffer.data(), answer.length);
    return answer;
}

const char* opcodeName(VstInt32 opcode) {
    static const char* const kNames[] = {"effOpen",
                                         "effClose",
                                         "effSetProgram",
                                         "effGetProgram",
                                         "effSetProgramName",
                                         "effGetProgramName",
                                         "effGetParamLabel",
                                         "effGetParamDisplay",
                                         "effGetParamName",
                                         "effGetVu",
                                         "effSetSampleRate",
                                         "effSetBlockSize",
                                         "effMainsChanged",
                                         "effEditGetRect",
                                         "effEditOpen",
                                         "effEditClose",
                                         "effEditDraw",
                                         "effEditMouse",
                                         "effEditKey",
                                         "effEditIdle",
                                         "effEditTop",
                                         "effEditSleep",
                                         "effIdentify",
                                         "effGetChunk",
                                         "effSetChunk",
                                         "effProcessEvents",
                                         "effCanBeAutomated",
                                         "effString2Parameter",
                                         "effGetNumProgramCategories",
                                         "effGetProgramNameIndexed",
                                         "effCopyProgram",
                                         "effConnectInput",
                                         "effConnectOutput",
                                         "effGetInputProperties",
                                         "effGetOutputProperties",
                                         "effGetPlugCategory",
                                         "effGetCurrentPosition",
                                         "effGetDestinationBuffer",
                                         "effOfflineNotify",
                                         "effOfflinePrepare",
                                         "effOfflineRun",
                                         "effProcessVarIo",
                                         "effSetSpeakerArrangement",
                                         "effSetBlockSizeAndSampleRate",
                                         "effSetBypass",
                                         "effGetEffectName",
                                         "effGetErrorText",
                                         "effGetVendorString",
                                         "effGetProductString",
                                         "effGetVendorVersion",
                                         "effVendorSpecific",
                                         "effCanDo",
                                         "effGetTailSize",
                                         "effIdle",
                                         "effGetIcon",
                                         "effSetViewPosition",
                                         "effGetParameterProperties",
                                         "effKeysRequired",
                                         "effGetVstVersion",
                                         "effEditKeyDown",
                                         "effEditKeyUp",
                                         "effSetEditKnobMode",
                                         "effGetMidiProgramName",
                                         "effGetCurrentMidiProgram",
                                         "effGetMidiProgramCategory",
                                         "effHasMidiProgramsChanged",
                                         "effGetMidiKeyName",
                                         "effBeginSetProgram",
                                         "effEndSetProgram",
                                         "effGetSpeakerArrangement",
                                         "effShellGetNextPlugin",
                                         "effStartProcess",
                                         "effStopProcess",
                                         "effSetTotalSampleToProcess",
                                         "effSetPanLaw",
                                         "effBeginLoadBank",
                                         "effBeginLoadProgram",
                                         "effSetProcessPrecision",
                                         "effGetNumMidiInputChannels",
                                         "effGetNumMidiOutputChannels"};
    const VstInt32 count = static_cast<VstInt32>(sizeof kNames / sizeof kNames[0]);
    return opcode >= 0 && opcode < count ? kNames[opcode] : "(past the last opcode)";
}
