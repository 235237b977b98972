// What a plug-in file was built for, read from its first bytes before any
// loader sees it. The loaders' own words for a library of another system or
// word size ("%1 is not a valid Win32 application", "wrong ELF class:
// ELFCLASS32") do not tell the user which of our tools loads it instead.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class LibraryFormat {
public:
    enum class System { Windows, Linux };

    // A tool build, or a library it may load: the system and the word size
    // of an x86 processor.
    struct Target {
        System system;
        int bits;  // 32 or 64
    };

    // The DOS stub before the PE header is rarely past a few hundred bytes;
    // what does not fit here is not a library any of our loaders takes.
    static const size_t kHeaderBytes = 4096;

    // The file's first bytes, at most kHeaderBytes; false with a message naming it.
    static bool readHeader(const std::string& path, std::vector<uint8_t>& header, std::string& error);

    // Why a tool built for `tool` cannot load the library that starts with
    // `header`, naming the file `name`; empty when it can.
    static std::string refusal(const std::string& name, const std::vector<uint8_t>& header, Target tool);

    // The build of quavix-host that loads libraries of that target, as it
    // sits in dist/, or empty when there is none.
    static std::string toolFor(Target target);
};
