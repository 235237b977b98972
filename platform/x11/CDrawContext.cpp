#include "toolkit/drawing/CDrawContext.h"

#include <cairo-xlib.h>
#include <cairo.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "toolkit/drawing/FontTable.h"
#include "toolkit/drawing/PenLine.h"
#include "platform/x11/CairoContext.h"
#include "platform/x11/X11Windows.h"
#include "platform/x11/WindowLibraries.h"

namespace VSTGUI {

namespace {

using x11::cairoOf;

void setSource(cairo_t* cairo, const CColor& color) {
    cairo_set_source_rgb(cairo, color.red / 255.0, color.green / 255.0, color.blue / 255.0);
}

// A one-pixel pen line from one point to another, without its end point;
// straight ones as one rectangle each.
void penLine(cairo_t* cairo, CPoint from, CPoint to) {
    const int32_t dx = std::abs(to.x - from.x);
    const int32_t dy = std::abs(to.y - from.y);
    if (dx == 0 && dy == 0)
        return;
    if (dy == 0) {
        const int32_t left = to.x > from.x ? from.x : to.x + 1;
        x11::fillPixels(cairo, left, from.y, left + dx, from.y + 1);
        return;
    }
    if (dx == 0) {
        const int32_t top = to.y > from.y ? from.y : to.y + 1;
        x11::fillPixels(cairo, from.x, top, from.x + 1, top + dy);
        return;
    }
    walkPenLine(from, to, [cairo](int32_t x, int32_t y) { cairo_rectangle(cairo, x, y, 1, 1); });
    cairo_fill(cairo);
}

// The sum of each character's advance, rounded one by one; a character is
// a byte below 0x80 or a whole UTF-8 sequence.
int32_t roundedAdvances(cairo_t* cairo, const char* text) {
    int32_t width = 0;
    char character[8];
    for (size_t i = 0; text[i];) {
        size_t length = 1;
        while (text[i + length] && (static_cast<unsigned char>(text[i + length]) & 0xC0) == 0x80 && length < 6)
            ++length;
        std::memcpy(character, text + i, length);
        character[length] = 0;
        cairo_text_extents_t extents;
        cairo_text_extents(cairo, character, &extents);
        width += int32_t(std::lround(extents.x_advance));
        i += length;
    }
    return width;
}

}  // namespace

namespace x11 {

cairo_t* createCairo(cairo_surface_t* surface) {
    cairo_t* cairo = cairo_create(surface);
    cairo_set_antialias(cairo, CAIRO_ANTIALIAS_NONE);
    cairo_font_options_t* options = cairo_font_options_create();
    // Text as the Windows build draws Arial at these sizes (the editor's
    // picture in docs/): whole pixels on fully hinted outlines.
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_FULL);
    cairo_set_font_options(cairo, options);
    cairo_font_options_destroy(options);
    return cairo;
}

void fillPixels(cairo_t* cairo, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (right <= left || bottom <= top)
        return;
    cairo_rectangle(cairo, left, top, right - left, bottom - top);
    cairo_fill(cairo);
}

}  // namespace x11

void CDrawContext::acquireDevice() {
    if (deviceContext || !window)
        return;
    // Only a frame window of ours is drawn into; any other window (the
    // host's) gives its position and nothing else.
    x11::FrameWindowState* state = x11::findFrameWindow(x11::toWindow(window));
    if (!state || state->destroyed)
        return;
    cairo_surface_t* surface =
        cairo_xlib_surface_create(state->display, state->window, state->visual, state->width, state->height);
    ownedDeviceContext = x11::createCairo(surface);
    cairo_surface_destroy(surface);  // the context holds it
    deviceContext = ownedDeviceContext;
}

CDrawContext::~CDrawContext() {
    if (ownedDeviceContext) {
        cairo_t* cairo = cairoOf(ownedDeviceContext);
        cairo_surface_t* surface = cairo_get_target(cairo);
        cairo_surface_flush(surface);
        // A paint is done when the server has drawn it: a host that reads
        // the window after the idle that painted sees the picture. An idle
        // that paints nothing makes no context and waits for nothing.
        if (cairo_surface_get_type(surface) == CAIRO_SURFACE_TYPE_XLIB)
            XSync(cairo_xlib_surface_get_display(surface), False);
        cairo_destroy(cairo);
    }
}

// Pens, brushes, fonts and the text colour are set on the cairo context
// when used.
void CDrawContext::makePen() {}

void CDrawContext::makeBrush() {}

void CDrawContext::makeFont() {}

void CDrawContext::applyFontColor() {}

void CDrawContext::applyClip() {
    if (!deviceContext)
        return;
    cairo_t* cairo = cairoOf(deviceContext);
    cairo_reset_clip(cairo);
    const CRect device = unitsToDevice(clipRect);
    cairo_rectangle(cairo, device.left, device.top, device.width(), device.height());
    cairo_clip(cairo);
}

