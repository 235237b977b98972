// The texts a VST 2.4 plug-in writes for a host, read through guarded
// buffers, and the opcodes' names for messages.
#pragma once

#include <cstddef>
#include <string>

#include "tools/hosting/vst/PluginHost.h"

// A text the plug-in writes into a guarded buffer of `bytes` bytes that
// starts as an empty string followed by non-zero filler, so that an answer
// without its terminating zero shows. A write past the buffer faults.
struct TextAnswer {
    bool terminated = false;
    size_t length = 0;
    std::string text;
    VstIntPtr result = 0;
};

// What hosts commonly give for texts; the interface's nominal limits are far smaller.
const size_t kTextBufferBytes = 256;

TextAnswer guardedText(PluginHost& host, VstInt32 opcode, VstInt32 index, size_t bytes = kTextBufferBytes);
// The opcode's name in the interface, for messages.
const char* opcodeName(VstInt32 opcode);
