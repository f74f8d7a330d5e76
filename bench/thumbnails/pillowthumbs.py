# The peer for bench_thumbnails: Pillow's thumbnails of every file named, the
# way an image viewer written in Python makes them: draft() lets libjpeg
# decode at a reduced scale, thumbnail() then resamples to fit 64 x 64.
import sys
from PIL import Image

for path in sys.argv[1:]:
    with Image.open(path) as im:
        im.draft("RGB", (64, 64))
        im.thumbnail((64, 64))
