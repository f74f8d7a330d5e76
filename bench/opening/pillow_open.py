# The peer of the opening benchmark: the screen copies of a layout's
# pictures made with Pillow, each picture decoded reduced where JPEG allows
# (draft, the DCT's own scaling), fitted into 196 x 196 with the Box filter
# and turned as its box is, one after another, kept in a list as a window
# keeps them. Prints the milliseconds it took.
#
#   python3 pillow_open.py LIST   (LIST: lines "rotation path")
import sys
import time

from PIL import Image

SIDE = 196
TURNS = {90: Image.Transpose.ROTATE_270, 180: Image.Transpose.ROTATE_180, 270: Image.Transpose.ROTATE_90}


def fit(w, h):
    # FitSize: the height fills the box when the picture is at least as tall as the box.
    if h / w - SIDE / SIDE >= 0:
        return max(1, round(SIDE * w / h)), SIDE
    return SIDE, max(1, round(SIDE * h / w))


def main():
    with open(sys.argv[1]) as listing:
        pictures = [line.rstrip("\n").split(" ", 1) for line in listing if line.strip()]
    start = time.perf_counter()
    copies = []
    for rotation, path in pictures:
        with Image.open(path) as im:
            size = im.size
            im.draft("RGB", fit(*size))
            copy = im.convert("RGB").resize(fit(*size), Image.Resampling.BOX)
        turn = TURNS.get(int(rotation))
        copies.append(copy.transpose(turn) if turn is not None else copy)
    print(f"{(time.perf_counter() - start) * 1000:.1f}")


main()
