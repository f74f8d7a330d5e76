#!/usr/bin/env bash
# Writes the fuzz seeds: tiny valid files of every variant each reader takes,
# made by independent programs (ImageMagick, cjpeg, Pillow). Run once; the
# seeds are committed.
set -euo pipefail
cd "$(dirname "$0")/seeds"
im=/usr/bin/convert
py=/usr/bin/python3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
$im -size 11x7 gradient:red-blue -depth 8 "$tmp/src.ppm"
$im -size 16x16 radial-gradient:'rgba(255,200,0,1)'-'rgba(0,0,255,0)' "$tmp/alpha.png"

mkdir -p bmp ico jpeg decoders
$im "$tmp/src.ppm" BMP3:bmp/v3-24.bmp
$im "$tmp/src.ppm" BMP2:bmp/core-24.bmp
$im "$tmp/src.ppm" -colors 16 BMP2:bmp/core-4.bmp
$im "$tmp/src.ppm" -monochrome BMP3:bmp/1bit.bmp
$im "$tmp/src.ppm" -colors 12 BMP3:bmp/4bit.bmp
$im "$tmp/src.ppm" -colors 40 BMP3:bmp/8bit.bmp
$im "$tmp/src.ppm" -colors 40 -compress RLE BMP3:bmp/rle8.bmp
$im "$tmp/src.ppm" -define bmp:subtype=RGB565 BMP:bmp/565.bmp
$im "$tmp/src.ppm" -define bmp:subtype=RGB555 BMP:bmp/555.bmp
$im "$tmp/alpha.png" BMP:bmp/v5-alpha.bmp
$py - <<'PY'
import struct
# RLE4 with a run, an absolute run, a delta, end of line and end of bitmap.
pal = b''.join(struct.pack('<I', c) for c in (0, 0xFF0000, 0xFF00, 0xFF))
data = bytes([3, 0x12, 0, 0, 0, 3, 0x32, 0x10, 0, 2, 1, 1, 2, 0x33, 0, 1])
dib = struct.pack('<IiiHHIIiiII', 40, 5, 3, 1, 4, 2, len(data), 0, 0, 4, 0) + pal + data
open('bmp/rle4.bmp', 'wb').write(b'BM' + struct.pack('<IHHI', 14 + len(dib), 0, 0, 14 + 40 + 16) + dib)
# Top-down 24 bits.
rows = bytes([1, 2, 3, 0, 4, 5, 6, 0])
dib = struct.pack('<IiiHHIIiiII', 40, 1, -2, 1, 24, 0, 0, 0, 0, 0, 0) + rows
open('bmp/topdown.bmp', 'wb').write(b'BM' + struct.pack('<IHHI', 14 + len(dib), 0, 0, 54) + dib)
PY

$im "$tmp/alpha.png" \( +clone -resize 8x8 \) ico/bmp-entries.ico
$im "$tmp/src.ppm" -define icon:auto-resize=16 -colors 8 ico/few-colours.ico
$py -c "
from PIL import Image
im = Image.open('$tmp/alpha.png').convert('RGBA')
im.save('ico/png-entries.ico', sizes=[(8, 8), (16, 16)])
im.save('ico/pillow-bmp.ico', sizes=[(8, 8)], bitmap_format='bmp')
"

cjpeg "$tmp/src.ppm" > jpeg/baseline.jpg
cjpeg -progressive "$tmp/src.ppm" > jpeg/progressive.jpg
cjpeg -grayscale "$tmp/src.ppm" > jpeg/grey.jpg
cjpeg -arithmetic "$tmp/src.ppm" > jpeg/arithmetic.jpg
cjpeg -restart 1 -sample 1x1 "$tmp/src.ppm" > jpeg/restart-444.jpg
$im "$tmp/src.ppm" -colorspace CMYK jpeg/cmyk-adobe.jpg

