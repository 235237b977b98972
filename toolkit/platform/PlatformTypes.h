// Opaque handles of the window system, so that toolkit headers never need
// the platform's own headers.
#pragma once

namespace VSTGUI {

typedef void* WindowHandle;     // a window
typedef void* DeviceHandle;     // a device context
typedef void* GraphicsHandle;   // a pen, brush, font, bitmap or region
typedef void* ModuleHandle;     // a loaded module
typedef void* CursorHandle;     // a cursor
typedef void* ThreadResources;  // what the window system keeps for an editor or frame

}  // namespace VSTGUI
