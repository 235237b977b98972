// Which tool loads which library, decided from headers built here in
// memory: every pairing of the three tool builds with the libraries of each
// system and word size, and the files that are no x86 library at all.
// Compiled once for the Windows and the Linux test program.
#include "tests/tools/LibraryFormatCases.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace libraryformat {

const LibraryFormat::Target kWin32 = {System::Windows, 32};
const LibraryFormat::Target kWin64 = {System::Windows, 64};
const LibraryFormat::Target kLinux64 = {System::Linux, 64};

struct FormatCase {
    const char* what;
    Bytes header;
    LibraryFormat::Target tool;
    std::string expected;  // the message after "'NAME' ", or empty: the tool loads it
};

std::vector<FormatCase> formatCases() {
    Bytes noSignature = peHeader(kPeI386);
    noSignature[kPeOffset] = 'N';
    Bytes farPeHeader = peHeader(kPeI386);
    put16(farPeHeader, 0x3C, 0x7000);
    const std::string win32Tool = "use dist/win32/quavix-host.exe";
    const std::string win64Tool = "use dist/win64/quavix-host.exe";
    const std::string linuxTool = "use dist/linux-x86_64/quavix-host";
    return {
        {"32-bit DLL, 32-bit Windows tool", peHeader(kPeI386), kWin32, ""},
        {"64-bit DLL, 64-bit Windows tool", peHeader(kPeAmd64), kWin64, ""},
        {"x86-64 shared object, Linux tool", elfHeader(kElf64, kElfX86_64), kLinux64, ""},
        {"32-bit DLL, 64-bit Windows tool", peHeader(kPeI386), kWin64, "is a 32-bit Windows plug-in; " + win32Tool},
        {"64-bit DLL, 32-bit Windows tool", peHeader(kPeAmd64), kWin32, "is a 64-bit Windows plug-in; " + win64Tool},
        {"shared object, 32-bit tool", elfHeader(kElf64, kElfX86_64), kWin32, "is a Linux plug-in; " + linuxTool},
        {"shared object, 64-bit tool", elfHeader(kElf64, kElfX86_64), kWin64, "is a Linux plug-in; " + linuxTool},
        {"32-bit DLL, Linux tool", peHeader(kPeI386), kLinux64,
         "is a 32-bit Windows plug-in; " + win32Tool + " under Wine"},
        {"64-bit DLL, Linux tool", peHeader(kPeAmd64), kLinux64,
         "is a 64-bit Windows plug-in; " + win64Tool + " under Wine"},
        {"i386 shared object, Linux tool", elfHeader(kElf32, kElfI386), kLinux64,
         "is a 32-bit Linux plug-in; no build of quavix-host loads those"},
        {"ARM64 DLL", peHeader(kPeArm64), kWin64, "is a Windows library for another processor (ARM64)"},
        {"AArch64 shared object", elfHeader(kElf64, kElfAArch64), kLinux64,
         "is a Linux library for another processor (AArch64)"},
        {"Windows program", peHeader(kPeAmd64, false), kWin64, "is a Windows program, not a plug-in DLL"},
        {"Linux program", elfHeader(kElf64, kElfX86_64, kElfProgram), kLinux64, "is an ELF program or object file"},
        {"DOS program", noSignature, kWin32, "is a DOS program"},
        {"DOS header cut short", cut(peHeader(kPeI386), 0x30), kWin32, "is cut short: it ends inside its DOS header"},
        {"PE header cut short", cut(peHeader(kPeI386), kPeOffset + 10), kWin32, "is cut short: it ends inside its PE"},
        {"PE header past the end", cut(farPeHeader, 0x100), kWin32, "is cut short: its PE header would start at byte"},
        {"ELF header cut short", cut(elfHeader(kElf64, kElfX86_64), 12), kLinux64, "is cut short"},
        {"empty file", Bytes(), kLinux64, "is too short to be a plug-in library (0 bytes)"},
        {"text file", Bytes{'h', 'e', 'l', 'l', 'o', '\n'}, kWin32, "is not a plug-in library"},
    };
}

TEST(LibraryFormatTest, EachToolLoadsItsOwnKindAndNamesTheToolForEveryOther) {
    for (const FormatCase& row : formatCases()) {
        SCOPED_TRACE(row.what);
        std::string message = LibraryFormat::refusal("dir/PLUG.dll", row.header, row.tool);
        if (row.expected.empty()) {
            EXPECT_EQ(message, "");
            continue;
        }
        EXPECT_EQ(message.rfind("'dir/PLUG.dll' " + row.expected, 0), 0u) << message;
        // Only a Linux tool sends anyone to Wine.
        EXPECT_EQ(message.find("Wine") != std::string::npos,
                  row.tool.system == System::Linux && row.expected.find("Windows plug-in") != std::string::npos);
    }
}

}  // namespace libraryformat