mkdir -p tiff
$im "$tmp/src.ppm" -compress none tiff/rgb.tif
tiffcp -c lzw:2 tiff/rgb.tif tiff/lzw-predictor.tif
tiffcp -c packbits -B tiff/rgb.tif tiff/packbits-be.tif
tiffcp -c lzw -t -w 16 -l 16 tiff/rgb.tif tiff/tiles.tif
tiffcp -c none -p separate -r 3 tiff/rgb.tif tiff/planar.tif
$im "$tmp/src.ppm" -colors 20 -type Palette -compress lzw tiff/palette.tif
$im "$tmp/src.ppm" -monochrome -depth 1 -compress RLE tiff/bilevel.tif
$im "$tmp/src.ppm" -colorspace CMYK -depth 16 -endian MSB tiff/cmyk16.tif
$im "$tmp/alpha.png" -compress lzw tiff/rgba.tif

mkdir -p gif pcx targa ppm
$im "$tmp/src.ppm" -colors 30 gif/palette.gif
$im "$tmp/src.ppm" -colors 5 -interlace GIF gif/interlaced.gif
$py -c "
from PIL import Image
im = Image.open('$tmp/src.ppm')
im.convert('L').save('gif/grey.gif')
im.save('pcx/rgb.pcx')
im.convert('P', palette=Image.ADAPTIVE, colors=20).save('pcx/palette.pcx')
im.convert('1').save('pcx/1bit.pcx')
im.save('targa/rgb-rle.tga', rle=True)
im.convert('P', palette=Image.ADAPTIVE, colors=20).save('targa/palette.tga')
im.convert('L').save('targa/grey-rle.tga', rle=True, orientation=-1)
Image.open('$tmp/alpha.png').convert('RGBA').save('targa/rgba.tga')
"
# 4-plane PCX, 16-bit Targa colour map and pixels: byte by byte.
$py - <<'PY'
import struct
h = bytearray(128); h[0] = 10; h[2] = 1; h[3] = 1; h[65] = 4
struct.pack_into('<HHHH', h, 4, 0, 0, 9, 1); struct.pack_into('<H', h, 66, 2)
h[16:64] = bytes(range(48))
open('pcx/4planes.pcx', 'wb').write(bytes(h) + bytes([0xC3, 0x55, 0xA1, 0, 3, 0xF0, 0, 9, 9, 0xC4, 0x0F, 1, 2, 3, 4, 5]))
open('targa/15bit.tga', 'wb').write(struct.pack('<BBBHHBHHHHBB', 0, 0, 2, 0, 0, 0, 0, 0, 3, 2, 15, 0x20)
                                     + struct.pack('<6H', 0x7C00, 0x03E0, 0x001F, 0x7FFF, 0, 0x1234))
open('targa/cmap16.tga', 'wb').write(struct.pack('<BBBHHBHHHHBB', 3, 1, 9, 0, 2, 16, 0, 0, 4, 1, 8, 0)
                                     + b'abc' + struct.pack('<2H', 0x7FFF, 0x001F) + bytes([0x81, 1, 0x01, 0, 1]))
PY
$im "$tmp/src.ppm" ppm/raw.ppm
$im "$tmp/src.ppm" -colorspace Gray pgm:ppm/raw.pgm
$im "$tmp/src.ppm" -monochrome pbm:ppm/raw.pbm
$im "$tmp/src.ppm" -depth 16 ppm/raw16.ppm
$im "$tmp/src.ppm" -compress none ppm/plain.ppm
$im "$tmp/src.ppm" -colorspace Gray -compress none pgm:ppm/plain.pgm
$im "$tmp/src.ppm" -monochrome -compress none pbm:ppm/plain.pbm

