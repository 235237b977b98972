// What the shared cases of the host tool (HostToolCases.cpp) have in
// common with each system's own test program: reading the benchmark's
// table, and a plug-in of odd shapes that lives in the test program.
#pragma once

#include <algorithm>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "framework/VstInterface.h"
#include "tests/tools/HostToolFixture.h"

namespace hosttool {

// --- the benchmark ---

struct BenchLine {
    std::string name;
    double nanoseconds = 0.0, best = 0.0, ratio = 0.0;
    std::string file;
};

// The table's rows: "  N  NAME  NS  BEST  RATIO  FILE...", in order.
inline std::vector<BenchLine> benchLines(const std::string& output) {
    std::vector<BenchLine> lines;
    std::istringstream in(output.substr(std::min(output.size(), output.find("ns per stereo frame"))));
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        BenchLine row;
        int number = 0;
        if (fields >> number >> row.name >> row.nanoseconds >> row.best >> row.ratio >> row.file)
            lines.push_back(row);
    }
    return lines;
}

// --- plug-ins of other shapes, hosted in this process ---

// Copies input k to output k (silence where there is no such input) and
// answers the text opcodes with texts of textLength characters.
struct OddPlugin {
    static inline int numInputs = 2;
    static inline int numOutputs = 2;
    static inline size_t textLength = 8;
    static inline AEffect record;

    static bool isText(VstInt32 opcode) {
        return opcode == effGetParamName || opcode == effGetParamLabel || opcode == effGetParamDisplay ||
               opcode == effGetEffectName || opcode == effGetVendorString || opcode == effGetProductString;
    }
    static VstIntPtr VSTCALLBACK dispatcher(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
        if (!ptr || !isText(opcode))
            return 0;
        std::memset(ptr, 'q', textLength);
        static_cast<char*>(ptr)[textLength] = 0;
        return 1;
    }
    static float VSTCALLBACK getParameter(AEffect*, VstInt32) { return 0.0f; }
    static void VSTCALLBACK setParameter(AEffect*, VstInt32, float) {}
    static void VSTCALLBACK processReplacing(AEffect*, float** inputs, float** outputs, VstInt32 frames) {
        for (int k = 0; k < numOutputs; ++k) {
            for (int i = 0; i < frames; ++i)
                outputs[k][i] = k < numInputs ? inputs[k][i] : 0.0f;
        }
    }
    static AEffect* VSTCALLBACK entry(audioMasterCallback) {
        record = AEffect();
        record.magic = kEffectMagic;
        record.dispatcher = dispatcher;
        record.getParameter = getParameter;
        record.setParameter = setParameter;
        record.processReplacing = processReplacing;
        record.flags = effFlagsCanReplacing;
        record.numParams = 1;
        record.numInputs = numInputs;
        record.numOutputs = numOutputs;
        return &record;
    }
};

}  // namespace hosttool
