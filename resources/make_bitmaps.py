#!/usr/bin/python3
"""Draws the five bitmaps of the Quavix editor and writes them as PNG files.

Run it from anywhere with Debian's Python (Pillow comes from python3-pil, the
fonts from fonts-liberation):

    /usr/bin/python3 resources/make_bitmaps.py

It rewrites slider_handle.png, background.png, slider_track.png, digits.png
and rocker.png next to itself, and each of them again at twice and three
times the size for HiDPI screens (slider_handle@2x.png, slider_handle@3x.png
and so on). The larger sets are drawn at their own size, not enlarged: every
coordinate, line, radius, blur and font size is multiplied by the scale, so
a hard-edged pixel of the 1x picture becomes a whole block of device pixels
while text and curves get the full resolution. Nothing is random, so every
run gives the same bytes. Each file is read back and checked (header, pixels
and the properties the editor relies on) before the script reports success.

The files are compressed, as the plug-in carries them: it decodes a picture
when an editor first draws it. Pictures of few colours are stored with a
palette of their sorted colours (at most 16 or 256 of them, as the depth
column says), so that the same picture always gives the same bytes.
"""

import os
import re
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
FONT_DIR = "/usr/share/fonts/truetype/liberation"
SANS = os.path.join(FONT_DIR, "LiberationSans-Regular.ttf")
SANS_BOLD = os.path.join(FONT_DIR, "LiberationSans-Bold.ttf")
SANS_BOLD_ITALIC = os.path.join(FONT_DIR, "LiberationSans-BoldItalic.ttf")

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)


def panel_layout():
    """The panel layout as the editor builds it: the constants of the last
    block of quavix/QuavixConfig.h, the one place the panel is defined."""
    path = os.path.join(HERE, "..", "quavix", "QuavixConfig.h")
    try:
        with open(path, encoding="utf-8") as source:
            text = source.read()
    except OSError as error:
        sys.exit("make_bitmaps: cannot read the panel layout: %s" % error)
    start = text.find("namespace quavix::panel")
    if start < 0:
        sys.exit("make_bitmaps: %s has no panel layout (namespace quavix::panel)" % path)
    return {name: int(value) for name, value in
            re.findall(r"constexpr int32_t (k\w+) = (-?\d+);", text[start:])}


def layout(name):
    if name not in PANEL:
        sys.exit("make_bitmaps: the panel layout in quavix/QuavixConfig.h has no %s" % name)
    return PANEL[name]


PANEL = panel_layout()
# Editor geometry the background has to leave free (frame coordinates,
# right and bottom exclusive), from the editor's layout and the bitmaps'
# sizes, as the editor computes it. The editor is as large as the background.
EDITOR_SIZE = (330, 354)
TRACK_SIZE = (16, 160)
HANDLE_SIZE = (14, 12)
ROCKER_SIZE = (52, 54)
DIGITS_SIZE = (22, 213)
ROCKER_STATE_HEIGHT = ROCKER_SIZE[1] // layout("kRockerStates")
SLIDER_TOP = layout("kSliderTop")


def slider_left(n):
    return layout("kSliderLeft") + n * (TRACK_SIZE[0] + layout("kSliderGap"))


SLIDER_RECTS = [(slider_left(n), SLIDER_TOP, slider_left(n) + TRACK_SIZE[0], SLIDER_TOP + TRACK_SIZE[1])
                for n in range(3)]
READOUT_RECTS = [(slider_left(n) - layout("kReadoutInset"), layout("kReadoutTop"),
                  slider_left(n) - layout("kReadoutInset") + layout("kReadoutWidth"), layout("kReadoutBottom"))
                 for n in range(3)]
ROCKER_LEFT = layout("kRockerLeftTracks") * TRACK_SIZE[0] + layout("kRockerLeftMargin")
ROCKER_RECT = (ROCKER_LEFT, layout("kRockerTop"),
               ROCKER_LEFT + ROCKER_SIZE[0], layout("kRockerTop") + ROCKER_STATE_HEIGHT)