mkdir -p psd sgi pcd cut rla autodesk
$im "$tmp/src.ppm" psd/rgb-packbits.psd
$im "$tmp/src.ppm" -compress none -depth 16 psd/rgb16-raw.psd
$im "$tmp/src.ppm" -colorspace CMYK psd/cmyk.psd
$im "$tmp/src.ppm" -colorspace Gray psd/grey.psd
$im "$tmp/src.ppm" -colors 12 -type Palette psd/indexed.psd
$im "$tmp/src.ppm" -compress RLE sgi/rgb-rle.sgi
$im "$tmp/src.ppm" -compress none -depth 16 sgi/rgb16.sgi
$im "$tmp/src.ppm" -colorspace Gray -compress RLE sgi/grey.sgi
$im "$tmp/alpha.png" -compress RLE sgi/rgba.sgi
$py - <<'PY'
import struct
# Photo-CD: cut-down packs as fuzz_pcd.cpp lays them out (resolution byte,
# what stands at 2048, the attribute byte, the image of that resolution): a
# grey ramp with a little colour, in row pairs of two luma and two chroma rows.
def pcd(name, resolution, attribute, w, pairs, signature=b'PCD_IPI'):
    image = bytearray()
    for pair in range(pairs):
        image += bytes((x + pair) % 256 for x in range(2 * w))
        image += bytes([150 + pair % 20] * (w // 2) + [130 + pair % 15] * (w // 2))
    open('pcd/' + name, 'wb').write(bytes([resolution]) + signature + bytes([attribute]) + image)
for o in range(4):
    pcd('base16-orientation%d' % o, 0, o, 192, 64)
pcd('base4-first-rows', 1, 3, 384, 6)     # the rest of the image reads as zeros
pcd('base-cut-short', 2, 1, 768, 2)       # the file ends inside the image
pcd('resolution3', 3, 0, 192, 1)
pcd('no-signature', 0, 0, 192, 1, signature=b'PCD_OPA')
# CUT: 4 x 2, runs and literals.
open('cut/runs.cut', 'wb').write(struct.pack('<3H', 4, 2, 0) + bytes([4, 0, 0x84, 7, 0, 0, 7, 0, 0x02, 1, 2, 0x82, 9, 0]))
# RLA: 3 x 2, RGB and a matte, bottom-up.
rows = []
for y in range(2):
    row = b''
    for c in range(4):
        packed = bytes([0xFD, 10 * c, 20 * c + y, 30]) if c % 2 else bytes([2, 40 + c])
        row += struct.pack('>H', len(packed)) + packed
    rows.append(row)
h = bytearray(740)
struct.pack_into('>hhhh', h, 8, 0, 2, 0, 1); struct.pack_into('>HH', h, 20, 3, 1)
offsets = [740 + 8, 740 + 8 + len(rows[0])]
open('rla/rgba.rla', 'wb').write(bytes(h) + struct.pack('>2I', *offsets) + rows[0] + rows[1])
# Autodesk: 5 x 3, 64-level palette.
pal = bytes(v for i in range(256) for v in (i % 64, (i * 3) % 64, 63 - i % 64))
open('autodesk/ramp.pic', 'wb').write(struct.pack('<HHH', 0x9119, 5, 3) + bytes(26) + pal + bytes(range(15)))
PY

$py - <<'PY'
# Decoder seeds: selector, setting, unpacked size (16 bits), stated-size flag, data.
import struct
def seed(name, which, setting, unpacked, data):
    open('decoders/' + name, 'wb').write(bytes([which, setting]) + struct.pack('<H', unpacked) + b'\0' + data)
def codes(values, width, msb):
    acc = bits = 0; out = bytearray()
    for v in values:
        if msb:
            acc = (acc << width) | v; bits += width
            while bits >= 8: out.append((acc >> (bits - 8)) & 255); bits -= 8
        else:
            acc |= v << bits; bits += width
            while bits >= 8: out.append(acc & 255); acc >>= 8; bits -= 8
    if bits: out.append(((acc << (8 - bits)) if msb else acc) & 255)
    return bytes(out)
seed('tiff-lzw', 0, 0, 64, codes([256, 97, 98, 258, 260, 99, 257], 9, True))
seed('gif-lzw', 1, 8, 64, codes([256, 97, 98, 258, 260, 99, 257], 9, False))
seed('packbits', 2, 0, 32, bytes([2, 1, 2, 3, 0xFE, 9, 0x80, 0, 7]))
seed('pcx', 3, 0, 32, bytes([0xC3, 7, 5, 0xFF, 1, 2]))
seed('sgi8', 4, 0, 32, bytes([0x82, 1, 2, 0x03, 9, 0]))
seed('sgi16', 4, 1, 32, bytes([0, 0x82, 1, 99, 2, 98, 0, 0x02, 7, 97, 0, 0]))
seed('cut', 5, 0, 8, bytes([6, 0, 0x83, 4, 0x02, 1, 2, 0, 3, 0, 0x82, 5, 0]))
seed('rla', 6, 0, 16, bytes([2, 8, 0xFE, 1, 2]))
PY
