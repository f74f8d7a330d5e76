#!/usr/bin/env bash
# Writes the seeds of the formats read through their libraries, and TIFF's
# Deflate, JPEG and orientation variants: tiny valid files made by
# independent programs (ImageMagick, Pillow, cwebp, heif-enc, tiffcp). Run
# once; the seeds are committed.
set -euo pipefail
cd "$(dirname "$0")/seeds"
im=/usr/bin/convert
py=/usr/bin/python3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
$im -size 11x7 gradient:red-blue -depth 8 "$tmp/src.ppm"
$im "$tmp/src.ppm" "$tmp/src.png"
$im -size 16x16 radial-gradient:'rgba(255,200,0,1)'-'rgba(0,0,255,0)' "$tmp/alpha.png"

mkdir -p png webp heif tiff
$im "$tmp/src.ppm" PNG24:png/rgb.png
$im "$tmp/src.ppm" -depth 16 PNG48:png/rgb16.png
$im "$tmp/src.ppm" -colorspace Gray PNG8:png/grey.png
$im "$tmp/src.ppm" -interlace PNG png/interlaced.png
$py -c "
from PIL import Image
im = Image.open('$tmp/src.ppm')
a = Image.open('$tmp/alpha.png').convert('RGBA')
im.quantize(12).save('png/palette.png')
a.quantize(9).save('png/palette-trns.png')
a.save('png/rgba.png')
a.convert('LA').save('png/grey-alpha.png')
im.convert('1').save('png/1bit.png')
ex = Image.Exif(); ex[0x0112] = 6
im.save('png/exif-6.png', exif=ex.tobytes())
im.save('jpeg/exif-6.jpg', exif=ex.tobytes())
im.save('webp/lossless.webp', lossless=True, exif=ex.tobytes())
frames = [im, im.transpose(Image.FLIP_LEFT_RIGHT)]
frames[0].save('webp/animated.webp', save_all=True, append_images=frames[1:], lossless=True)
im.save('tiff/pillow-deflate.tif', compression='tiff_adobe_deflate')
im.save('tiff/pillow-jpeg.tif', compression='jpeg')
"
cwebp -quiet -q 60 "$tmp/src.png" -o webp/lossy.webp
cwebp -quiet -q 60 -alpha_q 50 "$tmp/alpha.png" -o webp/lossy-alpha.webp
heif-enc -q 40 -o heif/heic.heic "$tmp/src.png" > /dev/null
heif-enc -q 40 -o heif/heic-alpha.heic "$tmp/alpha.png" > /dev/null
$im "$tmp/src.png" -quality 40 heif/avif.avif

$im "$tmp/src.ppm" -compress none "$tmp/rgb.tif"
tiffcp -c zip:2 "$tmp/rgb.tif" tiff/zip-predictor.tif
tiffcp -c zip -t -w 16 -l 16 "$tmp/rgb.tif" tiff/zip-tiles.tif
tiffcp -c jpeg "$tmp/rgb.tif" tiff/jpeg-ycbcr.tif
tiffcp -c jpeg:r "$tmp/rgb.tif" tiff/jpeg-rgb.tif
$im "$tmp/src.ppm" -colorspace Gray -compress jpeg tiff/jpeg-grey.tif
$im "$tmp/src.ppm" -orient RightTop tiff/orientation-6.tif
