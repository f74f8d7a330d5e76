#!/usr/bin/env python3
# Writes the layout document seeds: one small file per generation and shape,
# laid out here field by field rather than by our writer. Run once; the seeds
# are committed.
import os
import struct

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'seeds', 'document')
os.makedirs(here, exist_ok=True)
PAD = bytes(1024)


def i32(*values):
    return b''.join(struct.pack('<i', v) for v in values)


def text(b):
    return i32(len(b)) + b


def box(gen, left, top, w, h, rot, ppi, font, size, colour, align, tag, kind, string):
    out = i32(left, top, w, h, rot, ppi) + text(font) + i32(size, colour, align)
    if gen == 3:
        out += i32(tag)
    return out + i32(kind) + text(string) + PAD


def field(v, width):
    return str(v).rjust(width).encode()


def write(name, data):
    with open(os.path.join(here, name), 'wb') as f:
        f.write(data)


write('gen3-linked.tsd',
      i32(3, 2, 3) + PAD +
      i32(2, 1, 400, 283) + PAD +
      box(3, -15, -7, 120, 90, 90, 48, b'Arial', 12, -16777208, 0, 5, 0, '/home/ann/Straße.jpg'.encode()) +
      box(3, -15, 83, 120, 30, 0, 48, b'', 10, 255, 1, 5, 1, b'One\r\n\r\nThree\r\n') +
      i32(0, 1, 400, 283) + PAD)
write('gen3-empty.tsd', i32(3, 0, 0) + PAD)
write('gen2-text.tsd',
      i32(2, 1, 2) + PAD +
      i32(2, 0, 283, 400) + PAD +
      box(2, 10, 20, 150, 100, 180, 40, b'Arial', 14, 0xFF, 2, 0, 0, b'C:\\Bilder\\Br\xfccke.bmp') +
      box(2, 10, 130, 150, 40, 0, 40, b'Caf\xe9 Sans', 11, 0xFF00, 1, 0, 1, b'Die Br\xfccke\r\n1998'))
write('gen1-pictures.tsd',
      b'1.00' + field(2, 4) + field(2, 4) + PAD +
      field(1, 4) + field(0, 4) + field(283, 8) + field(400, 8) + PAD +
      field(-12, 8) + field(30, 8) + field(100, 8) + field(75, 8) + field(90, 8) + b'/pics/a.jpg\r\n' + PAD +
      field(1, 4) + field(0, 4) + field(283, 8) + field(400, 8) + PAD +
      field(0, 8) + field(0, 8) + field(50, 8) + field(50, 8) + field(0, 8) + b'/pics/Caf\xe9.jpg\r\n' + PAD)
