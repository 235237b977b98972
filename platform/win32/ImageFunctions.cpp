#include "platform/win32/ImageFunctions.h"

#include <windows.h>

#include <cstring>

namespace VSTGUI {

static_assert(sizeof(BlendFunctionRecord) == sizeof(BLENDFUNCTION), "blend record layout");

namespace {

// The size that the version record announces to GetVersionExA. 156 bytes
// asks for the extended record, so the storage is the extended record too:
// the plain one is 8 bytes shorter and would be overrun.
constexpr DWORD kVersionRecordSize = 156;
static_assert(sizeof(OSVERSIONINFOEXA) == kVersionRecordSize, "version record layout");

AlphaBlendFunction alphaBlendSlot = nullptr;
TransparentBltFunction transparentBltSlot = nullptr;
OSVERSIONINFOEXA versionRecord = {};

template <typename Function>
Function lookUp(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

}  // namespace

ModuleHandle loadImageFunctions() {
    alphaBlendSlot = nullptr;
    transparentBltSlot = nullptr;
    HMODULE library = LoadLibraryA("msimg32.dll");
    if (!library)
        return nullptr;
    alphaBlendSlot = lookUp<AlphaBlendFunction>(library, "AlphaBlend");
    std::memset(&versionRecord, 0, sizeof(versionRecord));
    versionRecord.dwOSVersionInfoSize = kVersionRecordSize;
    if (GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&versionRecord)) &&
        versionRecord.dwPlatformId >= VER_PLATFORM_WIN32_NT)
        transparentBltSlot = lookUp<TransparentBltFunction>(library, "TransparentBlt");
    return library;
}

void freeImageFunctions(ModuleHandle library) {
    if (!library)
        return;
    FreeLibrary(static_cast<HMODULE>(library));
    if (!GetModuleHandleA("msimg32.dll")) {
        alphaBlendSlot = nullptr;
        transparentBltSlot = nullptr;
    }
}

AlphaBlendFunction getAlphaBlend() { return alphaBlendSlot; }

TransparentBltFunction getTransparentBlt() { return transparentBltSlot; }

SystemVersion getSystemVersion() {
    return {versionRecord.dwOSVersionInfoSize, versionRecord.dwMajorVersion, versionRecord.dwMinorVersion,
            versionRecord.dwPlatformId};
}

bool isWindows98() {
    return versionRecord.dwMajorVersion == 4 && versionRecord.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS &&
           versionRecord.dwMinorVersion == 10;
}

void setAlphaBlend(AlphaBlendFunction function) { alphaBlendSlot = function; }

void setTransparentBlt(TransparentBltFunction function) { transparentBltSlot = function; }

}  // namespace VSTGUI
