#!/usr/bin/python3
"""Draws the program's icon, two photo prints on a sheet, and writes it for the
icon theme: PNGs from 16 to 256 pixels and an SVG (the program's window and
About box show the PNGs too). Run it again after changing a shape:
    /usr/bin/python3 tools/make_icon.py
Small sizes come from a design on a 16-unit grid (whole pixels stay whole),
large ones and the SVG from a design on a 48-unit grid. Shapes are filled and
stroked like SVG does (strokes centred on the outline); the PNGs are drawn at
eight times their size and averaged down.
"""
import os
import sys

from PIL import Image, ImageDraw

NAME = "com.corvanel.Tessaria"
SUPERSAMPLE = 8
INK = "#333333"


def photo(x0, y0, x1, y1, sky, hill, sun, framed):
    """A print: a white frame (large design only) around a sky, a sun and hills."""
    shapes = []
    if framed:
        shapes.append(("rect", (x0 + 1, y0 + 1, x1 + 1, y1 + 1), "#00000030", None, 0))
        shapes.append(("rect", (x0, y0, x1, y1), "#ffffff", "#444444", 1))
        x0, y0, x1, y1 = x0 + 2, y0 + 2, x1 - 2, y1 - 2
    w, h = x1 - x0, y1 - y0
    shapes.append(("rect", (x0, y0, x1, y1), sky, None, 0))
    shapes.append(("circle", (x0 + w * 0.78, y0 + h * 0.3, max(h * 0.17, 0.5)), sun, None, 0))
    shapes.append(("poly", [(x0, y1), (x0, y0 + h * 0.72), (x0 + w * 0.25, y0 + h * 0.5), (x0 + w * 0.48, y0 + h * 0.7),
                            (x0 + w * 0.7, y0 + h * 0.45), (x1, y0 + h * 0.75), (x1, y1)], hill, None, 0))
    return shapes


def sheet(x0, y0, x1, y1, fold):
    return [
        ("poly", [(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)], "#fafafa", INK, 1),
        ("poly", [(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)], "#d4d4d4", INK, 1),
    ]


def large_design():
    return 48, (sheet(6.5, 2.5, 43.5, 45.5, 8)
                + photo(10.5, 8.5, 32.5, 24.5, "#78b4f0", "#2e8c3c", "#ffdc3c", True)
                + photo(18.5, 27.5, 40.5, 42.5, "#faa55a", "#7a5028", "#ffe27a", True))


def small_design():
    return 16, (sheet(2.5, 0.5, 13.5, 15.5, 3)
                + photo(4, 2, 10, 7, "#78b4f0", "#2e8c3c", "#ffdc3c", False)
                + photo(6, 9, 12, 14, "#faa55a", "#7a5028", "#ffe27a", False))


def rgba(colour):
    c = colour.lstrip("#")
    alpha = int(c[6:8], 16) if len(c) == 8 else 255
    return (int(c[0:2], 16), int(c[2:4], 16), int(c[4:6], 16), alpha)


def render(design, size):
    grid, shapes = design
    s = size * SUPERSAMPLE / grid
    big = Image.new("RGBA", (size * SUPERSAMPLE,) * 2, (0, 0, 0, 0))
    for kind, geometry, fill, stroke, width in shapes:
        layer = Image.new("RGBA", big.size, (0, 0, 0, 0))
        d = ImageDraw.Draw(layer)
        if kind == "circle":
            cx, cy, r = geometry
            d.ellipse([(cx - r) * s, (cy - r) * s, (cx + r) * s, (cy + r) * s], fill=rgba(fill))
        else:
            if kind == "rect":
                x0, y0, x1, y1 = geometry
                points = [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]
            else:
                points = geometry
            scaled = [(x * s, y * s) for x, y in points]
            d.polygon(scaled, fill=rgba(fill))
            if stroke:
                d.line(scaled + [scaled[0], scaled[1]], fill=rgba(stroke), width=round(width * s), joint="curve")
        big = Image.alpha_composite(big, layer)
    return big.convert("RGBa").resize((size, size), Image.BOX).convert("RGBA")


def svg(design):
    grid, shapes = design
    out = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{grid}" height="{grid}" viewBox="0 0 {grid} {grid}">']
    for kind, geometry, fill, stroke, width in shapes:
        r, g, b, a = rgba(fill)
        paint = f'fill="#{r:02x}{g:02x}{b:02x}"' + (f' fill-opacity="{a / 255:.3g}"' if a != 255 else "")
        if stroke:
            paint += f' stroke="{stroke}" stroke-width="{width}" stroke-linejoin="round"'
        if kind == "circle":
            cx, cy, rad = geometry
            out.append(f'  <circle cx="{cx:g}" cy="{cy:g}" r="{rad:g}" {paint}/>')
        elif kind == "rect":
            x0, y0, x1, y1 = geometry
            out.append(f'  <rect x="{x0:g}" y="{y0:g}" width="{x1 - x0:g}" height="{y1 - y0:g}" {paint}/>')
        else:
            points = " ".join(f"{x:g},{y:g}" for x, y in geometry)
            out.append(f'  <polygon points="{points}" {paint}/>')
    out.append("</svg>")
    return "\n".join(out) + "\n"


def main(root):
    theme = os.path.join(root, "data", "icons", "hicolor")
    for size in (16, 32, 48, 64, 128, 256):
        folder = os.path.join(theme, f"{size}x{size}", "apps")
        os.makedirs(folder, exist_ok=True)
        design = small_design() if size <= 32 else large_design()
        render(design, size).save(os.path.join(folder, NAME + ".png"), optimize=True)
    folder = os.path.join(theme, "scalable", "apps")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, NAME + ".svg"), "w") as f:
        f.write(svg(large_design()))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
