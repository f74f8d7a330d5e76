#!/usr/bin/python3
"""Draws the 19 tool bar glyphs (16 x 16, 16 colours, fuchsia transparent) and
writes them as one 304 x 16 strip in a 4-bit Windows bitmap, the resource
TOOLBARBMPS. Run it again after changing a glyph:
    /usr/bin/python3 tools/make_toolbar_glyphs.py resources/toolbar.bmp
"""
import math
import struct
import sys

from PIL import Image, ImageDraw

# The 16 standard colours; index 13 (fuchsia) is the transparent one.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER, GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(16)


def glyph():
    im = Image.new("P", (16, 16), FUCHSIA)
    im.putpalette([c for rgb in PALETTE for c in rgb])
    return im, ImageDraw.Draw(im)


def page(d, x0=2, y0=1, x1=12, y1=14, fold=3):
    """A sheet with a folded top-right corner."""
    d.polygon([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)], fill=WHITE, outline=BLACK)
    d.line([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)], fill=BLACK)


def magnifier(d, cx, cy, r, handle=4):
    d.ellipse([cx - r, cy - r, cx + r, cy + r], fill=AQUA, outline=BLACK)
    d.point((cx - r // 2, cy - r // 2), fill=WHITE)
    for i in range(handle):
        d.point((cx + r + i, cy + r + i), fill=MAROON)
        d.point((cx + r + i + 1, cy + r + i), fill=MAROON)


def curved_arrow(d, clockwise):
    """An arc over the top with an arrow head pointing down at its end: on the
    left for a turn to the left (anticlockwise), on the right for clockwise."""
    cx, cy, r = 8, 9, 5
    pts = []
    for a in range(-180, 41, 10):  # from the left side over the top to the lower right
        t = math.radians(a)
        x, y = cx + r * math.cos(t), cy + r * math.sin(t)
        pts.append((15 - x, y) if clockwise else (x, y))
    d.line(pts, fill=NAVY, width=2)
    tip_x = 15 - (cx - r) if clockwise else cx - r
    d.polygon([(tip_x - 3, cy - 1), (tip_x + 3, cy - 1), (tip_x, cy + 3)], fill=NAVY)


def text_lines(d, align):
    widths = [12, 8, 12, 6, 10]
    for i, w in enumerate(widths):
        y = 2 + i * 3
        if align == "left":
            x0 = 2
        elif align == "center":
            x0 = 2 + (12 - w) // 2
        else:
            x0 = 14 - w
        d.line([(x0, y), (x0 + w - 1, y)], fill=BLACK)
        d.line([(x0, y + 1), (x0 + w - 1, y + 1)], fill=GREY)


def draw_all():
    glyphs = []

    im, d = glyph()  # 0 Preview: a page under a magnifier
    page(d, 1, 1, 11, 14)
    for y in (5, 7, 9):
        d.line([(3, y), (8, y)], fill=GREY)
    magnifier(d, 10, 9, 3, 3)
    glyphs.append(im)

    im, d = glyph()  # 1 Page Setup: a page with its margins and a ruler
    page(d, 3, 1, 13, 14)
    for y in range(4, 13, 2):
        d.point((5, y), fill=BLUE)
        d.point((11, y), fill=BLUE)
    d.rectangle([0, 12, 15, 15], fill=YELLOW, outline=BLACK)
    for x in range(2, 15, 3):
        d.line([(x, 12), (x, 13)], fill=BLACK)
    glyphs.append(im)

    im, d = glyph()  # 2 Options: a check list
    d.rectangle([1, 1, 14, 14], fill=WHITE, outline=BLACK)
    for i, y in enumerate((3, 7, 11)):
        d.rectangle([3, y, 5, y + 2], outline=BLACK)
        if i != 1:
            d.line([(3, y + 1), (4, y + 2), (6, y - 1)], fill=GREEN)
        d.line([(8, y + 1), (12, y + 1)], fill=NAVY)
    glyphs.append(im)

    im, d = glyph()  # 3 Auto Align: boxes snapped to a raster
    for x in (0, 5, 10, 15):
        for y in range(0, 16, 2):
            d.point((x, y), fill=GREY)
    for y in (0, 5, 10, 15):
        for x in range(0, 16, 2):
            d.point((x, y), fill=GREY)
    d.rectangle([1, 1, 9, 4], fill=BLUE, outline=NAVY)
    d.rectangle([6, 6, 14, 14], fill=YELLOW, outline=OLIVE)
    d.rectangle([1, 6, 4, 9], fill=RED, outline=MAROON)
    glyphs.append(im)

    im, d = glyph()  # 4 Rotate CCW
    curved_arrow(d, clockwise=False)
    glyphs.append(im)

    im, d = glyph()  # 5 Rotate CW
    curved_arrow(d, clockwise=True)
    glyphs.append(im)

    im, d = glyph()  # 6 Add New Page: a page with a green plus
    page(d, 1, 1, 11, 14)
    d.rectangle([10, 7, 12, 15], fill=GREEN)
    d.rectangle([7, 10, 15, 12], fill=GREEN)
    d.line([(11, 8), (11, 14)], fill=LIME)
    d.line([(8, 11), (14, 11)], fill=LIME)
    glyphs.append(im)

    im, d = glyph()  # 7 Delete Current Page: a page with a red cross
    page(d, 1, 1, 11, 14)
    for o in (0, 1):
        d.line([(7 + o, 8), (13 + o, 14)], fill=RED)
        d.line([(13 + o, 8), (7 + o, 14)], fill=RED)
    glyphs.append(im)

    im, d = glyph()  # 8 Show Grid: a sheet with grid lines
    d.rectangle([1, 1, 14, 14], fill=WHITE, outline=BLACK)
    for v in (4, 7, 10):
        d.line([(v, 2), (v, 13)], fill=TEAL)
        d.line([(2, v), (13, v)], fill=TEAL)
    glyphs.append(im)

    im, d = glyph()  # 9 Open File: an open yellow folder
    d.polygon([(1, 3), (5, 3), (6, 4), (12, 4), (12, 6), (1, 6)], fill=OLIVE, outline=BLACK)
    d.rectangle([1, 5, 12, 13], fill=OLIVE, outline=BLACK)
    d.polygon([(3, 7), (15, 7), (12, 13), (1, 13)], fill=YELLOW, outline=BLACK)
    glyphs.append(im)

    im, d = glyph()  # 10 New File: a blank page
    page(d, 3, 1, 13, 14, 4)
    glyphs.append(im)

    im, d = glyph()  # 11 Save File: a floppy disk
    d.rectangle([1, 1, 14, 14], fill=NAVY, outline=BLACK)
    d.rectangle([4, 1, 11, 6], fill=WHITE, outline=BLACK)
    d.rectangle([9, 2, 10, 5], fill=NAVY)
    d.rectangle([3, 9, 12, 14], fill=SILVER, outline=BLACK)
    d.line([(5, 11), (10, 11)], fill=GREY)
    glyphs.append(im)

    im, d = glyph()  # 12 Print: a printer with a sheet coming out
    d.rectangle([4, 1, 11, 6], fill=WHITE, outline=BLACK)
    d.rectangle([1, 6, 14, 11], fill=SILVER, outline=BLACK)
    d.point((12, 8), fill=LIME)
    d.rectangle([4, 10, 11, 14], fill=WHITE, outline=BLACK)
    d.line([(6, 12), (9, 12)], fill=GREY)
    glyphs.append(im)

    im, d = glyph()  # 13 Search: a large magnifier
    magnifier(d, 6, 6, 5, 5)
    glyphs.append(im)

    im, d = glyph()  # 14 Help: a blue question mark
    d.ellipse([1, 1, 14, 14], fill=BLUE, outline=NAVY)
    d.arc([5, 3, 10, 8], 180, 90, fill=WHITE, width=2)
    d.rectangle([7, 8, 8, 9], fill=WHITE)
    d.rectangle([7, 11, 8, 12], fill=WHITE)
    glyphs.append(im)

    im, d = glyph()  # 15 Add Text: a letter A in a text frame
    d.rectangle([0, 0, 15, 15], outline=GREY)
    d.polygon([(7, 2), (9, 2), (13, 13), (11, 13), (10, 10), (6, 10), (5, 13), (3, 13)], fill=BLACK)
    d.polygon([(8, 4), (9, 8), (7, 8)], fill=FUCHSIA)
    glyphs.append(im)

    for align in ("left", "center", "right"):  # 16 to 18
        im, d = glyph()
        text_lines(d, align)
        glyphs.append(im)

    assert len(glyphs) == 19
    strip = Image.new("P", (304, 16), FUCHSIA)
    strip.putpalette([c for rgb in PALETTE for c in rgb])
    for i, g in enumerate(glyphs):
        strip.paste(g, (16 * i, 0))
    return strip


def write_bmp4(strip, path):
    w, h = strip.size
    row_bytes = ((w * 4 + 31) // 32) * 4
    pixels = bytearray()
    for y in range(h - 1, -1, -1):  # bottom-up
        row = bytearray(row_bytes)
        for x in range(w):
            v = strip.getpixel((x, y))
            row[x // 2] |= v << 4 if x % 2 == 0 else v
        pixels += row
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 4, 0, len(pixels), 2835, 2835, 16, 16)
    with open(path, "wb") as f:
        f.write(header + info + palette + pixels)


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "resources/toolbar.bmp"
    write_bmp4(draw_all(), out)
