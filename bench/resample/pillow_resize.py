#!/usr/bin/env python3
"""Times Pillow's own resize in-process on the benchmark's PPM pictures.

    pillow_resize.py DIR CASE RUNS

Prints one line: the case and the milliseconds of every run (one warm-up run
first, not printed), timed around Image.resize alone.
"""
import sys
import time

from PIL import Image

CASES = {
    "lanczos3-down": ("6000x4000.ppm", (1500, 1000), Image.LANCZOS),
    "box-thumb": ("6000x4000.ppm", (196, 131), Image.BOX),
    "lanczos3-up": ("640x480.ppm", (1600, 1200), Image.LANCZOS),
    "mitchell-down": ("6000x4000.ppm", (1500, 1000), Image.BICUBIC),
    "spline-down": ("6000x4000.ppm", (1500, 1000), Image.BICUBIC),
}


def main():
    folder, case, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
    name, size, method = CASES[case]
    picture = Image.open(f"{folder}/{name}").convert("RGB")
    picture.load()
    times = []
    for run in range(runs + 1):
        start = time.perf_counter()
        picture.resize(size, method)
        took = (time.perf_counter() - start) * 1000.0
        if run > 0:
            times.append(took)
    print(case, " ".join(f"{t:.3f}" for t in times))


if __name__ == "__main__":
    main()
