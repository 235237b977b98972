#include "tests/fuzz/FuzzHost.h"

#include "tests/fuzz/Invariant.h"

namespace quavixfuzz {

namespace {

constexpr VstIntPtr kHostSampleRate = 44100;

}  // namespace

VstIntPtr VSTCALLBACK FuzzHost::callback(AEffect* /*effect*/, VstInt32 opcode, VstInt32 index, VstIntPtr /*value*/,
                                         void* /*ptr*/, float opt) {
    return instance().answer(opcode, index, opt);
}

FuzzHost& FuzzHost::instance() {
    static FuzzHost host;
    return host;
}

void FuzzHost::reset(int32_t numParams) {
    openEdits.assign(static_cast<size_t>(numParams > 0 ? numParams : 0), 0);
    resizesWindow = false;
}

void FuzzHost::requireEditsClosed(const char* after) const {
    for (size_t index = 0; index < openEdits.size(); ++index)
        require(openEdits[index] == 0, "parameter %zu has a begin edit without its end edit after %s", index, after);
}

VstIntPtr FuzzHost::answer(VstInt32 opcode, VstInt32 index, float opt) {
    switch (opcode) {
    case audioMasterVersion:
        return kVstVersion;
    case audioMasterGetSampleRate:
        return kHostSampleRate;
    case audioMasterAutomate:
        requireParameterIndex(index, "automation");
        require(isUnit(opt), "parameter %d automated to %g, outside 0..1", index, static_cast<double>(opt));
        return 0;
    case audioMasterBeginEdit:
        beginEdit(index);
        return 1;
    case audioMasterEndEdit:
        endEdit(index);
        return 1;
    case audioMasterSizeWindow:
        return resizesWindow ? 1 : 0;
    default:
        return 0;
    }
}

void FuzzHost::beginEdit(VstInt32 index) {
    requireParameterIndex(index, "begin edit");
    int32_t& open = openEdits[static_cast<size_t>(index)];
    require(open == 0, "parameter %d began an edit inside its own open edit", index);
    ++open;
}

void FuzzHost::endEdit(VstInt32 index) {
    requireParameterIndex(index, "end edit");
    int32_t& open = openEdits[static_cast<size_t>(index)];
    require(open == 1, "parameter %d ended an edit it had not begun", index);
    --open;
}

void FuzzHost::requireParameterIndex(VstInt32 index, const char* request) const {
    require(index >= 0 && static_cast<size_t>(index) < openEdits.size(), "%s of parameter %d, which does not exist",
            request, index);
}

}  // namespace quavixfuzz
