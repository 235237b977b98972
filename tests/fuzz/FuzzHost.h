// The host the VST fuzz targets play: it answers the effect's requests as a
// plain host does and holds each request to what a host relies on. Every
// automated value is a parameter value in 0..1 of a parameter that exists,
// and every begin edit is followed by its end edit before another begin of
// the same parameter.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/VstInterface.h"

namespace quavixfuzz {

class FuzzHost {
public:
    static VstIntPtr VSTCALLBACK callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                          float opt);
    // One host for the process: the callback has no other state to reach.
    static FuzzHost& instance();

    // Forgets every gesture, for a new input.
    void reset(int32_t numParams);
    // Every gesture begun so far has ended.
    void requireEditsClosed(const char* after) const;
    // Whether the host says it resizes the editor's window when asked.
    void setResizes(bool resizes) { resizesWindow = resizes; }

private:
    VstIntPtr answer(VstInt32 opcode, VstInt32 index, float opt);
    void beginEdit(VstInt32 index);
    void endEdit(VstInt32 index);
    void requireParameterIndex(VstInt32 index, const char* request) const;

    std::vector<int32_t> openEdits;  // per parameter
    bool resizesWindow = false;
};

}  // namespace quavixfuzz
