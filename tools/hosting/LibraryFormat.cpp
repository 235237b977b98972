#include "tools/hosting/LibraryFormat.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// PE: the DOS header holds the PE header's offset; the signature is followed
// by the COFF header, which starts with the machine and ends with the
// characteristics.
const size_t kDosHeaderSize = 0x40;
const size_t kPeOffsetField = 0x3C;
const size_t kPeSignatureSize = 4;
const size_t kCoffCharacteristics = 18;
const size_t kCoffHeaderSize = 20;
const uint16_t kPeMachineI386 = 0x014C;
const uint16_t kPeMachineAmd64 = 0x8664;
const uint16_t kPeFileIsDll = 0x2000;

// ELF: the identification bytes, then the type and the machine.
const uint8_t kElfMagic[] = {0x7F, 'E', 'L', 'F'};
const size_t kElfClass = 4;
const size_t kElfData = 5;
const size_t kElfType = 16;
const size_t kElfMachine = 18;
const size_t kElfHeaderStart = 20;
const uint8_t kElfClass32 = 1;
const uint8_t kElfClass64 = 2;
const uint8_t kElfBigEndian = 2;
const uint16_t kElfSharedObject = 3;
const uint16_t kElfMachineI386 = 3;
const uint16_t kElfMachineX86_64 = 62;

struct MachineName {
    uint16_t machine;
    const char* name;
};

const MachineName kPeMachines[] = {{0xAA64, "ARM64"}, {0x01C4, "ARM"}, {0x0200, "Itanium"}};
const MachineName kElfMachines[] = {{183, "AArch64"}, {40, "ARM"}, {243, "RISC-V"}, {21, "64-bit PowerPC"}};

// Either the x86 target a library was built for, or what else the file is,
// as the rest of a sentence that starts with its name.
struct Identity {
    bool isX86Library = false;
    LibraryFormat::Target target = {LibraryFormat::System::Linux, 0};
    std::string otherwise;
};

uint16_t read16(const std::vector<uint8_t>& bytes, size_t at, bool bigEndian = false) {
    return bigEndian ? static_cast<uint16_t>(bytes[at] << 8 | bytes[at + 1])
                     : static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

uint32_t read32(const std::vector<uint8_t>& bytes, size_t at) {
    return static_cast<uint32_t>(read16(bytes, at)) | static_cast<uint32_t>(read16(bytes, at + 2)) << 16;
}

std::string hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", value);
    return text;
}

std::string otherProcessor(const char* system, uint16_t machine, const MachineName* names, size_t count) {
    std::string processor = "machine " + hex(machine);
    for (size_t i = 0; i < count; ++i) {
        if (names[i].machine == machine)
            processor = names[i].name;
    }
    return std::string("is a ") + system + " library for another processor (" + processor +
           "); quavix-host loads x86 plug-ins only";
}

Identity found(LibraryFormat::System system, int bits) {
    Identity identity;
    identity.isX86Library = true;
    identity.target = {system, bits};
    return identity;
}

Identity notALibrary(const std::string& what) {
    Identity identity;
    identity.otherwise = what;
    return identity;
}

Identity identifyPe(const std::vector<uint8_t>& bytes) {
    if (bytes.size() < kDosHeaderSize)
        return notALibrary("is cut short: it ends inside its DOS header");
    uint32_t peOffset = read32(bytes, kPeOffsetField);
    if (peOffset > bytes.size() || bytes.size() - peOffset < kPeSignatureSize) {
        std::string at = "its PE header would start at byte " + std::to_string(peOffset);
        // Fewer bytes than asked for means the file ended there.
        return notALibrary(bytes.size() < LibraryFormat::kHeaderBytes ? "is cut short: " + at + ", past its end"
                                                                      : "is not a Windows DLL: " + at);
    }
    if (std::memcmp(&bytes[peOffset], "PE\0\0", kPeSignatureSize) != 0) {
        return notALibrary("is a DOS program, not a Windows DLL (no PE signature)");
    }
    size_t coff = peOffset + kPeSignatureSize;
    if (bytes.size() - coff < kCoffHeaderSize)
        return notALibrary("is cut short: it ends inside its PE header");
    uint16_t machine = read16(bytes, coff);
    if (!(read16(bytes, coff + kCoffCharacteristics) & kPeFileIsDll)) {
        return notALibrary("is a Windows program, not a plug-in DLL");
    }
    if (machine == kPeMachineI386)
        return found(LibraryFormat::System::Windows, 32);
    if (machine == kPeMachineAmd64)
        return found(LibraryFormat::System::Windows, 64);
    return notALibrary(otherProcessor("Windows", machine, kPeMachines, sizeof kPeMachines / sizeof kPeMachines[0]));
}