CONTROLLER_READOUT_DROP = layout("kControllerReadoutDrop")
CONTROLLER_READOUT_RECT = (ROCKER_RECT[0], ROCKER_RECT[1] + CONTROLLER_READOUT_DROP,
                           ROCKER_RECT[2], ROCKER_RECT[3] + CONTROLLER_READOUT_DROP)
# Handle travel: value 1 puts the handle's top at the slider top, value 0
# this many rows lower (where the editor's handleMaxPos puts it); its
# visible middle row is 6 rows below its top.
HANDLE_TRAVEL = TRACK_SIZE[1] - 1 - HANDLE_SIZE[1]
HANDLE_MIDDLE_ROW = 6

PANEL_COLOR = (159, 98, 114)
PANEL_BOX = (4, 2, 312, 336)          # right and bottom inclusive
PANEL_RADIUS = 14
SHADOW_OFFSET = (5, 5)
SHADOW_BLUR = 3.0
SHADOW_COLOR = (96, 92, 94)
PANEL_LIGHT_EDGE = (196, 146, 159)
PANEL_DARK_EDGE = (118, 68, 82)
RECESS_DARK = (112, 64, 78)           # top and left of a recessed opening
RECESS_LIGHT = (186, 132, 146)        # bottom and right of it
TICK_COLOR = (214, 178, 188)
CONTROLLER_CAPTION_BOX = (230, 93, 302, 131)
BLACK_PANEL_BOX = (227, 145, 301, 244)
BLACK_PANEL_RADIUS = 8
BLACK_PANEL_RIM = (58, 46, 50)

# Supersampling factor for anti-aliased shapes.
SS = 4

# The sizes each picture is drawn at: 1x for ordinary screens, 2x and 3x for
# editors drawn at those scale factors. Everything above is in 1x pixels.
SCALES = (1, 2, 3)
# How far a larger picture, shrunk to 1x, may stray from the 1x picture
# away from its text (in any channel, of 255): no pixel further than
# SHAPE_TOLERANCE, and no more than SHAPE_NOISY_PIXELS further than SHAPE_NOISE.
SHAPE_TOLERANCE = 40
SHAPE_NOISE = 4
SHAPE_NOISY_PIXELS = 100


# ---------------------------------------------------------------- PNG files

def palette_of(image, bpp):
    """The image with its sorted unique colours as a palette of at most
    1 << bpp entries; fails if they do not fit."""
    colours = sorted(set(image.getdata()))
    if len(colours) > (1 << bpp):
        raise SystemExit("%d colours do not fit %d bits per pixel" % (len(colours), bpp))
    index = {c: i for i, c in enumerate(colours)}
    indexed = Image.new("P", image.size)
    indexed.putpalette([channel for colour in colours for channel in colour])
    indexed.putdata([index[c] for c in image.getdata()])
    return indexed


def write_png(name, image, bpp):
    """Writes the file, then proves it holds exactly the picture."""
    path = os.path.join(HERE, name)
    stored = image if bpp == 24 else palette_of(image, bpp)
    stored.save(path, "PNG", optimize=True)
    with Image.open(path) as back:
        expect(back.size == image.size, "%s is %dx%d" % (name, back.width, back.height))
        expect(list(back.convert("RGB").getdata()) == list(image.getdata()),
               "%s pixels differ after reading back" % name)
    print("%-21s %4d x %4d  %2d bpp  %7d bytes" % (name, image.width, image.height, bpp,
                                                   os.path.getsize(path)))


def expect(condition, message):
    if not condition:
        raise SystemExit("make_bitmaps: " + message)


# ---------------------------------------------------------------- helpers

def font(path, size):
    return ImageFont.truetype(path, size)


def scaled_size(size, scale):
    return (size[0] * scale, size[1] * scale)


