// Xlib and cairo, loaded when an editor first needs them instead of with the
// module. A host that scans plug-ins loads each in a fresh process that has
// neither, and those two bring a dozen more libraries (fonts, pictures,
// compression): a scan that opens no editor should not pay for them.
//
// Each function the window system calls is declared here in VSTGUI's
// namespace, taking what the real one takes, so that the code calls it by
// its own name and the module names neither library among its needs. The first
// call looks the function up; on a machine without the library every call
// does nothing and answers null, zero or false, so no window opens there and
// nothing crashes.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xresource.h>
#include <X11/Xutil.h>
#include <cairo-xlib.h>
#include <cairo.h>

#include <type_traits>

namespace VSTGUI {
namespace x11 {

enum class Library { xlib, cairo };

// The function of that name in the library, which is loaded at the first
// ask and stays; null when either is missing.
void* librarySymbol(Library library, const char* name);

}  // namespace x11

// An object rather than a function, so that a call names it and nothing else:
// a function here would meet the real one through the arguments' types
// (cairo_t and Display are global), and the real one would win.
#define QUAVIX_LOADED_LATE(library, name)                                                                  \
    struct LoadedLate_##name {                                                                             \
        template <typename... Arguments>                                                                   \
        auto operator()(Arguments... arguments) const -> decltype(::name(arguments...)) {                  \
            using Function = decltype(&::name);                                                            \
            static const Function loaded = reinterpret_cast<Function>(x11::librarySymbol(library, #name)); \
            if (loaded)                                                                                    \
                return loaded(arguments...);                                                               \
            if constexpr (!std::is_void_v<decltype(::name(arguments...))>)                                 \
                return {};                                                                                 \
        }                                                                                                  \
    };                                                                                                     \
    inline constexpr LoadedLate_##name name{};

QUAVIX_LOADED_LATE(x11::Library::xlib, XChangeProperty)
QUAVIX_LOADED_LATE(x11::Library::xlib, XCheckIfEvent)
QUAVIX_LOADED_LATE(x11::Library::xlib, XConnectionNumber)
QUAVIX_LOADED_LATE(x11::Library::xlib, XCheckTypedWindowEvent)
QUAVIX_LOADED_LATE(x11::Library::xlib, XCloseDisplay)
QUAVIX_LOADED_LATE(x11::Library::xlib, XConvertSelection)
QUAVIX_LOADED_LATE(x11::Library::xlib, XCreateFontCursor)
QUAVIX_LOADED_LATE(x11::Library::xlib, XCreatePixmap)
QUAVIX_LOADED_LATE(x11::Library::xlib, XCreateWindow)
QUAVIX_LOADED_LATE(x11::Library::xlib, XDefineCursor)
QUAVIX_LOADED_LATE(x11::Library::xlib, XDeleteProperty)
QUAVIX_LOADED_LATE(x11::Library::xlib, XDestroyWindow)
QUAVIX_LOADED_LATE(x11::Library::xlib, XFlush)
QUAVIX_LOADED_LATE(x11::Library::xlib, XFree)
QUAVIX_LOADED_LATE(x11::Library::xlib, XFreeCursor)
QUAVIX_LOADED_LATE(x11::Library::xlib, XFreePixmap)
QUAVIX_LOADED_LATE(x11::Library::xlib, XGetClassHint)
QUAVIX_LOADED_LATE(x11::Library::xlib, XGetWindowAttributes)
QUAVIX_LOADED_LATE(x11::Library::xlib, XGetWindowProperty)
QUAVIX_LOADED_LATE(x11::Library::xlib, XInternAtom)
QUAVIX_LOADED_LATE(x11::Library::xlib, XInternAtoms)
QUAVIX_LOADED_LATE(x11::Library::xlib, XLookupString)
QUAVIX_LOADED_LATE(x11::Library::xlib, XMapWindow)
QUAVIX_LOADED_LATE(x11::Library::xlib, XNextEvent)
QUAVIX_LOADED_LATE(x11::Library::xlib, XOpenDisplay)
QUAVIX_LOADED_LATE(x11::Library::xlib, XPending)
QUAVIX_LOADED_LATE(x11::Library::xlib, XPutBackEvent)
QUAVIX_LOADED_LATE(x11::Library::xlib, XQueryPointer)
QUAVIX_LOADED_LATE(x11::Library::xlib, XQueryTree)
QUAVIX_LOADED_LATE(x11::Library::xlib, XResizeWindow)
QUAVIX_LOADED_LATE(x11::Library::xlib, XResourceManagerString)
QUAVIX_LOADED_LATE(x11::Library::xlib, XSelectInput)
QUAVIX_LOADED_LATE(x11::Library::xlib, XSendEvent)
QUAVIX_LOADED_LATE(x11::Library::xlib, XSetClassHint)
QUAVIX_LOADED_LATE(x11::Library::xlib, XSetErrorHandler)
QUAVIX_LOADED_LATE(x11::Library::xlib, XSetWMNormalHints)
QUAVIX_LOADED_LATE(x11::Library::xlib, XSync)
QUAVIX_LOADED_LATE(x11::Library::xlib, XTranslateCoordinates)
QUAVIX_LOADED_LATE(x11::Library::xlib, XUndefineCursor)
QUAVIX_LOADED_LATE(x11::Library::xlib, XrmDestroyDatabase)
QUAVIX_LOADED_LATE(x11::Library::xlib, XrmGetResource)
QUAVIX_LOADED_LATE(x11::Library::xlib, XrmGetStringDatabase)
QUAVIX_LOADED_LATE(x11::Library::xlib, XrmInitialize)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_clip)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_create)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_device_status)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_destroy)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_fill)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_font_extents)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_font_options_copy)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_font_options_create)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_font_options_destroy)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_font_options_set_antialias)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_font_options_set_hint_metrics)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_font_options_set_hint_style)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_get_font_options)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_get_source)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_get_target)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_image_surface_create)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_image_surface_get_data)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_image_surface_get_format)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_image_surface_get_height)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_image_surface_get_stride)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_image_surface_get_width)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_line_to)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_move_to)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_new_path)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_paint)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_paint_with_alpha)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_pattern_set_filter)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_rectangle)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_reset_clip)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_restore)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_save)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_select_font_face)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_set_antialias)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_set_font_options)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_set_font_size)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_set_line_cap)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_set_line_width)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_set_operator)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_set_source_rgb)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_set_source_surface)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_show_text)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_status)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_stroke)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_surface_create_similar)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_surface_destroy)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_surface_flush)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_surface_get_device)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_surface_get_type)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_surface_get_user_data)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_surface_mark_dirty)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_surface_set_user_data)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_surface_status)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_text_extents)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_xlib_surface_create)
QUAVIX_LOADED_LATE(x11::Library::cairo, cairo_xlib_surface_get_display)

#undef QUAVIX_LOADED_LATE

}  // namespace VSTGUI