Identity identifyElf(const std::vector<uint8_t>& bytes) {
    if (bytes.size() < kElfHeaderStart)
        return notALibrary("is cut short: it ends inside its ELF header");
    uint8_t elfClass = bytes[kElfClass];
    bool bigEndian = bytes[kElfData] == kElfBigEndian;
    if (elfClass != kElfClass32 && elfClass != kElfClass64) {
        return notALibrary("is a damaged ELF file (class " + std::to_string(elfClass) + ")");
    }
    if (read16(bytes, kElfType, bigEndian) != kElfSharedObject) {
        return notALibrary("is an ELF program or object file, not a shared library");
    }
    uint16_t machine = read16(bytes, kElfMachine, bigEndian);
    if (!bigEndian && machine == kElfMachineI386 && elfClass == kElfClass32) {
        return found(LibraryFormat::System::Linux, 32);
    }
    if (!bigEndian && machine == kElfMachineX86_64 && elfClass == kElfClass64) {
        return found(LibraryFormat::System::Linux, 64);
    }
    return notALibrary(otherProcessor("Linux", machine, kElfMachines, sizeof kElfMachines / sizeof kElfMachines[0]));
}

Identity identify(const std::vector<uint8_t>& bytes) {
    if (bytes.size() >= 2 && bytes[0] == 'M' && bytes[1] == 'Z')
        return identifyPe(bytes);
    if (bytes.size() >= sizeof kElfMagic && std::memcmp(bytes.data(), kElfMagic, sizeof kElfMagic) == 0) {
        return identifyElf(bytes);
    }
    if (bytes.size() < 4) {
        return notALibrary("is too short to be a plug-in library (" + std::to_string(bytes.size()) + " bytes)");
    }
    return notALibrary("is not a plug-in library: neither a Windows DLL nor a Linux shared object");
}

std::string describe(LibraryFormat::Target target) {
    if (target.system == LibraryFormat::System::Windows) {
        return target.bits == 64 ? "a 64-bit Windows plug-in" : "a 32-bit Windows plug-in";
    }
    return target.bits == 64 ? "a Linux plug-in" : "a 32-bit Linux plug-in";
}

}  // namespace

std::string LibraryFormat::toolFor(Target target) {
    if (target.system == System::Windows) {
        return target.bits == 64 ? "dist/win64/quavix-host.exe" : "dist/win32/quavix-host.exe";
    }
    return target.bits == 64 ? "dist/linux-x86_64/quavix-host" : "";
}

std::string LibraryFormat::refusal(const std::string& name, const std::vector<uint8_t>& header, Target tool) {
    Identity identity = identify(header);
    std::string quoted = "'" + name + "' ";
    if (!identity.isX86Library)
        return quoted + identity.otherwise;
    Target target = identity.target;
    if (target.system == tool.system && target.bits == tool.bits)
        return "";
    std::string other = toolFor(target);
    if (other.empty())
        return quoted + "is " + describe(target) + "; no build of quavix-host loads those";
    bool underWine = target.system == System::Windows && tool.system == System::Linux;
    return quoted + "is " + describe(target) + "; use " + other + (underWine ? " under Wine" : "");
}

bool LibraryFormat::readHeader(const std::string& path, std::vector<uint8_t>& header, std::string& error) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = "cannot open plug-in '" + path + "': " + std::strerror(errno);
        return false;
    }
    header.resize(kHeaderBytes);
    size_t got = std::fread(header.data(), 1, header.size(), file);
    // A directory opens on Linux and fails only here.
    int readError = std::ferror(file) ? errno : 0;
    std::fclose(file);
    header.resize(got);
    if (readError != 0) {
        error = "cannot read plug-in '" + path + "': " + std::strerror(readError);
        return false;
    }
    return true;
}