def scaled_rect(rect, scale):
    """A rectangle with exclusive right and bottom, in device pixels."""
    return tuple(v * scale for v in rect)


def fill_px(draw, box, colour, factor):
    """Fills whole 1x pixels (inclusive box) on a canvas factor times larger.

    Every hard edge goes through here, so that at any scale a 1x pixel turns
    into a solid block and never into a thin line or a smear.
    """
    left, top, right, bottom = box
    draw.rectangle((left * factor, top * factor, (right + 1) * factor - 1, (bottom + 1) * factor - 1),
                   fill=colour)


def rounded_mask(size, box, radius, scale):
    """Anti-aliased coverage mask ("L") of a rounded rectangle.

    size is in device pixels; box (inclusive) and radius are in 1x pixels.
    """
    factor = scale * SS
    big = Image.new("L", (size[0] * SS, size[1] * SS), 0)
    left, top, right, bottom = box
    ImageDraw.Draw(big).rounded_rectangle(
        (left * factor, top * factor, (right + 1) * factor - 1, (bottom + 1) * factor - 1),
        radius=radius * factor, fill=255)
    return big.resize(size, Image.BOX)


def shifted(mask, dx, dy):
    return ImageChops.offset(mask, dx, dy)


def paint(image, colour, mask):
    image.paste(Image.new("RGB", image.size, colour), (0, 0), mask)


# Where each text drawn since the list was last cleared put its ink, so that
# the checks can hold the text of each larger picture against the 1x one.
TEXT_BOXES = []


def draw_tracked(draw, origin, text, face, fill, tracking):
    """Text from a left baseline origin with extra space between letters."""
    x, y = origin
    for ch in text:
        draw.text((x, y), ch, font=face, fill=fill, anchor="ls")
        TEXT_BOXES.append(draw.textbbox((x, y), ch, font=face, anchor="ls"))
        x += draw.textlength(ch, font=face) + tracking


def centred_text(draw, centre_x, baseline, text, face, fill):
    draw.text((centre_x, baseline), text, font=face, fill=fill, anchor="ms")
    TEXT_BOXES.append(draw.textbbox((centre_x, baseline), text, font=face, anchor="ms"))


def rect_pixels(image, rect):
    left, top, right, bottom = rect
    return [image.getpixel((x, y)) for y in range(top, bottom) for x in range(left, right)]


def recess(draw, rect, scale):
    """One-pixel frame around an opening so it reads as cut into the panel."""
    left, top, right, bottom = rect
    fill_px(draw, (left - 1, top - 1, right, top - 1), RECESS_DARK, scale)
    fill_px(draw, (left - 1, top - 1, left - 1, bottom), RECESS_DARK, scale)
    fill_px(draw, (left, bottom, right, bottom), RECESS_LIGHT, scale)
    fill_px(draw, (right, top, right, bottom), RECESS_LIGHT, scale)


# ---------------------------------------------------------------- background

