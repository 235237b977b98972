#!/usr/bin/python3
"""Draws the five bitmaps of the Quavix editor and writes them as BMP files.

Run it from anywhere with Debian's Python (Pillow comes from python3-pil, the
fonts from fonts-liberation):

    /usr/bin/python3 resources/make_bitmaps.py

It rewrites slider_handle.bmp, background.bmp, slider_track.bmp, digits.bmp
and rocker.bmp next to itself. Nothing is random, so every run gives the same
bytes. Each file is read back and checked (header, pixels and the properties
the editor relies on) before the script reports success.

The BMP bytes are written here rather than by Pillow: the module needs exact
colour depths (4, 8 and 24 bits per pixel) with the classic 40-byte header,
and Pillow cannot write 4-bit files or choose the palette order.
"""

import os
import struct
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
FONT_DIR = "/usr/share/fonts/truetype/liberation"
SANS = os.path.join(FONT_DIR, "LiberationSans-Regular.ttf")
SANS_BOLD = os.path.join(FONT_DIR, "LiberationSans-Bold.ttf")
SANS_BOLD_ITALIC = os.path.join(FONT_DIR, "LiberationSans-BoldItalic.ttf")

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)

# Editor geometry the background has to leave free (frame coordinates,
# right and bottom exclusive), matching the editor's layout.
EDITOR_SIZE = (330, 354)
TRACK_SIZE = (16, 160)
HANDLE_SIZE = (14, 12)
ROCKER_SIZE = (52, 54)
DIGITS_SIZE = (22, 213)
ROCKER_STATE_HEIGHT = ROCKER_SIZE[1] // 3
SLIDER_RECTS = [(50 + n * (TRACK_SIZE[0] + 55), 85,
                 50 + n * (TRACK_SIZE[0] + 55) + TRACK_SIZE[0], 85 + TRACK_SIZE[1])
                for n in range(3)]
READOUT_RECTS = [(45 + n * (TRACK_SIZE[0] + 55), 260,
                  45 + n * (TRACK_SIZE[0] + 55) + 30, 274) for n in range(3)]
ROCKER_RECT = (11 * TRACK_SIZE[0] + 65, 164,
               11 * TRACK_SIZE[0] + 65 + ROCKER_SIZE[0], 164 + ROCKER_STATE_HEIGHT)
CONTROLLER_READOUT_RECT = (ROCKER_RECT[0], ROCKER_RECT[1] + 40,
                           ROCKER_RECT[2], ROCKER_RECT[3] + 40)
# Handle travel: value 1 puts the handle's top at the slider top, value 0
# 147 rows lower; its visible middle row is 6 rows below its top.
HANDLE_TRAVEL = 147
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


# ---------------------------------------------------------------- BMP files

def _row_bytes(width, bpp):
    return ((width * bpp + 31) // 32) * 4


def _pack_row(indices, bpp):
    if bpp == 8:
        return bytes(indices)
    if bpp == 4:
        padded = list(indices) + [0] * (len(indices) % 2)
        return bytes((padded[i] << 4) | padded[i + 1] for i in range(0, len(padded), 2))
    raise ValueError("unsupported depth %d" % bpp)


def _palette_of(image, bpp):
    """Sorted unique colours of an RGB image; fails if they do not fit."""
    colours = sorted(set(image.getdata()))
    if len(colours) > (1 << bpp):
        raise SystemExit("%d colours do not fit %d bits per pixel" % (len(colours), bpp))
    return colours


def encode_bmp(image, bpp):
    """Bytes of a bottom-up, uncompressed BMP with a BITMAPINFOHEADER."""
    width, height = image.size
    stride = _row_bytes(width, bpp)
    pixels = list(image.getdata())
    rows = [pixels[y * width:(y + 1) * width] for y in range(height)]
    if bpp == 24:
        palette = []
        packed = [b"".join(bytes((b, g, r)) for (r, g, b) in row) for row in rows]
    else:
        palette = _palette_of(image, bpp)
        index = {c: i for i, c in enumerate(palette)}
        palette += [BLACK] * ((1 << bpp) - len(palette))
        packed = [_pack_row([index[c] for c in row], bpp) for row in rows]
    data = b"".join(row.ljust(stride, b"\0") for row in reversed(packed))
    table = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    offset = 14 + 40 + len(table)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info_header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bpp, 0,
                              len(data), 2835, 2835, len(palette), 0)
    return file_header + info_header + table + data


