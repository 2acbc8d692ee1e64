#!/usr/bin/env python3
"""Writes the Windows icon (.ico) of notora from the application icon
resources/app/notora.xpm: the 32 x 32 picture as it is and a 16 x 16 one
made of its 2 x 2 blocks, both as 32-bit images with an alpha channel.

usage: xpm_to_ico.py notora.xpm notora.ico"""
import re
import struct
import sys


def read_xpm(path):
    """Returns (width, height, rows of (r, g, b, a) tuples)."""
    strings = re.findall(r'"((?:[^"\\]|\\.)*)"', open(path, encoding='ascii').read())
    width, height, colours, per_pixel = (int(v) for v in strings[0].split()[:4])
    palette = {}
    for line in strings[1:1 + colours]:
        key, rest = line[:per_pixel], line[per_pixel:].split()
        value = rest[rest.index('c') + 1]
        if value.lower() == 'none':
            palette[key] = (0, 0, 0, 0)
        elif re.fullmatch(r'#[0-9A-Fa-f]{6}', value):
            palette[key] = (int(value[1:3], 16), int(value[3:5], 16), int(value[5:7], 16), 255)
        else:
            sys.exit(f'{path}: colour {value!r} is not #RRGGBB or None')
    rows = []
    for line in strings[1 + colours:1 + colours + height]:
        if len(line) != width * per_pixel:
            sys.exit(f'{path}: a row of {len(line)} characters, not {width * per_pixel}')
        rows.append([palette[line[i:i + per_pixel]] for i in range(0, len(line), per_pixel)])
    if len(rows) != height:
        sys.exit(f'{path}: {len(rows)} rows, not {height}')
    return width, height, rows


def halve(rows):
    """Each 2 x 2 block becomes one pixel: alpha averaged, colour averaged by alpha."""
    result = []
    for y in range(0, len(rows), 2):
        row = []
        for x in range(0, len(rows[0]), 2):
            block = [rows[y][x], rows[y][x + 1], rows[y + 1][x], rows[y + 1][x + 1]]
            alpha = sum(p[3] for p in block)
            if alpha == 0:
                row.append((0, 0, 0, 0))
                continue
            colour = tuple((sum(p[c] * p[3] for p in block) + alpha // 2) // alpha for c in range(3))
            row.append(colour + ((alpha + 2) // 4,))
        result.append(row)
    return result


def icon_image(rows):
    """A BITMAPINFOHEADER, the BGRA pixels bottom-up and the AND mask."""
    height, width = len(rows), len(rows[0])
    header = struct.pack('<IiiHHIIiiII', 40, width, height * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b''.join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = (width + 31) // 32 * 4
    mask = b''
    for row in reversed(rows):
        bits = 0
        for x, pixel in enumerate(row):
            if pixel[3] == 0:
                bits |= 1 << (mask_stride * 8 - 1 - x)
        mask += bits.to_bytes(mask_stride, 'big')
    return header + pixels + mask


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    width, height, rows = read_xpm(sys.argv[1])
    if (width, height) != (32, 32):
        sys.exit(f'{sys.argv[1]}: {width} x {height}, not 32 x 32')
    images = [(32, icon_image(rows)), (16, icon_image(halve(rows)))]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b''.join(data for _, data in images)
    with open(sys.argv[2], 'wb') as file:
        file.write(out)


main()
