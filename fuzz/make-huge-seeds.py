#!/usr/bin/env python3
"""Writes seeds that claim huge pictures in a few bytes, one or more per reader
(the HEIF ones are among the regression files, made by the readers' tests):
the header states a size within the program's picture limit (65535 a side,
2^28 pixels), the data that follows is a handful of bytes. A reader that
sizes its buffers from the header before it has the data shows up under the
fuzzer's memory ceiling at once. Run once; the seeds are committed."""

import os
import struct
import zlib

SEEDS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "seeds")


def write(target, name, data):
    folder = os.path.join(SEEDS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(bytes(data))


def dib(width, height, bits, data):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(data), 0, 0, 0, 0) + data


def bmp():
    body = dib(16384, 16384, 24, bytes(range(48)))
    write("bmp", "claims-16384x16384.bmp", b"BM" + struct.pack("<IHHI", 14 + len(body), 0, 0, 54) + body)
    # RLE8: an end of bitmap right away.
    body = struct.pack("<IiiHHIIiiII", 40, 65535, 4096, 1, 8, 1, 4, 0, 0, 2, 0) + bytes(8) + bytes([0, 0, 0, 1])
    write("bmp", "claims-65535x4096-rle8.bmp", b"BM" + struct.pack("<IHHI", 14 + len(body), 0, 0, 62) + body)


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def ico():
    # A BMP entry: the DIB's height counts the picture and its mask.
    entry = dib(16384, 32768, 32, bytes(64))
    head = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", 0, 0, 0, 0, 1, 32, len(entry), 22)
    write("ico", "claims-16384x16384-bmp.ico", head + entry)
    png = (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", struct.pack(">IIBBBBB", 16384, 16384, 8, 6, 0, 0, 0))
           + png_chunk(b"IDAT", zlib.compress(bytes(64))) + png_chunk(b"IEND", b""))
    head = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", 0, 0, 0, 0, 1, 32, len(png), 22)
    write("ico", "claims-16384x16384-png.ico", head + png)


def jpeg():
    # The baseline seed with its frame header made to say 65500 x 4096.
    with open(os.path.join(SEEDS, "jpeg", "baseline.jpg"), "rb") as f:
        data = bytearray(f.read())
    sof = data.index(b"\xff\xc0")
    struct.pack_into(">HH", data, sof + 5, 4096, 65500)
    write("jpeg", "claims-65500x4096.jpg", data)


def tiff():
    def ifd(entries, extra=b""):
        # Little-endian TIFF with the directory at 8 and data after it.
        out = b"II*\x00" + struct.pack("<I", 8) + struct.pack("<H", len(entries))
        for tag, kind, count, value in sorted(entries):
            out += struct.pack("<HHII", tag, kind, count, value)
        return out + struct.pack("<I", 0) + extra
    data_at = 8 + 2 + 12 * 10 + 4
    common = [(256, 4, 1, 16384), (257, 4, 1, 16384), (258, 3, 1, 8), (262, 3, 1, 1), (277, 3, 1, 1),
              (278, 4, 1, 16384), (273, 4, 1, data_at), (279, 4, 1, 16)]
    write("tiff", "claims-16384x16384.tif", ifd(common + [(259, 3, 1, 1), (284, 3, 1, 1)], bytes(range(16))))
    lzw = bytes([0x80, 0x00, 0x20, 0x10, 0x08])  # clear, a few codes, then nothing
    write("tiff", "claims-16384x16384-lzw.tif", ifd(common + [(259, 3, 1, 5), (284, 3, 1, 1)], lzw + bytes(11)))


def png():
    data = (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", struct.pack(">IIBBBBB", 65535, 4096, 8, 2, 0, 0, 0))
            + png_chunk(b"IDAT", zlib.compress(bytes(200))) + png_chunk(b"IEND", b""))
    write("png", "claims-65535x4096.png", data)


def webp():
    # Lossless: 14 bits each of width - 1 and height - 1 after the signature.
    bits = (16383) | (16383 << 14) | (0 << 28)
    vp8l = bytes([0x2F]) + struct.pack("<I", bits) + bytes(16)
    chunk = b"VP8L" + struct.pack("<I", len(vp8l)) + vp8l
    write("webp", "claims-16384x16384-lossless.webp", b"RIFF" + struct.pack("<I", 4 + len(chunk)) + b"WEBP" + chunk)


def gif():
    head = b"GIF89a" + struct.pack("<HHBBB", 65535, 4096, 0, 0, 0)
    image = b"\x2c" + struct.pack("<HHHHB", 0, 0, 65535, 4096, 0)
    write("gif", "claims-65535x4096.gif", head + image + bytes([8, 3, 0x00, 0x01, 0x02, 0, 0x3B]))


def pcx():
    header = bytearray(128)
    struct.pack_into("<BBBBHHHH", header, 0, 10, 5, 1, 8, 0, 0, 16383, 16383)
    header[65] = 3  # planes
    struct.pack_into("<HH", header, 66, 16384, 1)
    write("pcx", "claims-16384x16384.pcx", header + bytes([0xC2, 7, 1, 2]))


