#!/usr/bin/env python3
# Writes the metafile seeds: small WMF and EMF files that use each family of
# records the reader knows, laid out here field by field. No program we know
# of on Debian writes these formats, so they are made by hand. Run once; the
# seeds are committed.
import os
import struct

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'seeds', 'metafile')
os.makedirs(here, exist_ok=True)


def words(*v):
    return struct.pack('<%dh' % len(v), *v)


def dib(w, h):
    rows = b''
    for y in range(h):
        row = b''.join(bytes([x * 40 % 256, y * 60 % 256, 200]) for x in range(w))
        rows += row + bytes((4 - len(row) % 4) % 4)
    return struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, 0, 0, 0, 0, 0) + rows


def wmf_record(function, params):
    if len(params) % 2:
        params += b'\0'
    return struct.pack('<IH', 3 + len(params) // 2, function) + params


def wmf(records, objects, placeable=None):
    body = b''.join(records) + wmf_record(0, b'')
    header = struct.pack('<HHHIHIH', 1, 9, 0x300, 9 + len(body) // 2, objects, 0, 0)
    out = header + body
    if placeable:
        p = struct.pack('<IH4hHI', 0x9AC6CDD7, 0, *placeable, 0)
        s = 0
        for i in range(0, 20, 2):
            s ^= struct.unpack_from('<H', p, i)[0]
        out = p + struct.pack('<H', s) + out
    return out


def emf_record(t, fields):
    fields += bytes((4 - len(fields) % 4) % 4)
    return struct.pack('<II', t, 8 + len(fields)) + fields


def longs(*v):
    return struct.pack('<%di' % len(v), *v)


def emf(records, handles, frame=(0, 0, 2540, 2540)):
    body = b''.join(records) + emf_record(14, longs(0, 0, 20))
    header = longs(0, 0, 99, 99, *frame) + struct.pack('<IIII', 0x464D4520, 0x10000, 88 + len(body), len(records) + 2)
    header += struct.pack('<HH', handles, 0) + longs(0, 0, 0, 1000, 1000, 100, 100)
    return struct.pack('<II', 1, 88) + header + body


def write(name, data):
    with open(os.path.join(here, name), 'wb') as f:
        f.write(data)


font = words(-40, 0, 0, 0, 700) + bytes(8) + b'Sans\0'
shapes = [
    wmf_record(0x0103, words(8)), wmf_record(0x020B, words(0, 0)), wmf_record(0x020C, words(100, 100)),
    wmf_record(0x02FA, words(0, 2, 0) + struct.pack('<I', 0xFF)), wmf_record(0x02FC, words(0) + struct.pack('<I', 0xFF00) + words(0)),
    wmf_record(0x012D, words(0)), wmf_record(0x012D, words(1)), wmf_record(0x001E, b''),
    wmf_record(0x041B, words(40, 40, 10, 10)), wmf_record(0x0418, words(90, 90, 50, 50)),
    wmf_record(0x061C, words(5, 5, 90, 40, 60, 10)), wmf_record(0x0817, words(0, 0, 50, 50, 90, 90, 10, 10)),
    wmf_record(0x081A, words(0, 100, 50, 0, 60, 60, 20, 20)), wmf_record(0x0830, words(0, 0, 99, 99, 80, 80, 30, 30)),
    wmf_record(0x0324, words(3, 1, 1, 50, 1, 1, 50)), wmf_record(0x0325, words(2, 0, 99, 99, 0)),
    wmf_record(0x0538, words(2, 3, 3, 0, 0, 9, 0, 0, 9, 20, 20, 29, 20, 20, 29)),
    wmf_record(0x0214, words(5, 5)), wmf_record(0x0213, words(95, 95)), wmf_record(0x0127, words(-1)),
    wmf_record(0x0416, words(80, 80, 20, 20)), wmf_record(0x01F0, words(0)),
]
write('shapes-placeable.wmf', wmf(shapes, 2, (0, 0, 100, 100, 96)))
write('shapes-window.wmf', wmf(shapes, 2))
text = [wmf_record(0x020C, words(60, 120)), wmf_record(0x02FB, font), wmf_record(0x012D, words(0)),
        wmf_record(0x0209, struct.pack('<I', 0xFF)), wmf_record(0x0102, words(1)), wmf_record(0x012E, words(24)),
        wmf_record(0x0521, words(3) + b'Abc\0' + words(40, 10)),
        wmf_record(0x0A32, words(50, 10, 5, 6, 0, 0, 100, 55) + b'Hello\0')]
write('text.wmf', wmf(text, 1))
d = dib(3, 2)
bitmaps = [wmf_record(0x020C, words(50, 50)),
           wmf_record(0x0F43, struct.pack('<IH', 0xCC0020, 0) + words(2, 3, 0, 0, 20, 30, 5, 5) + d),
           wmf_record(0x0B41, struct.pack('<I', 0xCC0020) + words(2, 3, 0, 0, 20, -30, 25, 40) + d),
           wmf_record(0x0940, struct.pack('<I', 0xCC0020) + words(0, 0, 2, 3, 1, 1) + d),
           wmf_record(0x0940, struct.pack('<I', 0xF00021) + words(0, 0, 0, 9, 9, 40, 40))]
write('bitmaps.wmf', wmf(bitmaps, 0, (0, 0, 50, 50, 96)))
write('fixed-mode.wmf', wmf([wmf_record(0x0103, words(2)), wmf_record(0x020D, words(0, 0)),
                             wmf_record(0x041B, words(-200, 200, 0, 0))], 0, (0, -300, 300, 0, 254)))


def poly16(t, *xy):
    return emf_record(t, longs(0, 0, 0, 0, len(xy) // 2) + words(*xy))


logfont = longs(-30, 0, 0, 0, 400) + bytes(8) + 'Sans'.encode('utf-16-le') + bytes(56)
text_w = longs(0, 0, 0, 0, 1) + struct.pack('<ff', 1, 1) + longs(10, 40, 2, 76, 0, 0, 0, 0, 0, 0) + 'Hi'.encode('utf-16-le')
estuff = [
    emf_record(17, longs(8)), emf_record(9, longs(1000, 1000)), emf_record(11, longs(1000, 1000)),
    emf_record(39, longs(1, 0, 0xFF, 0)), emf_record(37, longs(1)),
    emf_record(95, longs(2, 0, 0, 0, 0, 0x10000, 5, 0, 0xFF0000, 0, 0)), emf_record(37, longs(2)),
    emf_record(43, longs(100, 100, 400, 400)), emf_record(42, longs(500, 500, 900, 900)),
    emf_record(44, longs(100, 500, 400, 900, 50, 50)), emf_record(45, longs(0, 0, 999, 999, 999, 500, 500, 0)),
    emf_record(47, longs(0, 0, 500, 500, 500, 250, 250, 0)), emf_record(46, longs(500, 0, 999, 500, 999, 250, 750, 0)),
    poly16(86, 0, 0, 100, 0, 50, 90), poly16(87, 0, 999, 999, 0), poly16(85, 0, 0, 300, 0, 300, 300, 600, 300),
    emf_record(91, longs(0, 0, 0, 0, 2, 6, 3, 3) + words(0, 0, 90, 0, 0, 90, 200, 200, 290, 200, 200, 290)),
    emf_record(33, b''), emf_record(35, struct.pack('<6f', 0.7, 0.7, -0.7, 0.7, 500, 0)),
    emf_record(36, struct.pack('<6f', 1, 0, 0, 1, 10, 10) + longs(2)),
    emf_record(59, b''), emf_record(27, longs(0, 0)), poly16(89, 200, 0, 200, 200), poly16(88, 100, 300, 0, 300, 0, 200),
    emf_record(61, b''), emf_record(60, b''), emf_record(63, longs(0, 0, 0, 0)), emf_record(34, longs(-1)),
    emf_record(30, longs(0, 0, 800, 800)), emf_record(82, longs(3) + logfont), emf_record(37, longs(3)),
    emf_record(24, longs(0xFF00)), emf_record(22, longs(24)), emf_record(18, longs(1)), emf_record(84, text_w),
    emf_record(37, longs(-2147483648 + 5)), emf_record(40, longs(1)),
]
write('shapes.emf', emf(estuff, 4))
bmi = dib(3, 2)
sdb = longs(0, 0, 0, 0, 10, 10, 0, 0, 3, 2, 80, 40, 120, len(bmi) - 40, 0, 0xCC0020, 300, 200) + bmi
write('stretchdibits.emf', emf([emf_record(81, sdb)], 1, (0, 0, 5000, 5000)))
write('himetric.emf', emf([emf_record(17, longs(3)), emf_record(37, longs(-2147483648 + 4)),
                           emf_record(43, longs(0, 0, 1000, -1000))], 1))
