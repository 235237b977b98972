// Identity and record: what the plug-in says it is, held against what it does.
#include <cstring>

#include "tools/hosting/vst/PluginReport.h"
#include "tools/validate/CheckContext.h"
#include "tools/validate/groups/GroupSupport.h"

namespace {

// Programs beyond this many are sampled, not walked one by one.
const VstInt32 kProgramsWalked = 128;
const VstInt32 kHighestCategory = kPlugCategGenerator;

struct NamedText {
    const char* what;
    VstInt32 opcode;
    size_t nominal;
};

void recordIsSound(CheckContext& context) {
    std::unique_ptr<PluginHost> host = context.load(kRate, kBlock);
    if (!host)
        return;
    const AEffect* record = host->record();
    if (record->magic != kEffectMagic)
        context.fail("magic is 0x%08X", static_cast<unsigned>(record->magic));
    if (record->numParams < 0)
        context.fail("numParams is %d", record->numParams);
    if (record->numPrograms < 0)
        context.fail("numPrograms is %d", record->numPrograms);
    if (record->numInputs < 0 || record->numOutputs < 0) {
        context.fail("numInputs %d, numOutputs %d", record->numInputs, record->numOutputs);
    }
    if (record->initialDelay < 0)
        context.fail("initialDelay is %d", record->initialDelay);
    if (!record->processReplacing && !record->process)
        context.fail("neither processReplacing nor process is set");
    context.figure("inputs / outputs", "%d / %d", record->numInputs, record->numOutputs);
    context.figure("parameters / programs", "%d / %d", record->numParams, record->numPrograms);
    context.figure("flags", "%s", PluginReport::decodeFlags(record->flags).c_str());
    context.figure("initial delay", "%d samples", record->initialDelay);
}

void flagsMatchBehaviour(CheckContext& context) {
    std::unique_ptr<PluginHost> host = context.load(kRate, kBlock);
    if (!host)
        return;
    const AEffect* record = host->record();
    bool canReplacing = (record->flags & effFlagsCanReplacing) != 0;
    if (canReplacing && !record->processReplacing) {
        context.fail("effFlagsCanReplacing is set, processReplacing is null");
    }
    if (!canReplacing && record->processReplacing) {
        context.warn("processReplacing is set without effFlagsCanReplacing: hosts will call the accumulating process");
    }
    bool canDouble = (record->flags & effFlagsCanDoubleReplacing) != 0;
    if (canDouble && !record->processDoubleReplacing) {
        context.fail("effFlagsCanDoubleReplacing is set, processDoubleReplacing is null");
    }
    ERect* rect = nullptr;
    context.doing("asking effEditGetRect");
    VstIntPtr answered = host->dispatch(effEditGetRect, 0, 0, &rect);
    bool hasEditor = (record->flags & effFlagsHasEditor) != 0;
    bool gaveRect = answered != 0 && rect != nullptr;
    if (gaveRect) {
        context.figure("editor rectangle", "%d x %d", rect->right - rect->left, rect->bottom - rect->top);
        if (rect->right <= rect->left || rect->bottom <= rect->top) {
            context.fail("effEditGetRect answers an empty rectangle (%d,%d)-(%d,%d)", rect->left, rect->top,
                         rect->right, rect->bottom);
        }
    }
    if (hasEditor && !gaveRect)
        context.warn("effFlagsHasEditor is set, but effEditGetRect gives no rectangle");
    if (!hasEditor && gaveRect)
        context.fail("effEditGetRect gives a rectangle, but effFlagsHasEditor is clear");
    VstIntPtr category = host->dispatch(effGetPlugCategory);
    context.figure("category", "%ld (%s)", static_cast<long>(category), PluginReport::categoryName(category));
    if (category < 0 || category > kHighestCategory) {
        context.warn("effGetPlugCategory answers %ld", static_cast<long>(category));
    }
    // Whether the instrument flag fits the category is the host habits group's to judge.
    context.figure("VST version", "%ld", static_cast<long>(host->dispatch(effGetVstVersion)));
    context.figure("tail size", "%ld samples", static_cast<long>(host->dispatch(effGetTailSize)));
}

void measureText(CheckContext& context, PluginHost& host, const char* what, VstInt32 opcode, VstInt32 index,
                 size_t nominal, size_t& longest) {
    context.doing("asking %s index %d into a guarded buffer of %zu bytes", opcodeName(opcode), index, kTextBufferBytes);
    TextAnswer answer = guardedText(host, opcode, index);
    if (!answer.terminated) {
        context.fail("%s (%s, index %d) is not terminated within the %zu bytes given", what, opcodeName(opcode), index,
                     kTextBufferBytes);
        return;
    }
    if (answer.length > longest)
        longest = answer.length;
    if (answer.length > nominal) {
        context.warn("%s %d is %zu characters, past the interface's nominal %zu: \"%s\"", what, index, answer.length,
                     nominal, answer.text.c_str());
    }
}

void textsWithinBuffers(CheckContext& context) {
    std::unique_ptr<PluginHost> host = context.load(kRate, kBlock);
    if (!host)
        return;
    const NamedText names[] = {
        {"effect name", effGetEffectName, kVstMaxEffectNameLen},
        {"vendor", effGetVendorString, kVstMaxVendorStrLen},
        {"product", effGetProductString, kVstMaxProductStrLen},
        {"program name", effGetProgramName, kVstMaxProgNameLen},
    };
    for (const NamedText& name : names) {
        size_t longest = 0;
        measureText(context, *host, name.what, name.opcode, 0, name.nominal, longest);
        context.figure(std::string("longest ") + name.what, "%zu chars (nominal %zu)", longest, name.nominal);
    }
    const AEffect* record = host->record();
    size_t longestProgram = 0;
    for (VstInt32 program = 0; program < record->numPrograms && program < kProgramsWalked; ++program) {
        context.doing("asking effGetProgramNameIndexed for program %d", program);
        TextAnswer answer = guardedText(*host, effGetProgramNameIndexed, program);
        if (!answer.terminated)
            context.fail("indexed program name %d is not terminated", program);
        else if (answer.length > longestProgram)
            longestProgram = answer.length;
    }
    context.figure("longest indexed program name", "%zu chars (nominal %d)", longestProgram, kVstMaxProgNameLen);
    const NamedText parameterTexts[] = {
        {"parameter name", effGetParamName, kVstMaxParamStrLen},
        {"parameter label", effGetParamLabel, kVstMaxParamStrLen},
        {"parameter display", effGetParamDisplay, kVstMaxParamStrLen},
    };
    for (const NamedText& kind : parameterTexts) {
        size_t longest = 0;
        int beyond = 0;
        for (VstInt32 index = 0; index < record->numParams; ++index) {
            context.doing("asking %s for parameter %d", opcodeName(kind.opcode), index);
            TextAnswer answer = guardedText(*host, kind.opcode, index);
            if (!answer.terminated) {
                context.fail("%s %d is not terminated within %zu bytes", kind.what, index, kTextBufferBytes);
                continue;
            }
            longest = answer.length > longest ? answer.length : longest;
            beyond += answer.length > kind.nominal;
        }
        context.figure(std::string("longest ") + kind.what, "%zu chars (nominal %zu; %d beyond it)", longest,
                       kind.nominal, beyond);
    }
}

void uniqueIdentity(CheckContext& context) {
    std::unique_ptr<PluginHost> host = context.load(kRate, kBlock);
    if (!host)
        return;
    VstInt32 id = host->record()->uniqueID;
    context.figure("unique ID", "%s", PluginReport::uniqueIdText(id).c_str());
    if (id == 0)
        context.fail("uniqueID is 0: hosts cannot tell this plug-in's presets and projects apart");
    context.figure("record version", "%d", host->record()->version);
    context.figure("vendor version", "%ld", static_cast<long>(host->dispatch(effGetVendorVersion)));
    // A second instance must say the same.
    std::unique_ptr<PluginHost> second = context.load(kRate, kBlock);
    if (second && second->record()->uniqueID != id) {
        context.fail("a second instance has uniqueID 0x%08X", static_cast<unsigned>(second->record()->uniqueID));
    }
}

void programsHold(CheckContext& context) {
    std::unique_ptr<PluginHost> host = context.load(kRate, kBlock);
    if (!host)
        return;
    VstInt32 count = host->record()->numPrograms;
    VstIntPtr start = host->dispatch(effGetProgram);
    context.figure("current program at start", "%ld of %d", static_cast<long>(start), count);
    if (count > 0 && (start < 0 || start >= count))
        context.fail("effGetProgram answers %ld", static_cast<long>(start));
    for (VstInt32 program = 0; program < count && program < kProgramsWalked; ++program) {
        context.doing("effSetProgram %d", program);
        host->dispatch(effSetProgram, 0, program);
        VstIntPtr now = host->dispatch(effGetProgram);
        if (now != program)
            context.fail("after effSetProgram %d, effGetProgram answers %ld", program, static_cast<long>(now));
    }
    const VstIntPtr outside[] = {count, count + 1, -1, 1 << 30};
    for (VstIntPtr program : outside) {
        context.doing("effSetProgram %ld (out of range)", static_cast<long>(program));
        host->dispatch(effSetProgram, 0, program);
        VstIntPtr now = host->dispatch(effGetProgram);
        if (count > 0 && (now < 0 || now >= count)) {
            context.fail("after effSetProgram %ld, effGetProgram answers %ld, outside 0..%d",
                         static_cast<long>(program), static_cast<long>(now), count - 1);
        }
    }
}

}  // namespace

ValidationGroup identityGroup() {
    return {"identity",
            "Identity and record",
            {},
            {
                {"record: magic, counts and functions", 1, recordIsSound},
                {"flags agree with behaviour (replacing, editor)", 1, flagsMatchBehaviour},
                {"every text the host can ask for, terminated within its buffer", 1, textsWithinBuffers},
                {"unique ID and versions", 1, uniqueIdentity},
                {"programs: set, read back, out of range", 2, programsHold},
            }};
}
