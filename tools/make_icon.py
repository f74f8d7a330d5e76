#!/usr/bin/python3
"""Draws the program's icon, two photo prints on a sheet, as a 48 x 48 PNG:
    /usr/bin/python3 tools/make_icon.py resources/tessaria.png
"""
import sys

from PIL import Image, ImageDraw


def photo(d, box, sky, hill):
    x0, y0, x1, y1 = box
    d.rectangle(box, fill=(255, 255, 255), outline=(60, 60, 60))
    inner = (x0 + 2, y0 + 2, x1 - 2, y1 - 2)
    d.rectangle(inner, fill=sky)
    d.ellipse((x1 - 9, y0 + 4, x1 - 5, y0 + 8), fill=(255, 220, 60))
    d.polygon([(inner[0], inner[3]), (inner[0] + 6, inner[1] + 9), (inner[0] + 12, inner[3] - 4),
               (inner[0] + 16, inner[1] + 7), (inner[2], inner[3])], fill=hill)


def main(out):
    im = Image.new("RGBA", (48, 48), (0, 0, 0, 0))
    d = ImageDraw.Draw(im)
    d.polygon([(6, 2), (36, 2), (44, 10), (44, 46), (6, 46)], fill=(250, 250, 250), outline=(40, 40, 40))
    d.polygon([(36, 2), (36, 10), (44, 10)], fill=(210, 210, 210), outline=(40, 40, 40))
    photo(d, (10, 8, 32, 24), (120, 180, 240), (40, 140, 60))
    photo(d, (18, 26, 40, 42), (250, 170, 90), (120, 80, 40))
    im.save(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "resources/tessaria.png")