def background(scale):
    size = scaled_size(EDITOR_SIZE, scale)
    image = Image.new("RGB", size, WHITE)

    panel = rounded_mask(size, PANEL_BOX, PANEL_RADIUS, scale)
    shadow = shifted(panel, SHADOW_OFFSET[0] * scale, SHADOW_OFFSET[1] * scale).filter(
        ImageFilter.GaussianBlur(SHADOW_BLUR * scale))
    paint(image, SHADOW_COLOR, shadow.point(lambda v: v * 3 // 4))
    paint(image, PANEL_COLOR, panel)
    # Light from the top left: a bright rim on that side, a dark one opposite,
    # each one 1x pixel wide.
    paint(image, PANEL_LIGHT_EDGE, ImageChops.subtract(panel, shifted(panel, scale, scale)))
    paint(image, PANEL_DARK_EDGE, ImageChops.subtract(panel, shifted(panel, -scale, -scale)))

    draw = ImageDraw.Draw(image)
    draw_title(draw, scale)
    draw_slider_furniture(draw, scale)
    draw_captions(draw, scale)
    draw_controller_section(image, draw, scale)
    check_background(image, scale)
    return image


def draw_title(draw, scale):
    # Capitals from about row 16 down to the baseline, starting at the left
    # edge of the first read-out.
    draw_tracked(draw, (46 * scale, 33 * scale), "Quavix", font(SANS_BOLD_ITALIC, 24 * scale), WHITE,
                 3 * scale)


def tick_rows():
    """Rows of the handle's middle line at values 1, 0.9, ... 0."""
    return [SLIDER_TOP + (HANDLE_TRAVEL * i) // 10 + HANDLE_MIDDLE_ROW for i in range(11)]


TICK_LENGTHS = (5, 3)                 # every fifth tick is longer


def draw_slider_furniture(draw, scale):
    for rect in SLIDER_RECTS:
        left, _, right, _ = rect
        recess(draw, rect, scale)
        for i, row in enumerate(tick_rows()):
            length = TICK_LENGTHS[0] if i % 5 == 0 else TICK_LENGTHS[1]
            fill_px(draw, (left - 3 - length, row, left - 4, row), TICK_COLOR, scale)
            fill_px(draw, (right + 3, row, right + 2 + length, row), TICK_COLOR, scale)
    for rect in READOUT_RECTS:
        recess(draw, rect, scale)


def draw_captions(draw, scale):
    face = font(SANS_BOLD, 14 * scale)
    for rect, text in zip(READOUT_RECTS, ("Freq", "Gain", "Peak")):
        # Capitals on rows 284 to 293, centred under the read-out above.
        centred_text(draw, (rect[0] + rect[2]) * scale / 2, 294 * scale, text, face, WHITE)


def draw_controller_section(image, draw, scale):
    face = font(SANS, 12 * scale)
    caption_centre = (CONTROLLER_CAPTION_BOX[0] + CONTROLLER_CAPTION_BOX[2]) * scale / 2
    for baseline, line in zip((103, 116, 129), ("midi controller", "number for", "frequency")):
        centred_text(draw, caption_centre, baseline * scale, line, face, BLACK)

    box = BLACK_PANEL_BOX
    inclusive = (box[0], box[1], box[2] - 1, box[3] - 1)
    outer = rounded_mask(image.size, inclusive, BLACK_PANEL_RADIUS, scale)
    inner = rounded_mask(image.size, (box[0] + 1, box[1] + 1, box[2] - 2, box[3] - 2),
                         BLACK_PANEL_RADIUS - 1, scale)
    paint(image, BLACK_PANEL_RIM, outer)
    paint(image, BLACK, inner)

    # Small hints of which way the rocker counts, and what the read-out shows.
    hint = font(SANS_BOLD, 9 * scale)
    grey = (150, 150, 150)
    left, top, right, bottom = ROCKER_RECT
    centre = (left + right) / 2
    centred_text(draw, (left + ROCKER_SIZE[0] / 4) * scale, (top - 5) * scale, "down", hint, grey)
    centred_text(draw, (right - ROCKER_SIZE[0] / 4) * scale, (top - 5) * scale, "up", hint, grey)
    centred_text(draw, centre * scale, (CONTROLLER_READOUT_RECT[1] - 6) * scale, "CC", hint, grey)


def check_background(image, scale):
    for rect in SLIDER_RECTS + READOUT_RECTS:
        expect(set(rect_pixels(image, scaled_rect(rect, scale))) == {PANEL_COLOR},
               "background under control %s is not plain panel colour at %dx" % (rect, scale))
    for rect in (ROCKER_RECT, CONTROLLER_READOUT_RECT):
        expect(set(rect_pixels(image, scaled_rect(rect, scale))) == {BLACK},
               "background under control %s is not plain black at %dx" % (rect, scale))
    right, bottom = image.width - 1, image.height - 1
    for corner in ((0, 0), (right, 0), (0, bottom), (right, bottom)):
        expect(image.getpixel(corner) == WHITE, "corner %s is not white at %dx" % (corner, scale))


def background_hard_parts():
    """The parts of the background drawn with hard edges only (1x mask): each
    slider with its frame and ticks, each read-out with its frame, and the
    black under the rocker and its read-out."""
    reach = 3 + max(TICK_LENGTHS)
    mask = Image.new("L", EDITOR_SIZE, 0)
    draw = ImageDraw.Draw(mask)
    rects = ([(left - reach, top - 1, right + reach, bottom + 1)
              for left, top, right, bottom in SLIDER_RECTS] +
             [(left - 1, top - 1, right + 1, bottom + 1) for left, top, right, bottom in READOUT_RECTS] +
             [ROCKER_RECT, CONTROLLER_READOUT_RECT])
    for left, top, right, bottom in rects:
        draw.rectangle((left, top, right - 1, bottom - 1), fill=255)
    return mask


# ---------------------------------------------------------------- slider parts

def slider_track(scale):
    width, height = TRACK_SIZE
    image = Image.new("RGB", scaled_size(TRACK_SIZE, scale), (46, 40, 44))
    draw = ImageDraw.Draw(image)
    # A dark bar, lit from the top left like the panel.
    fill_px(draw, (0, 0, width - 1, 0), (24, 20, 22), scale)
    fill_px(draw, (0, 0, 0, height - 1), (24, 20, 22), scale)
    fill_px(draw, (1, height - 1, width - 1, height - 1), (84, 76, 80), scale)
    fill_px(draw, (width - 1, 1, width - 1, height - 1), (84, 76, 80), scale)
    # The groove: a shadowed slot with a light line along its floor.
    top, bottom = 4, height - 5
    centre = width // 2
    fill_px(draw, (centre - 2, top, centre + 1, bottom), (16, 13, 15), scale)
    fill_px(draw, (centre - 1, top + 1, centre - 1, bottom - 1), (176, 170, 172), scale)
    fill_px(draw, (centre, top + 1, centre, bottom - 1), (132, 126, 128), scale)
    expect(WHITE not in set(image.getdata()), "slider track has a pure white pixel at %dx" % scale)
    return image


def slider_handle(scale):
    width, height = HANDLE_SIZE
    body, light, dark = (128, 128, 132), (200, 200, 204), (64, 64, 68)
    image = Image.new("RGB", scaled_size(HANDLE_SIZE, scale), body)
    draw = ImageDraw.Draw(image)
    # Row 0 stays white: the slider draws the handle with white see-through.
    fill_px(draw, (0, 0, width - 1, 0), WHITE, scale)
    bottom = height - 1
    fill_px(draw, (0, 1, width - 1, 1), light, scale)
    fill_px(draw, (0, 1, 0, bottom), light, scale)
    fill_px(draw, (1, bottom, width - 1, bottom), (40, 40, 44), scale)
    fill_px(draw, (width - 1, 2, width - 1, bottom), (40, 40, 44), scale)
    # Grip lines, each a light ridge with a shadow under it; the middle one,
    # which lines up with the tick marks, runs full width.
    for row, inset in ((3, 3), (HANDLE_MIDDLE_ROW, 1), (9, 3)):
        fill_px(draw, (inset, row, width - 1 - inset, row), light, scale)
        fill_px(draw, (inset, row + 1, width - 1 - inset, row + 1), dark, scale)
    pixels = list(image.getdata())
    see_through = image.width * scale          # the top 1x row, scale device rows
    expect(pixels[:see_through] == [WHITE] * see_through,
           "slider handle's top row is not white at %dx" % scale)
    expect(WHITE not in pixels[see_through:], "slider handle has white below its top row at %dx" % scale)
    return image


# ---------------------------------------------------------------- digits

DIGIT_CELL = DIGITS_SIZE[1] // 10     # 21 rows each; the three rows left over stay black


def digits(scale):
    width, height = scaled_size(DIGITS_SIZE, scale)
    cell = DIGIT_CELL * scale
    image = Image.new("RGB", (width, height), BLACK)
    draw = ImageDraw.Draw(image)
    face = font(SANS_BOLD, 19 * scale)
    # Centred in the cell by the ink of this size, which is not quite scale
    # times the ink of the 1x face: hinting moves each size's outlines a little.
    ink_top, ink_bottom = face.getbbox("0", anchor="ls")[1::2]
    baseline = (cell - (ink_bottom - ink_top)) // 2 - ink_top
    for digit in range(10):
        centred_text(draw, width / 2, digit * cell + baseline, str(digit), face, WHITE)
    for digit in range(10):
        cell_pixels = rect_pixels(image, (0, digit * cell, width, (digit + 1) * cell))
        expect(WHITE in cell_pixels, "digit %d has no white ink in its cell at %dx" % (digit, scale))
        left, top, right, bottom = draw.textbbox((width / 2, digit * cell + baseline), str(digit), font=face,
                                                 anchor="ms")
        expect(0 <= left and right <= width and digit * cell <= top and bottom <= (digit + 1) * cell,
               "digit %d spills out of its cell at %dx" % (digit, scale))
    expect(set(rect_pixels(image, (0, 10 * cell, width, height))) == {BLACK},
           "digits have ink below the last cell at %dx" % scale)
    return image


# ---------------------------------------------------------------- rocker

ROCKER_BEZEL = (84, 84, 88)
ROCKER_FACE = (178, 178, 184)
ROCKER_FACE_PRESSED = (128, 128, 134)
ROCKER_HIGHLIGHT = (226, 226, 230)
ROCKER_SHADOW = (98, 98, 104)
ROCKER_SHADOW_PRESSED = (66, 66, 72)
ROCKER_RIM_PRESSED = (150, 150, 156)
ROCKER_DIVIDER = (44, 44, 48)
ROCKER_INK = (34, 34, 38)
# Stacked in the order the switch looks them up: left pressed, rest, right pressed.
ROCKER_STATES = ((True, False), (False, False), (False, True))
ARROW_WIDTH, ARROW_HEIGHT = 5, 10


def rocker_halves():
    """Each half's inclusive box in 1x pixels of one state, with its direction."""
    width, height = ROCKER_SIZE[0], ROCKER_STATE_HEIGHT
    half = width // 2
    return (((1, 1, half - 2, height - 2), -1), ((half + 1, 1, width - 2, height - 2), +1))


def rocker_symbols(box, pressed, pointing):
    """Where a half's arrow and sign go: (arrow_x, sign_x, mid_y) in 1x pixels.

    Layout across the half: arrow, gap, sign (left half) or sign, gap, arrow
    (right half). The symbols sink with the half that is pressed; mid_y is a
    row boundary.
    """
    left, top, right, bottom = box
    gap, sign = 3, 6
    span = ARROW_WIDTH + gap + sign
    sink = 1 if pressed else 0
    x0 = (left + right + 1 - span) // 2 + sink
    mid_y = (top + bottom + 1) // 2 + sink
    if pointing < 0:
        return x0, x0 + ARROW_WIDTH + gap, mid_y
    return x0 + sign + gap, x0, mid_y


def rocker_half(draw, box, pressed, pointing, factor):
    """One half of the switch on a canvas factor times the 1x size; box is
    inclusive, in 1x pixels.

    Everything sits on whole 1x pixels except the arrow's slanted edges, so the
    bevels stay crisp and only the arrow is smoothed.
    """
    left, top, right, bottom = box
    face = ROCKER_FACE_PRESSED if pressed else ROCKER_FACE
    upper = ROCKER_SHADOW_PRESSED if pressed else ROCKER_HIGHLIGHT
    lower = ROCKER_RIM_PRESSED if pressed else ROCKER_SHADOW
    fill_px(draw, (left, top, right, bottom), lower, factor)
    fill_px(draw, (left, top, right - 1, bottom - 1), upper, factor)
    fill_px(draw, (left + 1, top + 1, right - 1, bottom - 1), face, factor)
    sign, stroke = 6, 2
    arrow_x, sign_x, mid_y = rocker_symbols(box, pressed, pointing)
    # Polygon edges are inclusive, so the far sides end one sub-pixel early
    # to keep the arrow from bleeding into the next pixel.
    near, far = arrow_x * factor, (arrow_x + ARROW_WIDTH) * factor - 1
    tip, base = (near, far) if pointing < 0 else (far, near)
    upper_y = (mid_y - ARROW_HEIGHT // 2) * factor
    lower_y = (mid_y + ARROW_HEIGHT // 2) * factor - 1
    draw.polygon([(tip, mid_y * factor - 0.5), (base, upper_y), (base, lower_y)],
                 fill=ROCKER_INK)
    half_stroke, half_sign = stroke // 2, sign // 2
    fill_px(draw, (sign_x, mid_y - half_stroke, sign_x + sign - 1, mid_y + half_stroke - 1),
            ROCKER_INK, factor)
    if pointing > 0:
        centre = sign_x + half_sign
        fill_px(draw, (centre - half_stroke, mid_y - half_sign, centre + half_stroke - 1,
                       mid_y + half_sign - 1), ROCKER_INK, factor)


def rocker_state(left_pressed, right_pressed, scale):
    width, height = ROCKER_SIZE[0], ROCKER_STATE_HEIGHT
    factor = scale * SS
    big = Image.new("RGB", (width * factor, height * factor), ROCKER_BEZEL)
    draw = ImageDraw.Draw(big)
    half = width // 2
    for (box, pointing), pressed in zip(rocker_halves(), (left_pressed, right_pressed)):
        rocker_half(draw, box, pressed, pointing, factor)
    fill_px(draw, (half - 1, 1, half, height - 2), ROCKER_DIVIDER, factor)
    return big.resize((width * scale, height * scale), Image.BOX)


def rocker(scale):
    image = Image.new("RGB", scaled_size(ROCKER_SIZE, scale), BLACK)
    for i, (left, right) in enumerate(ROCKER_STATES):
        image.paste(rocker_state(left, right, scale), (0, i * ROCKER_STATE_HEIGHT * scale))
    expect(WHITE not in set(image.getdata()), "rocker has a pure white pixel at %dx" % scale)
    return image


def rocker_hard_parts():
    """All of the rocker but its anti-aliased arrows (1x mask)."""
    mask = Image.new("L", ROCKER_SIZE, 255)
    draw = ImageDraw.Draw(mask)
    for state, presses in enumerate(ROCKER_STATES):
        for (box, pointing), pressed in zip(rocker_halves(), presses):
            arrow_x, _, mid_y = rocker_symbols(box, pressed, pointing)
            top = state * ROCKER_STATE_HEIGHT + mid_y - ARROW_HEIGHT // 2
            draw.rectangle((arrow_x, top, arrow_x + ARROW_WIDTH - 1, top + ARROW_HEIGHT - 1), fill=0)
    return mask


def all_hard(size):
    return lambda: Image.new("L", size, 255)


def none_hard(size):
    return lambda: Image.new("L", size, 0)


# ---------------------------------------------------------------- larger sizes

def check_blocks(name, image, base, scale, hard):
    """Where the 1x picture has hard edges only (hard, a 1x mask), the picture
    at scale is the 1x one with every pixel a scale-by-scale block."""
    size = image.size
    enlarged = base.resize(size, Image.NEAREST)
    where = hard.resize(size, Image.NEAREST)
    for band in ImageChops.difference(image, enlarged).split():
        outside = ImageChops.darker(band, where).getbbox()
        expect(outside is None, "%s at %dx is not made of whole 1x pixels in %s (device pixels)" %
               (name, scale, outside))


def check_text(name, boxes, base_boxes, scale):
    """Each text of the larger picture sits where the 1x one does, scaled.

    Fonts are hinted for each size, so the ink of a larger size is not quite
    scale times the ink of the 1x size: its edges may differ by a 1x pixel
    and a device pixel more. A position or size left unscaled moves them by
    many more.
    """
    expect(len(boxes) == len(base_boxes), "%s at %dx has %d texts, at 1x %d" %
           (name, scale, len(boxes), len(base_boxes)))
    for box, base_box in zip(boxes, base_boxes):
        expect(all(abs(edge - base_edge * scale) <= scale + 1 for edge, base_edge in zip(box, base_box)),
               "%s at %dx has text at %s, at 1x at %s" % (name, scale, box, base_box))


def check_shapes(name, image, base, scale, boxes, base_boxes):
    """Away from the text, the larger picture shrunk back to 1x is the 1x
    picture: the same shapes, smoothed at a finer grid, the same shadow.

    The smoothing is not quite the same at every grid: a few dozen pixels,
    most on the rim lights of the round corners, stray by up to about 30 of
    255 in a channel. A shape or shadow drawn at the wrong size or place
    strays further, or over thousands of pixels.
    """
    away = Image.new("L", base.size, 255)
    draw = ImageDraw.Draw(away)
    # Ink may smear a pixel beyond its box, and one more in the shrinking.
    for left, top, right, bottom in base_boxes + [tuple(edge / scale for edge in box) for box in boxes]:
        draw.rectangle((int(left) - 2, int(top) - 2, int(right) + 2, int(bottom) + 2), fill=0)
    difference = ImageChops.difference(image.resize(base.size, Image.BOX), base)
    for band in difference.split():
        counts = ImageChops.darker(band, away).histogram()
        worst = max(value for value, count in enumerate(counts) if count)
        noisy = sum(counts[SHAPE_NOISE + 1:])
        expect(worst <= SHAPE_TOLERANCE and noisy <= SHAPE_NOISY_PIXELS,
               "%s at %dx shrunk to 1x differs from the 1x picture by up to %d, in %d pixels by more than %d"
               % (name, scale, worst, noisy, SHAPE_NOISE))


# ---------------------------------------------------------------- main

# Each picture with its drawing, its 1x size, the colour depth of its files,
# and where it has hard edges only.
PICTURES = (
    ("slider_handle", slider_handle, HANDLE_SIZE, 4, all_hard(HANDLE_SIZE)),
    ("background", background, EDITOR_SIZE, 24, background_hard_parts),
    ("slider_track", slider_track, TRACK_SIZE, 4, all_hard(TRACK_SIZE)),
    ("digits", digits, DIGITS_SIZE, 24, none_hard(DIGITS_SIZE)),
    ("rocker", rocker, ROCKER_SIZE, 8, rocker_hard_parts),
)


def file_name(name, scale):
    return "%s.png" % name if scale == 1 else "%s@%dx.png" % (name, scale)


def main():
    at_1x = {}
    text_at_1x = {}
    for scale in SCALES:
        for name, draw, size, bpp, hard_parts in PICTURES:
            TEXT_BOXES.clear()
            image = draw(scale)
            boxes = list(TEXT_BOXES)
            expect(image.size == scaled_size(size, scale),
                   "%s at %dx is %dx%d" % (name, scale, image.width, image.height))
            if scale == 1:
                at_1x[name], text_at_1x[name] = image, boxes
            else:
                check_blocks(name, image, at_1x[name], scale, hard_parts())
                check_text(name, boxes, text_at_1x[name], scale)
                check_shapes(name, image, at_1x[name], scale, boxes, text_at_1x[name])
            write_png(file_name(name, scale), image, bpp)
    return 0


if __name__ == "__main__":
    sys.exit(main())
