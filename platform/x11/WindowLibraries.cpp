#include "platform/x11/WindowLibraries.h"

#include <dlfcn.h>

namespace VSTGUI {
namespace x11 {

namespace {

// By the names the runtime packages install, as the linker would have
// recorded them. Never closed: the module itself is never unloaded, and
// cairo keeps its state for every connection it has seen.
void* libraryHandle(Library library) {
    static void* const xlib = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
    static void* const cairo = xlib ? dlopen("libcairo.so.2", RTLD_NOW | RTLD_LOCAL) : nullptr;
    // Both or neither: a cairo without Xlib draws on no window.
    if (!xlib || !cairo)
        return nullptr;
    return library == Library::xlib ? xlib : cairo;
}

}  // namespace

void* librarySymbol(Library library, const char* name) {
    void* handle = libraryHandle(library);
    return handle ? dlsym(handle, name) : nullptr;
}

}  // namespace x11
}  // namespace VSTGUI
