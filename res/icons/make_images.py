#!/usr/bin/env python3
"""Draws the program's icon (a radar scope, 32x32 and 16x16) and the toolbar
strip (cut, copy, paste, about: four 16x15 images) in the 16-colour VGA
palette and writes koltSSel.ico and toolbar.bmp beside this script.

The same pictures are drawn again, from their shapes rather than by
stretching the 16-pixel ones, for higher display scales: the toolbar strip
with images 20, 24, 32 and 48 pixels wide (toolbar-N.bmp, 16-colour in the
same palette, on the same light grey that the program masks out, so that the
program maps their colours to the system's scheme as it maps the 16-pixel
strip's) and the icon at 16, 20, 24, 32, 40,
48, 64 and 256 pixels (koltSSel-sizes.ico, 32-bit with alpha; 256 stored as
PNG). Run it again after changing a picture; every output is committed, and
the same script always writes the same bytes."""
import math
import os
import struct
import zlib

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


def write_bmp4(path, rows):
    """A 16-colour bitmap of palette indices (top row first), in PALETTE."""
    h, w = len(rows), len(rows[0])
    stride = ((w * 4 + 31) // 32) * 4
    bits = b''
    for row in reversed(rows):
        line = bytes((row[i] << 4) | (row[i + 1] if i + 1 < w else 0) for i in range(0, w, 2))
        bits += line + b'\0' * (stride - len(line))
    pal = b''.join(struct.pack('BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 4, 0, len(bits), 0, 0, 16, 0)
    offset = 14 + len(info) + len(pal)
    head = struct.pack('<2sIHHI', b'BM', offset + len(bits), 0, 0, offset)
    with open(path, 'wb') as f:
        f.write(head + info + pal + bits)


def write_toolbar(path):
    w, h = 16 * len(TOOLBAR), 15
    write_bmp4(path, [[COLOURS[TOOLBAR[i // 16][y][i % 16]] for i in range(w)] for y in range(h)])


# --- The pictures drawn from their shapes, for any size ----------------------

TOOLBAR_SIZES = (20, 24, 32, 48)
ICON_SIZES = (16, 20, 24, 32, 40, 48, 64, 256)


def seg_dist(p, a, b):
    """Distance from point p to the segment a-b."""
    (px, py), (ax, ay), (bx, by) = p, a, b
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def in_rect(p, r):
    return r[0] <= p[0] < r[2] and r[1] <= p[1] < r[3]


PIXEL = [1.0]  # one pixel in picture units, for the size being drawn


def page(p, r, lines, w, colour_fill=WHITE):
    """A page: outlined rectangle r with text lines at the given heights."""
    if not in_rect(p, r):
        return None
    inner = (r[0] + w, r[1] + w, r[2] - w, r[3] - w)
    if not in_rect(p, inner):
        return BLACK
    line = max(PIXEL[0], w / 2)  # text lines thinner than the outline where pixels allow
    for y in lines:
        if y <= p[1] < y + line and r[0] + 1.8 <= p[0] < r[2] - 1.8:
            return BLACK
    return colour_fill


def tool_cut(p, w):
    for centre in ((5.2, 11.4), (10.8, 11.4)):
        d = math.hypot(p[0] - centre[0], p[1] - centre[1])
        if 2.3 - w <= d <= 2.3:
            return DKBLUE
    if seg_dist(p, (4.6, 1.0), (8.9, 9.2)) <= w * 0.6 or seg_dist(p, (11.4, 1.0), (7.1, 9.2)) <= w * 0.6:
        return BLACK
    return None


def tool_copy(p, w):
    front = page(p, (5.5, 4.0, 15.5, 14.0), (6.5, 8.5, 10.5), w)
    if front is not None:
        return front
    return page(p, (1.0, 1.0, 8.0, 10.0), (3.5, 5.5, 7.5), w)


def tool_paste(p, w):
    sheet = page(p, (7.5, 5.5, 16.0, 14.0), (8.0, 10.0, 12.0), w)
    if sheet is not None:
        return sheet
    if in_rect(p, (4.0, 0.8, 9.0, 3.5)):
        return BLACK
    board = (0.3, 2.0, 12.8, 12.0)
    if in_rect(p, board):
        return DKYELLOW if in_rect(p, (board[0] + w, board[1] + w, board[2] - w, board[3] - w)) else BLACK
    return None


def tool_about(p, w):
    cx, cy, rx, ry = 7.5, 5.6, 5.6, 4.7
    e = math.hypot((p[0] - cx) / rx, (p[1] - cy) / ry)
    if e <= 1.0:
        if e > 1.0 - w / min(rx, ry):
            return BLACK
        # The question mark: a hook, its stem and the dot.
        d = math.hypot(p[0] - 7.5, p[1] - 3.9)
        ang = math.degrees(math.atan2(p[1] - 3.9, p[0] - 7.5))
        if abs(d - 1.7) <= w * 0.6 and not (100 < ang < 180):
            return DKBLUE
        if seg_dist(p, (8.0, 5.5), (7.5, 6.5)) <= w * 0.6:
            return DKBLUE
        if math.hypot(p[0] - 7.5, p[1] - 8.4) <= max(0.6, w * 0.6):
            return DKBLUE
        return WHITE
    # The balloon's tail.
    if seg_dist(p, (6.6, 9.6), (5.2, 13.6)) <= w * 0.6:
        return BLACK
    return None


TOOLS = (tool_cut, tool_copy, tool_paste, tool_about)


def toolbar_strip(size):
    """Rows of palette indices: the four images side by side, each `size`
    wide and 15/16 of that high, as the 16-pixel ones are."""
    h = (size * 15 + 8) // 16
    scale = size / 16.0
    w = max(1, int(scale + 0.25)) / scale  # a line: whole pixels wide, in picture units
    PIXEL[0] = 1 / scale
    rows = []
    for y in range(h):
        row = []
        for tool in TOOLS:
            for x in range(size):
                colour = tool(((x + 0.5) / scale, (y + 0.5) / scale), w)
                row.append(LTGRAY if colour is None else colour)
        rows.append(row)
    return rows


def radar_rgba(size):
    """The radar scope at any size, as rows of (R, G, B, A), edges smoothed by
    sampling each pixel 4 x 4 times."""
    c = size / 2.0
    r = size / 2.0 - 0.25
    lw = max(1.0, size / 32.0)  # line width in pixels
    sweep = math.radians(-50)
    blips = [(c + bx * r, c + by * r) for bx, by in ((0.45, -0.2), (-0.35, 0.4))]
    blip_r = max(0.8, size / 22.0)

    def colour_at(x, y):
        dx, dy = x - c, y - c
        d = math.hypot(dx, dy)
        if d > r:
            return None
        if d > r - max(1.2, lw * 1.2):
            return PALETTE[DKGRAY] if size > 16 else PALETTE[DKGREEN]
        for bx, by in blips:
            if math.hypot(x - bx, y - by) <= blip_r:
                return PALETTE[YELLOW]
        if seg_dist((x, y), (c, c), (c + math.cos(sweep) * r, c + math.sin(sweep) * r)) <= lw * 0.6:
            return PALETTE[GREEN]
        behind = (sweep - math.atan2(dy, dx)) % (2 * math.pi)
        if behind < 0.9:
            return PALETTE[DKGREEN]  # the afterglow of the sweep
        if any(abs(d - ring) <= lw * 0.5 for ring in (r * 0.35, r * 0.7)) or min(abs(dx), abs(dy)) <= lw * 0.5:
            return PALETTE[DKGREEN]
        return PALETTE[BLACK]

    n = 4
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0, 0, 0]
            hits = 0
            for sy in range(n):
                for sx in range(n):
                    col = colour_at(x + (sx + 0.5) / n, y + (sy + 0.5) / n)
                    if col is not None:
                        hits += 1
                        for i in range(3):
                            acc[i] += col[i]
            if hits:
                row.append(tuple((v + hits // 2) // hits for v in acc) + ((255 * hits + n * n // 2) // (n * n),))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def dib32(rows):
    """A 32-bit DIB as stored in an .ico: header, BGRA bits, an AND mask."""
    h, w = len(rows), len(rows[0])
    header = struct.pack('<IiiHHIIiiII', 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b''.join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    stride = (w + 31) // 32 * 4
    andbits = b''
    for row in reversed(rows):
        line = bytearray(stride)
        for i, px in enumerate(row):
            if px[3] == 0:
                line[i // 8] |= 0x80 >> (i % 8)
        andbits += bytes(line)
    return header + xor + andbits


def png(rows):
    """A PNG of RGBA rows, without anything that changes from run to run."""
    h, w = len(rows), len(rows[0])
    raw = b''.join(b'\0' + b''.join(bytes(px) for px in row) for row in rows)

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF)

    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def write_icon_sizes(path):
    images = []
    for size in ICON_SIZES:
        rows = radar_rgba(size)
        images.append((size, png(rows) if size >= 256 else dib32(rows)))
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(data for _, data in images))


if __name__ == '__main__':
    here = os.path.dirname(os.path.abspath(__file__))
    write_icon(os.path.join(here, 'koltSSel.ico'))
    write_toolbar(os.path.join(here, 'toolbar.bmp'))
    write_icon_sizes(os.path.join(here, 'koltSSel-sizes.ico'))
    for size in TOOLBAR_SIZES:
        write_bmp4(os.path.join(here, 'toolbar-%d.bmp' % size), toolbar_strip(size))