def decode_bmp(blob):
    """Reads back what encode_bmp writes; returns (width, height, bpp, pixels)."""
    magic, size, _, _, offset = struct.unpack_from("<2sIHHI", blob, 0)
    (header_size, width, height, planes, bpp, compression, image_size,
     _, _, used, _) = struct.unpack_from("<IiiHHIIiiII", blob, 14)
    if magic != b"BM" or size != len(blob) or header_size != 40:
        raise ValueError("not a classic BMP file")
    if planes != 1 or compression != 0 or height <= 0:
        raise ValueError("not an uncompressed bottom-up BMP")
    palette = []
    if bpp <= 8:
        count = used or (1 << bpp)
        for i in range(count):
            b, g, r, _ = blob[54 + 4 * i:58 + 4 * i]
            palette.append((r, g, b))
    stride = _row_bytes(width, bpp)
    if offset + stride * height != len(blob) or image_size != stride * height:
        raise ValueError("pixel data size does not match the header")
    pixels = []
    for y in range(height):
        row = blob[offset + (height - 1 - y) * stride:offset + (height - y) * stride]
        for x in range(width):
            if bpp == 24:
                b, g, r = row[3 * x:3 * x + 3]
                pixels.append((r, g, b))
            elif bpp == 8:
                pixels.append(palette[row[x]])
            else:
                byte = row[x // 2]
                pixels.append(palette[byte >> 4 if x % 2 == 0 else byte & 15])
    return width, height, bpp, pixels


def write_bmp(name, image, bpp):
    """Writes the file, then proves it holds exactly the picture and depth."""
    path = os.path.join(HERE, name)
    blob = encode_bmp(image, bpp)
    with open(path, "wb") as out:
        out.write(blob)
    with open(path, "rb") as back:
        width, height, depth, pixels = decode_bmp(back.read())
    expect((width, height, depth) == (image.width, image.height, bpp),
           "%s header says %dx%d at %d bpp" % (name, width, height, depth))
    expect(pixels == list(image.getdata()), "%s pixels differ after reading back" % name)
    with Image.open(path) as other:   # a second, independent reader
        expect(list(other.convert("RGB").getdata()) == pixels,
               "%s reads differently in Pillow" % name)
    print("%-18s %3d x %3d  %2d bpp  %6d bytes" % (name, width, height, depth, len(blob)))


def expect(condition, message):
    if not condition:
        raise SystemExit("make_bitmaps: " + message)


# ---------------------------------------------------------------- helpers

def font(path, size):
    return ImageFont.truetype(path, size)


def rounded_mask(size, box, radius):
    """Anti-aliased coverage mask ("L") of a rounded rectangle, box inclusive."""
    big = Image.new("L", (size[0] * SS, size[1] * SS), 0)
    left, top, right, bottom = box
    ImageDraw.Draw(big).rounded_rectangle(
        (left * SS, top * SS, (right + 1) * SS - 1, (bottom + 1) * SS - 1),
        radius=radius * SS, fill=255)
    return big.resize(size, Image.BOX)


def shifted(mask, dx, dy):
    return ImageChops.offset(mask, dx, dy)


def paint(image, colour, mask):
    image.paste(Image.new("RGB", image.size, colour), (0, 0), mask)


def draw_tracked(draw, origin, text, face, fill, tracking):
    """Text from a left baseline origin with extra space between letters."""
    x, y = origin
    for ch in text:
        draw.text((x, y), ch, font=face, fill=fill, anchor="ls")
        x += draw.textlength(ch, font=face) + tracking


def centred_text(draw, centre_x, baseline, text, face, fill):
    draw.text((centre_x, baseline), text, font=face, fill=fill, anchor="ms")


def rect_pixels(image, rect):
    left, top, right, bottom = rect
    return [image.getpixel((x, y)) for y in range(top, bottom) for x in range(left, right)]


def recess(draw, rect):
    """One-pixel frame around an opening so it reads as cut into the panel."""
    left, top, right, bottom = rect
    draw.line((left - 1, top - 1, right, top - 1), fill=RECESS_DARK)
    draw.line((left - 1, top - 1, left - 1, bottom), fill=RECESS_DARK)
    draw.line((left, bottom, right, bottom), fill=RECESS_LIGHT)
    draw.line((right, top, right, bottom), fill=RECESS_LIGHT)


# ---------------------------------------------------------------- background

def background():
    size = EDITOR_SIZE
    image = Image.new("RGB", size, WHITE)

    panel = rounded_mask(size, PANEL_BOX, PANEL_RADIUS)
    shadow = shifted(panel, *SHADOW_OFFSET).filter(ImageFilter.GaussianBlur(SHADOW_BLUR))
    paint(image, SHADOW_COLOR, shadow.point(lambda v: v * 3 // 4))
    paint(image, PANEL_COLOR, panel)
    # Light from the top left: a bright rim on that side, a dark one opposite.
    paint(image, PANEL_LIGHT_EDGE, ImageChops.subtract(panel, shifted(panel, 1, 1)))
    paint(image, PANEL_DARK_EDGE, ImageChops.subtract(panel, shifted(panel, -1, -1)))

    draw = ImageDraw.Draw(image)
    draw_title(draw)
    draw_slider_furniture(draw)
    draw_captions(draw)
    draw_controller_section(image, draw)
    check_background(image)
    return image


def draw_title(draw):
    # Capitals from about row 16 down to the baseline, starting at the left
    # edge of the first read-out.
    draw_tracked(draw, (46, 33), "Quavix", font(SANS_BOLD_ITALIC, 24), WHITE, 3)


def tick_rows():
    """Rows of the handle's middle line at values 1, 0.9, ... 0."""
    return [85 + (HANDLE_TRAVEL * i) // 10 + HANDLE_MIDDLE_ROW for i in range(11)]


def draw_slider_furniture(draw):
    for rect in SLIDER_RECTS:
        left, _, right, _ = rect
        recess(draw, rect)
        for i, row in enumerate(tick_rows()):
            length = 5 if i % 5 == 0 else 3
            draw.line((left - 3 - length, row, left - 4, row), fill=TICK_COLOR)
            draw.line((right + 3, row, right + 2 + length, row), fill=TICK_COLOR)
    for rect in READOUT_RECTS:
        recess(draw, rect)


def draw_captions(draw):
    face = font(SANS_BOLD, 14)
    for rect, text in zip(READOUT_RECTS, ("Freq", "Gain", "Peak")):
        # Capitals on rows 284 to 293, centred under the read-out above.
        centred_text(draw, (rect[0] + rect[2]) / 2, 294, text, face, WHITE)


def draw_controller_section(image, draw):
    face = font(SANS, 12)
    caption_centre = (CONTROLLER_CAPTION_BOX[0] + CONTROLLER_CAPTION_BOX[2]) / 2
    for baseline, line in zip((103, 116, 129), ("midi controller", "number for", "frequency")):
        centred_text(draw, caption_centre, baseline, line, face, BLACK)

    box = BLACK_PANEL_BOX
    inclusive = (box[0], box[1], box[2] - 1, box[3] - 1)
    outer = rounded_mask(image.size, inclusive, BLACK_PANEL_RADIUS)
    inner = rounded_mask(image.size, (box[0] + 1, box[1] + 1, box[2] - 2, box[3] - 2),
                         BLACK_PANEL_RADIUS - 1)
    paint(image, BLACK_PANEL_RIM, outer)
    paint(image, BLACK, inner)

    # Small hints of which way the rocker counts, and what the read-out shows.
    hint = font(SANS_BOLD, 9)
    grey = (150, 150, 150)
    left, top, right, bottom = ROCKER_RECT
    centre = (left + right) / 2
    centred_text(draw, left + ROCKER_SIZE[0] / 4, top - 5, "down", hint, grey)
    centred_text(draw, right - ROCKER_SIZE[0] / 4, top - 5, "up", hint, grey)
    centred_text(draw, centre, CONTROLLER_READOUT_RECT[1] - 6, "CC", hint, grey)


def check_background(image):
    for rect in SLIDER_RECTS + READOUT_RECTS:
        expect(set(rect_pixels(image, rect)) == {PANEL_COLOR},
               "background under control %s is not plain panel colour" % (rect,))
    for rect in (ROCKER_RECT, CONTROLLER_READOUT_RECT):
        expect(set(rect_pixels(image, rect)) == {BLACK},
               "background under control %s is not plain black" % (rect,))
    for corner in ((0, 0), (329, 0), (0, 353), (329, 353)):
        expect(image.getpixel(corner) == WHITE, "corner %s is not white" % (corner,))


# ---------------------------------------------------------------- slider parts

def slider_track():
    width, height = TRACK_SIZE
    image = Image.new("RGB", TRACK_SIZE, (46, 40, 44))
    draw = ImageDraw.Draw(image)
    # A dark bar, lit from the top left like the panel.
    draw.line((0, 0, width - 1, 0), fill=(24, 20, 22))
    draw.line((0, 0, 0, height - 1), fill=(24, 20, 22))
    draw.line((1, height - 1, width - 1, height - 1), fill=(84, 76, 80))
    draw.line((width - 1, 1, width - 1, height - 1), fill=(84, 76, 80))
    # The groove: a shadowed slot with a light line along its floor.
    top, bottom = 4, height - 5
    centre = width // 2
    draw.rectangle((centre - 2, top, centre + 1, bottom), fill=(16, 13, 15))
    draw.line((centre - 1, top + 1, centre - 1, bottom - 1), fill=(176, 170, 172))
    draw.line((centre, top + 1, centre, bottom - 1), fill=(132, 126, 128))
    expect(WHITE not in set(image.getdata()), "slider track has a pure white pixel")
    return image


def slider_handle():
    width, height = HANDLE_SIZE
    body, light, dark = (128, 128, 132), (200, 200, 204), (64, 64, 68)
    image = Image.new("RGB", HANDLE_SIZE, body)
    draw = ImageDraw.Draw(image)
    # Row 0 stays white: the slider draws the handle with white see-through.
    draw.line((0, 0, width - 1, 0), fill=WHITE)
    bottom = height - 1
    draw.line((0, 1, width - 1, 1), fill=light)
    draw.line((0, 1, 0, bottom), fill=light)
    draw.line((1, bottom, width - 1, bottom), fill=(40, 40, 44))
    draw.line((width - 1, 2, width - 1, bottom), fill=(40, 40, 44))
    # Grip lines, each a light ridge with a shadow under it; the middle one,
    # which lines up with the tick marks, runs full width.
    for row, inset in ((3, 3), (HANDLE_MIDDLE_ROW, 1), (9, 3)):
        draw.line((inset, row, width - 1 - inset, row), fill=light)
        draw.line((inset, row + 1, width - 1 - inset, row + 1), fill=dark)
    pixels = list(image.getdata())
    expect(pixels[:width] == [WHITE] * width, "slider handle's top row is not white")
    expect(WHITE not in pixels[width:], "slider handle has white below its top row")
    return image


# ---------------------------------------------------------------- digits

def digits():
    width, height = DIGITS_SIZE
    cell = height // 10          # 21 rows each; the three rows left over stay black
    image = Image.new("RGB", DIGITS_SIZE, BLACK)
    draw = ImageDraw.Draw(image)
    face = font(SANS_BOLD, 19)
    ink_top, ink_bottom = face.getbbox("0", anchor="ls")[1::2]
    baseline = (cell - (ink_bottom - ink_top)) // 2 - ink_top
    for digit in range(10):
        centred_text(draw, width / 2, digit * cell + baseline, str(digit), face, WHITE)
    for digit in range(10):
        cell_pixels = rect_pixels(image, (0, digit * cell, width, (digit + 1) * cell))
        expect(WHITE in cell_pixels, "digit %d has no white ink in its cell" % digit)
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


def rocker_half(draw, box, pressed, pointing):
    """One half of the switch at SS times scale; box is inclusive, in pixels.

    Everything sits on whole pixels except the arrow's slanted edges, so the
    bevels stay crisp and only the arrow is smoothed.
    """
    left, top, right, bottom = box
    face = ROCKER_FACE_PRESSED if pressed else ROCKER_FACE
    upper = ROCKER_SHADOW_PRESSED if pressed else ROCKER_HIGHLIGHT
    lower = ROCKER_RIM_PRESSED if pressed else ROCKER_SHADOW
    fill_px(draw, (left, top, right, bottom), lower)
    fill_px(draw, (left, top, right - 1, bottom - 1), upper)
    fill_px(draw, (left + 1, top + 1, right - 1, bottom - 1), face)
    # The symbols sink with the half that is pressed. Layout across the half:
    # arrow, gap, sign (left half) or sign, gap, arrow (right half).
    sink = 1 if pressed else 0
    arrow_w, arrow_h, gap, sign, stroke = 5, 10, 3, 6, 2
    span = arrow_w + gap + sign
    x0 = (left + right + 1 - span) // 2 + sink
    mid_y = (top + bottom + 1) // 2 + sink          # a row boundary
    if pointing < 0:
        arrow_x, sign_x = x0, x0 + arrow_w + gap
    else:
        sign_x, arrow_x = x0, x0 + sign + gap
    # Polygon edges are inclusive, so the far sides end one sub-pixel early
    # to keep the arrow from bleeding into the next pixel.
    near, far = arrow_x * SS, (arrow_x + arrow_w) * SS - 1
    tip, base = (near, far) if pointing < 0 else (far, near)
    upper_y, lower_y = (mid_y - arrow_h // 2) * SS, (mid_y + arrow_h // 2) * SS - 1
    draw.polygon([(tip, mid_y * SS - 0.5), (base, upper_y), (base, lower_y)],
                 fill=ROCKER_INK)
    half_stroke, half_sign = stroke // 2, sign // 2
    fill_px(draw, (sign_x, mid_y - half_stroke, sign_x + sign - 1, mid_y + half_stroke - 1),
            ROCKER_INK)
    if pointing > 0:
        centre = sign_x + half_sign
        fill_px(draw, (centre - half_stroke, mid_y - half_sign, centre + half_stroke - 1,
                       mid_y + half_sign - 1), ROCKER_INK)


def fill_px(draw, box, colour):
    """Fills whole pixels (inclusive box) on an SS times larger canvas."""
    left, top, right, bottom = box
    draw.rectangle((left * SS, top * SS, (right + 1) * SS - 1, (bottom + 1) * SS - 1),
                   fill=colour)


def rocker_state(left_pressed, right_pressed):
    width, height = ROCKER_SIZE[0], ROCKER_STATE_HEIGHT
    big = Image.new("RGB", (width * SS, height * SS), ROCKER_BEZEL)
    draw = ImageDraw.Draw(big)
    half = width // 2
    rocker_half(draw, (1, 1, half - 2, height - 2), left_pressed, -1)
    rocker_half(draw, (half + 1, 1, width - 2, height - 2), right_pressed, +1)
    fill_px(draw, (half - 1, 1, half, height - 2), ROCKER_DIVIDER)
    return big.resize((width, height), Image.BOX)


def rocker():
    image = Image.new("RGB", ROCKER_SIZE, BLACK)
    # Stacked in the order the switch looks them up: left pressed, rest, right pressed.
    for i, (left, right) in enumerate(((True, False), (False, False), (False, True))):
        image.paste(rocker_state(left, right), (0, i * ROCKER_STATE_HEIGHT))
    expect(WHITE not in set(image.getdata()), "rocker has a pure white pixel")
    return image


# ---------------------------------------------------------------- main

def main():
    write_bmp("slider_handle.bmp", slider_handle(), 4)
    write_bmp("background.bmp", background(), 24)
    write_bmp("slider_track.bmp", slider_track(), 4)
    write_bmp("digits.bmp", digits(), 24)
    write_bmp("rocker.bmp", rocker(), 8)
    return 0


if __name__ == "__main__":
    sys.exit(main())