def targa():
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, 65535, 4096, 24, 0x20)
    write("targa", "claims-65535x4096.tga", header + bytes(range(30)))
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, 10, 0, 0, 0, 0, 0, 65535, 4096, 24, 0)
    write("targa", "claims-65535x4096-rle.tga", header + bytes([0xFF, 1, 2, 3, 0x81, 4, 5, 6]))


def ppm():
    write("ppm", "claims-16384x16384.ppm", b"P6\n16384 16384\n255\n" + bytes(range(30)))
    write("ppm", "claims-65535x4096.pgm", b"P5\n65535 4096\n255\n" + bytes(range(30)))
    write("ppm", "claims-65535x4096-plain.pbm", b"P1\n65535 4096\n1 0 1 1 0\n")


def psd():
    header = b"8BPS" + struct.pack(">H6xHIIHH", 1, 3, 16384, 16384, 8, 3)
    sections = struct.pack(">III", 0, 0, 0)
    write("psd", "claims-16384x16384-raw.psd", header + sections + struct.pack(">H", 0) + bytes(range(40)))
    # PackBits: a row count table that stops after a few rows.
    write("psd", "claims-16384x16384-packbits.psd",
          header + sections + struct.pack(">H", 1) + struct.pack(">4H", 2, 2, 2, 2) + bytes([0x81, 7] * 4))
    grey = b"8BPS" + struct.pack(">H6xHIIHH", 1, 1, 16384, 16384, 8, 1)
    write("psd", "claims-16384x16384-grey.psd", grey + sections + struct.pack(">H", 0) + bytes(32))


def sgi():
    def header(storage, x, y, z):
        h = bytearray(512)
        struct.pack_into(">HBBHHHH", h, 0, 474, storage, 1, 3, x, y, z)
        return bytes(h)
    write("sgi", "claims-65535x4096.sgi", header(0, 65535, 4096, 3) + bytes(range(40)))
    # Run-length: the row tables themselves are cut short.
    write("sgi", "claims-65535x4096-rle.sgi", header(1, 65535, 4096, 3) + struct.pack(">4I", 600, 600, 600, 600))


def cut():
    write("cut", "claims-65535x4096.cut", struct.pack("<3H", 65535, 4096, 0) + bytes([4, 0, 0x84, 7, 0, 0]))


def rla():
    h = bytearray(740)
    struct.pack_into(">hhhh", h, 8, -32767, 32767, 0, 4095)
    struct.pack_into(">HH", h, 20, 3, 0)
    write("rla", "claims-65535x4096.rla", bytes(h) + struct.pack(">2I", 748, 748) + struct.pack(">H", 2) + bytes([5, 9]))


def autodesk():
    pal = bytes(v for i in range(256) for v in (i % 64, (i * 3) % 64, 63 - i % 64))
    write("autodesk", "claims-65535x4096.pic", struct.pack("<HHH", 0x9119, 65535, 4096) + bytes(26) + pal + bytes(20))


def metafile():
    def placeable(inch):
        # Placeable WMF whose frame is 32767 units across.
        key = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, 0, 0, 32767, 32767, inch, 0)
        checksum = 0
        for i in range(0, 20, 2):
            checksum ^= struct.unpack_from("<H", key, i)[0]
        records = struct.pack("<IH", 3, 0)  # EOF
        header = struct.pack("<HHHIHIH", 1, 9, 0x300, (18 + len(records)) // 2, 0, 3, 0)
        return key + struct.pack("<H", checksum) + header + records
    write("metafile", "claims-32767-inches.wmf", placeable(1))
    write("metafile", "claims-16383-pixels-square.wmf", placeable(192))
    # EMF whose bounds and frame are as large as 32-bit values go.
    huge = struct.pack("<4i", 0, 0, 0x7FFFFFFF, 0x7FFFFFFF)
    emf = struct.pack("<II", 1, 88) + huge + huge
    emf += struct.pack("<IIIIHHIII", 0x464D4520, 0x10000, 88 + 20, 2, 1, 0, 0, 0, 0)
    emf += struct.pack("<4i", 1024, 768, 320, 240)
    emf += struct.pack("<5I", 14, 20, 0, 16, 20)  # EOF
    write("metafile", "claims-huge-bounds.emf", emf)


def document():
    # Generation 3: many pages and boxes claimed, one short page there.
    header = struct.pack("<iii", 3, 0x7FFFFFFF, 0x7FFFFFFF) + bytes(1024)
    page = struct.pack("<iiii", 0x7FFFFFFF, 0, 400, 300) + bytes(1024)
    write("document", "claims-huge-counts.tsd", header + page + bytes(60))


for make in (bmp, ico, jpeg, tiff, png, webp, gif, pcx, targa, ppm, psd, sgi, cut, rla, autodesk, metafile, document):
    make()
