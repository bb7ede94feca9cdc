#!/usr/bin/env python3
"""Draws the program's icon (a radar scope, 32x32 and 16x16) and the toolbar
strip (cut, copy, paste, about: four 16x15 images) in the 16-colour VGA
palette and writes koltSSel.ico and toolbar.bmp beside this script.
Run it again after changing a picture; both outputs are committed."""
import math
import os
import struct

# The standard 16-colour palette in Windows' order, as (R, G, B); files store B, G, R.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DKRED, DKGREEN, DKYELLOW, DKBLUE, DKMAGENTA, DKCYAN, LTGRAY, DKGRAY, RED, GREEN, YELLOW, BLUE, MAGENTA, CYAN, WHITE = range(16)


def radar(size):
    """Pixels (top row first) and a transparency mask of the radar scope."""
    c = (size - 1) / 2.0
    r = size / 2.0 - 0.5
    px = [[BLACK] * size for _ in range(size)]
    mask = [[True] * size for _ in range(size)]
    sweep = math.radians(-50)
    for y in range(size):
        for x in range(size):
            dx, dy = x - c, y - c
            d = math.hypot(dx, dy)
            if d > r:
                continue
            mask[y][x] = False
            colour = BLACK
            ang = math.atan2(dy, dx)
            behind = (sweep - ang) % (2 * math.pi)
            if behind < 0.9:
                colour = DKGREEN  # the afterglow of the sweep
            for ring in (r * 0.35, r * 0.7):
                if abs(d - ring) < 0.5:
                    colour = DKGREEN
            if abs(dx) < 0.5 or abs(dy) < 0.5:
                colour = DKGREEN
            if d > r - 1.2:
                colour = DKGRAY if size > 16 else DKGREEN
            px[y][x] = colour
    # The sweep line itself and two blips.
    for i in range(int(r)):
        x = round(c + math.cos(sweep) * i)
        y = round(c + math.sin(sweep) * i)
        px[y][x] = GREEN
    for bx, by in ((0.45, -0.2), (-0.35, 0.4)):
        x, y = round(c + bx * r), round(c + by * r)
        px[y][x] = YELLOW
        if size > 16:
            for ex, ey in ((1, 0), (0, 1), (1, 1)):
                px[y + ey][x + ex] = YELLOW
    return px, mask


def dib(px, mask):
    """A 4-bit DIB as stored in an .ico: header, palette, XOR bits, AND bits."""
    h, w = len(px), len(px[0])
    header = struct.pack('<IiiHHIIiiII', 40, w, h * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    pal = b''.join(struct.pack('BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    xor = b''
    for row in reversed(px):
        line = bytes((row[i] << 4) | (row[i + 1] if i + 1 < w else 0) for i in range(0, w, 2))
        xor += line + b'\0' * ((4 - len(line) % 4) % 4)
    andbits = b''
    for row in reversed(mask):
        bits = 0
        line = bytearray()
        for i, m in enumerate(row):
            bits = (bits << 1) | (1 if m else 0)
            if i % 8 == 7:
                line.append(bits)
                bits = 0
        if w % 8:
            line.append(bits << (8 - w % 8))
        andbits += bytes(line) + b'\0' * ((4 - len(line) % 4) % 4)
    return header + pal + xor + andbits


def write_icon(path):
    images = [dib(*radar(32)), dib(*radar(16))]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((32, 16), images):
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


TOOLBAR = [
    # cut: scissors
    [
        "................",
        "....K.....K.....",
        "....K.....K.....",
        "....K.....K.....",
        ".....K...K......",
        ".....K...K......",
        "......K.K.......",
        ".......K........",
        "......B.B.......",
        "....BBB.BBB.....",
        "...B..B.B..B....",
        "...B..B.B..B....",
        "...B..B.B..B....",
        "....BB...BB.....",
        "................",
    ],
    # copy: two pages
    [
        "................",
        ".KKKKKK.........",
        ".KWWWWKK........",
        ".KWKKWKWK.......",
        ".KWWWWKKKKKK....",
        ".KWKKKKWWWWKK...",
        ".KWWWKWWWWWKWK..",
        ".KWKKKWKKKWKKKK.",
        ".KWWWKWWWWWWWWK.",
        ".KKKKKWKKKKKKWK.",
        ".....KWWWWWWWWK.",
        ".....KWKKKKKKWK.",
        ".....KWWWWWWWWK.",
        ".....KKKKKKKKKK.",
        "................",
    ],
    # paste: a clipboard with a page
    [
        "................",
        "....KKKKK.......",
        ".KKKKYYYKKKK....",
        "KYYKKKKKKKYYK...",
        "KYYYYYYYYYYYK...",
        "KYYYYYYKKKKKKKK.",
        "KYYYYYYKWWWWWKWK",
        "KYYYYYYKWKKKWKKK",
        "KYYYYYYKWWWWWWWK",
        "KYYYYYYKWKKKKKWK",
        "KYYYYYYKWWWWWWWK",
        ".KKKKKKKWKKKKKWK",
        ".......KWWWWWWWK",
        ".......KKKKKKKKK",
        "................",
    ],
    # about: a question mark in a speech balloon
    [
        "................",
        "....KKKKKKK.....",
        "...KWWWWWWWK....",
        "..KWWWBBBWWWK...",
        "..KWWBBWBBWWK...",
        "..KWWWWWBBWWK...",
        "..KWWWWBBWWWK...",
        "..KWWWBBWWWWK...",
        "..KWWWWWWWWWK...",
        "...KWWBBWWWK....",
        "....KKKWKKK.....",
        "......KWK.......",
        ".....KWK........",
        ".....KK.........",
        "................",
    ],
]
COLOURS = {'.': LTGRAY, 'K': BLACK, 'W': WHITE, 'B': DKBLUE, 'Y': DKYELLOW}


def write_toolbar(path):
    w, h = 16 * len(TOOLBAR), 15
    rows = [[COLOURS[TOOLBAR[i // 16][y][i % 16]] for i in range(w)] for y in range(h)]
    stride = ((w * 4 + 31) // 32) * 4
    bits = b''
    for row in reversed(rows):
        line = bytes((row[i] << 4) | row[i + 1] for i in range(0, w, 2))
        bits += line + b'\0' * (stride - len(line))
    pal = b''.join(struct.pack('BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 4, 0, len(bits), 0, 0, 16, 0)
    offset = 14 + len(info) + len(pal)
    head = struct.pack('<2sIHHI', b'BM', offset + len(bits), 0, 0, offset)
    with open(path, 'wb') as f:
        f.write(head + info + pal + bits)


if __name__ == '__main__':
    here = os.path.dirname(os.path.abspath(__file__))
    write_icon(os.path.join(here, 'koltSSel.ico'))
    write_toolbar(os.path.join(here, 'toolbar.bmp'))
