// The display scale on X11: the Xft.dpi resource desktops publish in the
// server's resource database (96 is 1), else GDK_SCALE, which GTK desktops
// set for whole-number scales.
#include <X11/Xlib.h>
#include <X11/Xresource.h>

#include <cstdlib>

#include "toolkit/geometry/Scaling.h"
#include "toolkit/platform/WindowGeometry.h"
#include "platform/x11/WindowLibraries.h"

namespace VSTGUI {

namespace {

constexpr double kBaseDpi = 96.0;

// A connection of its own: the resource string a connection holds is the
// one the server had when it was opened, so this sees the current one.
double xftDpi() {
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 0.0;
    double dpi = 0.0;
    if (const char* resources = XResourceManagerString(display)) {
        XrmInitialize();
        XrmDatabase database = XrmGetStringDatabase(resources);
        char* type = nullptr;
        XrmValue value = {0, nullptr};
        if (database && XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr)
            dpi = parseScaleFactor(value.addr);
        if (database)
            XrmDestroyDatabase(database);
    }
    XCloseDisplay(display);
    return dpi;
}

}  // namespace

// One answer for every window: X11 has one resource database per server.
double systemScaleFactor(WindowHandle /*window*/) {
    const double dpi = xftDpi();
    if (dpi > 0.0)
        return dpi / kBaseDpi;
    return parseScaleFactor(std::getenv("GDK_SCALE"));
}

}  // namespace VSTGUI
