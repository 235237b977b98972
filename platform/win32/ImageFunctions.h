// The two optional image functions of msimg32 and the system version record,
// shared by every editor in the process. msimg32 is loaded at run time only:
// a system without it still draws, through the bitmap code's own fallbacks.
#pragma once

#include <cstdint>

#include "toolkit/platform/PlatformTypes.h"

namespace VSTGUI {

// The blend record of AlphaBlend, byte for byte; it travels by value.
struct BlendFunctionRecord {
    uint8_t operation;    // 0: source over destination
    uint8_t flags;        // always 0
    uint8_t sourceAlpha;  // constant opacity applied to every source pixel
    uint8_t alphaFormat;  // 0: the source has no alpha of its own
};

typedef int(__stdcall* AlphaBlendFunction)(DeviceHandle dest, int x, int y, int width, int height, DeviceHandle source,
                                           int sourceX, int sourceY, int sourceWidth, int sourceHeight,
                                           BlendFunctionRecord blend);
typedef int(__stdcall* TransparentBltFunction)(DeviceHandle dest, int x, int y, int width, int height,
                                               DeviceHandle source, int sourceX, int sourceY, int sourceWidth,
                                               int sourceHeight, uint32_t transparentColor);

// What the process-wide version record says about the running system.
struct SystemVersion {
    uint32_t recordSize;  // 156 once filled, 0 before
    uint32_t majorVersion;
    uint32_t minorVersion;
    uint32_t platformId;  // 1: Windows 9x family, 2: NT family
};

// Clears both slots, loads msimg32 and fills the slots and the version
// record. Returns the library handle, or null when it did not load.
ModuleHandle loadImageFunctions();
// Gives the library back; when that unloads it, the slots are cleared so
// that nothing calls into unmapped code.
void freeImageFunctions(ModuleHandle library);

AlphaBlendFunction getAlphaBlend();
TransparentBltFunction getTransparentBlt();
SystemVersion getSystemVersion();
// Windows 98 (4.10 on the 9x platform) needs AlphaBlend's source in a bitmap of its own.
bool isWindows98();

// Tests replace a slot (null included) to reach the fallbacks.
void setAlphaBlend(AlphaBlendFunction function);
void setTransparentBlt(TransparentBltFunction function);

}  // namespace VSTGUI
