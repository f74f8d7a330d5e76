#!/usr/bin/python3
"""Draws the 19 tool bar glyphs and writes them twice:
- TOOLBARBMPS: 16 x 16 each, 16 colours, fuchsia transparent, as one 304 x 16
  strip in a 4-bit Windows bitmap;
- TOOLBARBMPS@2x: the same pictures drawn at 32 x 32 for screens with a device
  pixel ratio of 2, as one 608 x 32 strip in a PNG with an alpha channel.
Both come from the same drawing calls: at scale 1 they set pixels as ImageDraw
does; at scale 2 they draw the shapes those pixels stand for (a pixel is a unit
square, lines run through pixel centres) eight times larger and average them
down, so slopes and curves come out smooth instead of doubled. Run it again
after changing a glyph:
    /usr/bin/python3 tools/make_toolbar_glyphs.py resources/toolbar.bmp resources/toolbar@2x.png
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
SUPERSAMPLE = 4


class Canvas:
    """One glyph. Coordinates are those of the 16 x 16 glyph at either scale."""

    def __init__(self, scale):
        self.scale = scale
        if scale == 1:
            self.im = Image.new("P", (16, 16), FUCHSIA)
            self.im.putpalette([c for rgb in PALETTE for c in rgb])
        else:
            self.u = scale * SUPERSAMPLE  # output sub-pixels per glyph pixel
            self.im = Image.new("RGBA", (16 * self.u, 16 * self.u), (0, 0, 0, 0))
        self.d = ImageDraw.Draw(self.im)

    def _colour(self, index):
        if index is None:
            return None
        if self.scale == 1:
            return index
        return (0, 0, 0, 0) if index == FUCHSIA else PALETTE[index] + (255,)

    def _centre(self, x, y):
        return ((x + 0.5) * self.u, (y + 0.5) * self.u)

    def _box(self, box):
        x0, y0, x1, y1 = box
        return [x0 * self.u, y0 * self.u, (x1 + 1) * self.u - 1, (y1 + 1) * self.u - 1]

    def rectangle(self, box, fill=None, outline=None):
        if self.scale == 1:
            self.d.rectangle(box, fill=fill, outline=outline)
        else:
            self.d.rectangle(self._box(box), fill=self._colour(fill), outline=self._colour(outline), width=self.u)

    def ellipse(self, box, fill=None, outline=None):
        if self.scale == 1:
            self.d.ellipse(box, fill=fill, outline=outline)
        else:
            self.d.ellipse(self._box(box), fill=self._colour(fill), outline=self._colour(outline), width=self.u)

    def arc(self, box, start, end, fill, width=1):
        if self.scale == 1:
            self.d.arc(box, start, end, fill=fill, width=width)
        else:
            self.d.arc(self._box(box), start, end, fill=self._colour(fill), width=width * self.u)

    def point(self, xy, fill):
        if self.scale == 1:
            self.d.point(xy, fill=fill)
        else:
            x, y = xy
            self.d.rectangle([x * self.u, y * self.u, (x + 1) * self.u - 1, (y + 1) * self.u - 1], fill=self._colour(fill))

    def line(self, points, fill, width=1):
        if self.scale == 1:
            self.d.line(points, fill=fill, width=width)
            return
        if width == 1:
            for a, b in zip(points, points[1:]):
                self._segment(a, b, fill)
            return
        pts = [self._centre(x, y) for x, y in points]
        if len(pts) >= 2:
            # A pixel line covers its end pixels whole: stretch both ends by half a pixel.
            pts[0] = self._stretch(pts[1], pts[0], self.u / 2)
            pts[-1] = self._stretch(pts[-2], pts[-1], self.u / 2)
        self.d.line(pts, fill=self._colour(fill), width=width * self.u, joint="curve")

    def _segment(self, a, b, fill):
        """One pixel wide from pixel a to pixel b, both included: a row or
        column of whole pixels when straight, else a smooth line with round ends."""
        (x0, y0), (x1, y1) = a, b
        if x0 == x1 or y0 == y1:
            self.d.rectangle(self._box((min(x0, x1), min(y0, y1), max(x0, x1), max(y0, y1))), fill=self._colour(fill))
            return
        pa, pb = self._centre(x0, y0), self._centre(x1, y1)
        self.d.line([pa, pb], fill=self._colour(fill), width=self.u)
        r = self.u / 2
        for cx, cy in (pa, pb):
            self.d.ellipse([cx - r, cy - r, cx + r, cy + r], fill=self._colour(fill))

    def smooth_line(self, points, fill, width):
        """A line in glyph units through exact positions (not pixel centres),
        for what the 16-pixel glyph can only show as a staircase."""
        self.d.line([(x * self.u, y * self.u) for x, y in points], fill=self._colour(fill),
                    width=round(width * self.u), joint="curve")

    def polygon(self, points, fill=None, outline=None):
        if self.scale == 1:
            self.d.polygon(points, fill=fill, outline=outline)
            return
        self.d.polygon([self._centre(x, y) for x, y in points], fill=self._colour(fill))
        if outline is not None:
            for a, b in zip(points, points[1:] + points[:1]):
                self._segment(a, b, outline)

    @staticmethod
    def _stretch(a, b, by):
        dx, dy = b[0] - a[0], b[1] - a[1]
        n = math.hypot(dx, dy)
        return b if n == 0 else (b[0] + dx / n * by, b[1] + dy / n * by)

    def image(self):
        if self.scale == 1:
            return self.im
        size = 16 * self.scale
        return self.im.convert("RGBa").resize((size, size), Image.BOX).convert("RGBA")


def page(d, x0=2, y0=1, x1=12, y1=14, fold=3):
    """A sheet with a folded top-right corner."""
    d.polygon([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)], fill=WHITE, outline=BLACK)
    d.line([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)], fill=BLACK)


def magnifier(d, cx, cy, r, handle=4):
    d.ellipse([cx - r, cy - r, cx + r, cy + r], fill=AQUA, outline=BLACK)
    d.point((cx - r // 2, cy - r // 2), fill=WHITE)
    if d.scale == 1:
        for i in range(handle):
            d.point((cx + r + i, cy + r + i), fill=MAROON)
            d.point((cx + r + i + 1, cy + r + i), fill=MAROON)
    else:  # the same two-pixel staircase as one straight handle
        d.smooth_line([(cx + r + 0.9, cy + r + 0.4), (cx + r + handle + 0.6, cy + r + handle - 0.1)], MAROON, 1.5)


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


def draw_all(scale):
    glyphs = []

    d = Canvas(scale)  # 0 Preview: a page under a magnifier
    page(d, 1, 1, 11, 14)
    for y in (5, 7, 9):
        d.line([(3, y), (8, y)], fill=GREY)
    magnifier(d, 10, 9, 3, 3)
    glyphs.append(d.image())

    d = Canvas(scale)  # 1 Page Setup: a page with its margins and a ruler
    page(d, 3, 1, 13, 14)
    for y in range(4, 13, 2):
        d.point((5, y), fill=BLUE)
        d.point((11, y), fill=BLUE)
    d.rectangle([0, 12, 15, 15], fill=YELLOW, outline=BLACK)
    for x in range(2, 15, 3):
        d.line([(x, 12), (x, 13)], fill=BLACK)
    glyphs.append(d.image())

    d = Canvas(scale)  # 2 Options: a check list
    d.rectangle([1, 1, 14, 14], fill=WHITE, outline=BLACK)
    for i, y in enumerate((3, 7, 11)):
        d.rectangle([3, y, 5, y + 2], outline=BLACK)
        if i != 1:
            d.line([(3, y + 1), (4, y + 2), (6, y - 1)], fill=GREEN)
        d.line([(8, y + 1), (12, y + 1)], fill=NAVY)
    glyphs.append(d.image())

    d = Canvas(scale)  # 3 Auto Align: boxes snapped to a raster
    for x in (0, 5, 10, 15):
        for y in range(0, 16, 2):
            d.point((x, y), fill=GREY)
    for y in (0, 5, 10, 15):
        for x in range(0, 16, 2):
            d.point((x, y), fill=GREY)
    d.rectangle([1, 1, 9, 4], fill=BLUE, outline=NAVY)
    d.rectangle([6, 6, 14, 14], fill=YELLOW, outline=OLIVE)
    d.rectangle([1, 6, 4, 9], fill=RED, outline=MAROON)
    glyphs.append(d.image())

    d = Canvas(scale)  # 4 Rotate CCW
    curved_arrow(d, clockwise=False)
    glyphs.append(d.image())

    d = Canvas(scale)  # 5 Rotate CW
    curved_arrow(d, clockwise=True)
    glyphs.append(d.image())

    d = Canvas(scale)  # 6 Add New Page: a page with a green plus
    page(d, 1, 1, 11, 14)
    d.rectangle([10, 7, 12, 15], fill=GREEN)
    d.rectangle([7, 10, 15, 12], fill=GREEN)
    d.line([(11, 8), (11, 14)], fill=LIME)
    d.line([(8, 11), (14, 11)], fill=LIME)
    glyphs.append(d.image())

    d = Canvas(scale)  # 7 Delete Current Page: a page with a red cross
    page(d, 1, 1, 11, 14)
    for o in (0, 1):
        d.line([(7 + o, 8), (13 + o, 14)], fill=RED)
        d.line([(13 + o, 8), (7 + o, 14)], fill=RED)
    glyphs.append(d.image())

    d = Canvas(scale)  # 8 Show Grid: a sheet with grid lines
    d.rectangle([1, 1, 14, 14], fill=WHITE, outline=BLACK)
    for v in (4, 7, 10):
        d.line([(v, 2), (v, 13)], fill=TEAL)
        d.line([(2, v), (13, v)], fill=TEAL)
    glyphs.append(d.image())

    d = Canvas(scale)  # 9 Open File: an open yellow folder
    d.polygon([(1, 3), (5, 3), (6, 4), (12, 4), (12, 6), (1, 6)], fill=OLIVE, outline=BLACK)
    d.rectangle([1, 5, 12, 13], fill=OLIVE, outline=BLACK)
    d.polygon([(3, 7), (15, 7), (12, 13), (1, 13)], fill=YELLOW, outline=BLACK)
    glyphs.append(d.image())

    d = Canvas(scale)  # 10 New File: a blank page
    page(d, 3, 1, 13, 14, 4)
    glyphs.append(d.image())

    d = Canvas(scale)  # 11 Save File: a floppy disk
    d.rectangle([1, 1, 14, 14], fill=NAVY, outline=BLACK)
    d.rectangle([4, 1, 11, 6], fill=WHITE, outline=BLACK)
    d.rectangle([9, 2, 10, 5], fill=NAVY)
    d.rectangle([3, 9, 12, 14], fill=SILVER, outline=BLACK)
    d.line([(5, 11), (10, 11)], fill=GREY)
    glyphs.append(d.image())

    d = Canvas(scale)  # 12 Print: a printer with a sheet coming out
    d.rectangle([4, 1, 11, 6], fill=WHITE, outline=BLACK)
    d.rectangle([1, 6, 14, 11], fill=SILVER, outline=BLACK)
    d.point((12, 8), fill=LIME)
    d.rectangle([4, 10, 11, 14], fill=WHITE, outline=BLACK)
    d.line([(6, 12), (9, 12)], fill=GREY)
    glyphs.append(d.image())

    d = Canvas(scale)  # 13 Search: a large magnifier
    magnifier(d, 6, 6, 5, 5)
    glyphs.append(d.image())

    d = Canvas(scale)  # 14 Help: a blue question mark
    d.ellipse([1, 1, 14, 14], fill=BLUE, outline=NAVY)
    d.arc([5, 3, 10, 8], 180, 90, fill=WHITE, width=2)
    d.rectangle([7, 8, 8, 9], fill=WHITE)
    d.rectangle([7, 11, 8, 12], fill=WHITE)
    glyphs.append(d.image())

    d = Canvas(scale)  # 15 Add Text: a letter A in a text frame
    d.rectangle([0, 0, 15, 15], outline=GREY)
    d.polygon([(7, 2), (9, 2), (13, 13), (11, 13), (10, 10), (6, 10), (5, 13), (3, 13)], fill=BLACK)
    d.polygon([(8, 4), (9, 8), (7, 8)], fill=FUCHSIA)
    glyphs.append(d.image())

    for align in ("left", "center", "right"):  # 16 to 18
        d = Canvas(scale)
        text_lines(d, align)
        glyphs.append(d.image())

    assert len(glyphs) == 19
    return glyphs


def strip_1x(glyphs):
    strip = Image.new("P", (304, 16), FUCHSIA)
    strip.putpalette([c for rgb in PALETTE for c in rgb])
    for i, g in enumerate(glyphs):
        strip.paste(g, (16 * i, 0))
    return strip


def strip_2x(glyphs):
    strip = Image.new("RGBA", (608, 32), (0, 0, 0, 0))
    for i, g in enumerate(glyphs):
        strip.paste(g, (32 * i, 0))
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
    out2x = sys.argv[2] if len(sys.argv) > 2 else "resources/toolbar@2x.png"
    write_bmp4(strip_1x(draw_all(1)), out)
    strip_2x(draw_all(2)).save(out2x, optimize=True)