void CDrawContext::drawDeviceLine(const CPoint& from, const CPoint& to) {
    if (!deviceContext)
        return;
    cairo_t* cairo = cairoOf(deviceContext);
    setSource(cairo, frameColor);
    const int32_t width = toDeviceLength(lineWidth);
    if (width <= 1) {
        penLine(cairo, from, to);
        return;
    }
    // A wide pen is a round-capped stroke through the pixel centres.
    cairo_set_line_width(cairo, width);
    cairo_set_line_cap(cairo, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cairo, from.x + 0.5, from.y + 0.5);
    cairo_line_to(cairo, to.x + 0.5, to.y + 0.5);
    cairo_stroke(cairo);
}

void CDrawContext::fillDevicePixels(const CRect& device) {
    if (!deviceContext)
        return;
    cairo_t* cairo = cairoOf(deviceContext);
    setSource(cairo, frameColor);
    x11::fillPixels(cairo, device.left, device.top, device.right, device.bottom);
}

void CDrawContext::fillRect(const CRect& rect) {
    if (!deviceContext)
        return;
    cairo_t* cairo = cairoOf(deviceContext);
    setSource(cairo, fillColor);
    // GDI's FillRect of the rectangle less its left and top edge.
    const CRect area = toDevice(CRect(rect.left + 1, rect.top + 1, rect.right, rect.bottom));
    x11::fillPixels(cairo, area.left, area.top, area.right, area.bottom);
}

void CDrawContext::drawString(const char* text, const CRect& rect, bool opaque, int32_t align) {
    if (!text || !deviceContext)
        return;
    cairo_t* cairo = cairoOf(deviceContext);
    const bool bold = isBoldFont(fontId, fontStyle);
    cairo_select_font_face(cairo, fontFace(fontId).face,
                           (fontStyle & kFontStyleItalic) ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    // A character height in pixels, as a negative LOGFONT height asks for.
    cairo_set_font_size(cairo, toDeviceLength(fontSize));
    // The cell's ascent and descent as GDI takes them: the font's design
    // values scaled and rounded, not the hinted ones rounded outward.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_get_font_options(cairo, options);
    cairo_font_options_t* measuring = cairo_font_options_copy(options);
    cairo_font_options_set_hint_metrics(measuring, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cairo, measuring);
    cairo_font_extents_t font;
    cairo_font_extents(cairo, &font);
    // The width the text is aligned by: each character's design advance
    // rounded to whole pixels, as the Windows build measures it.
    const int32_t width = roundedAdvances(cairo, text);
    cairo_set_font_options(cairo, options);
    cairo_font_options_destroy(measuring);
    cairo_font_options_destroy(options);
    const int32_t ascent = int32_t(std::lround(font.ascent));
    const int32_t height = ascent + int32_t(std::lround(font.descent));

    // DrawText's single centred line: DT_VCENTER, then DT_CENTER, DT_RIGHT,
    // or one pixel in from the left.
    const CRect area = toDevice(rect);
    const int32_t left = area.left;
    const int32_t top = area.top;
    const int32_t right = area.right;
    const int32_t bottom = area.bottom;
    int32_t x = toDevice(CPoint(rect.left + 1, rect.top)).x;
    if (align == kAlignCenter)
        x = left + (right - left - width) / 2;
    else if (align == kAlignRight)
        x = right - width;
    const int32_t y = top + (bottom - top - height) / 2;

    cairo_save(cairo);
    // Clipped to its rectangle, as DrawText without DT_NOCLIP is.
    cairo_rectangle(cairo, left, top, right - left, bottom - top);
    cairo_clip(cairo);
    if (opaque) {
        setSource(cairo, fillColor);
        x11::fillPixels(cairo, x, y, x + width, y + height);
    }
    setSource(cairo, fontColor);
    cairo_move_to(cairo, x, y + ascent);
    cairo_show_text(cairo, text);
    if (fontStyle & kFontStyleUnderline) {
        const int32_t gap = toDeviceLength(1);
        x11::fillPixels(cairo, x, y + ascent + gap, x + width, y + ascent + 2 * gap);
    }
    cairo_restore(cairo);
    cairo_new_path(cairo);
}

void CDrawContext::copyTo(CDrawContext* dest, const CRect& rect, const CPoint& destPoint) const {
    if (!dest || !dest->deviceContext || !deviceContext)
        return;
    cairo_t* target = cairoOf(dest->deviceContext);
    cairo_surface_t* source = cairo_get_target(cairoOf(deviceContext));
    cairo_surface_flush(source);
    const CRect from = toDevice(rect);
    const CPoint to = dest->unitsToDevice(destPoint);
    cairo_set_source_surface(target, source, to.x - from.left, to.y - from.top);
    x11::fillPixels(target, to.x, to.y, to.x + from.width(), to.y + from.height());
}

}  // namespace VSTGUI
