#!/usr/bin/env python3
"""Draw the Tomelet viewer icons and write them as 16-colour Windows .ico files.

Standard library only; output is deterministic.  Run from anywhere:

    python3 res/icons/draw_icons.py

Each icon is drawn with simple geometry scaled to the image size, onto a
canvas of palette indices (None = transparent), then written as an ICO file:
ICONDIR, one ICONDIRENTRY per image, then per image a BITMAPINFOHEADER
(height doubled), the 16-entry palette, the 4-bit XOR bitmap and the 1-bit
AND mask, both bottom-up with rows padded to 4 bytes.
"""

import os
import struct

# Standard Windows 16-colour palette (RGB).
PALETTE = [
    (0x00, 0x00, 0x00),  # 0  black
    (0x80, 0x00, 0x00),  # 1  dark red
    (0x00, 0x80, 0x00),  # 2  dark green
    (0x80, 0x80, 0x00),  # 3  dark yellow
    (0x00, 0x00, 0x80),  # 4  dark blue
    (0x80, 0x00, 0x80),  # 5  dark magenta
    (0x00, 0x80, 0x80),  # 6  dark cyan
    (0xC0, 0xC0, 0xC0),  # 7  light grey
    (0x80, 0x80, 0x80),  # 8  dark grey
    (0xFF, 0x00, 0x00),  # 9  red
    (0x00, 0xFF, 0x00),  # 10 green
    (0xFF, 0xFF, 0x00),  # 11 yellow
    (0x00, 0x00, 0xFF),  # 12 blue
    (0xFF, 0x00, 0xFF),  # 13 magenta
    (0x00, 0xFF, 0xFF),  # 14 cyan
    (0xFF, 0xFF, 0xFF),  # 15 white
]

BLACK, DARK_RED, DARK_GREEN, DARK_YELLOW = 0, 1, 2, 3
DARK_BLUE, DARK_MAGENTA, DARK_CYAN, LIGHT_GREY = 4, 5, 6, 7
DARK_GREY, RED, GREEN, YELLOW = 8, 9, 10, 11
BLUE, MAGENTA, CYAN, WHITE = 12, 13, 14, 15


# ---------------------------------------------------------------- canvas

def new_canvas(n):
    return [[None] * n for _ in range(n)]


def put(c, x, y, col):
    if 0 <= y < len(c) and 0 <= x < len(c[0]):
        c[y][x] = col


def fill_rect(c, x0, y0, x1, y1, col):
    """Fill the rectangle with corners (x0, y0) and (x1, y1), inclusive."""
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            put(c, x, y, col)


def frame_rect(c, x0, y0, x1, y1, col):
    for x in range(x0, x1 + 1):
        put(c, x, y0, col)
        put(c, x, y1, col)
    for y in range(y0, y1 + 1):
        put(c, x0, y, col)
        put(c, x1, y, col)


def line(c, x0, y0, x1, y1, col):
    """Bresenham line, both ends included."""
    dx, dy = abs(x1 - x0), -abs(y1 - y0)
    sx = 1 if x0 < x1 else -1
    sy = 1 if y0 < y1 else -1
    err = dx + dy
    while True:
        put(c, x0, y0, col)
        if x0 == x1 and y0 == y1:
            return
        e2 = 2 * err
        if e2 >= dy:
            err += dy
            x0 += sx
        if e2 <= dx:
            err += dx
            y0 += sy


def scaled(n, v):
    """Scale a coordinate given on a 16-pixel grid to an n-pixel image."""
    return int(v * n / 16.0 + 0.5)


# ---------------------------------------------------------------- icons

def draw_book(n):
    """A closed book seen slightly from the side: a blue front cover with a
    title label, the dark blue spine on the left and the white page edges
    along the bottom, all outlined in black."""
    c = new_canvas(n)
    L, R = scaled(n, 1), n - 1 - scaled(n, 1)
    T, B = 0, n - 1
    t = {16: 3, 32: 5, 48: 7}.get(n, max(2, scaled(n, 2.5)))  # depth

    def in_hull(x, y):
        return (L <= x <= R and T <= y <= B
                and (x - L) + (y - T) >= t and (R - x) + (B - y) >= t)

    for y in range(n):
        for x in range(n):
            if not in_hull(x, y):
                continue
            edge = any(not in_hull(x + dx, y + dy)
                       for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            front = x >= L + t and y <= B - t
            if edge:
                col = BLACK
            elif front:
                if x == L + t or y == B - t:
                    col = BLACK              # cover's left / bottom edge
                else:
                    col = BLUE
            elif x - L == B - y:
                col = BLACK                  # spine / pages corner
            elif x - L < B - y:
                col = DARK_BLUE              # spine
            else:
                k = y - (B - t)              # page edges, striped
                col = LIGHT_GREY if k % 2 == 0 else WHITE
            c[y][x] = col

    # Title label on the cover.
    fx0, fx1 = L + t + 1, R - 1              # cover interior
    fy0 = T + 1
    w = fx1 - fx0 + 1
    lm = max(1, (w + 2) // 5)
    lx0, lx1 = fx0 + lm, fx1 - lm
    ly0 = fy0 + scaled(n, 2)
    lh = max(2, scaled(n, 3))
    ly1 = ly0 + lh - 1
    if n >= 32:
        fill_rect(c, lx0, ly0, lx1, ly1, WHITE)
        frame_rect(c, lx0, ly0, lx1, ly1, BLACK)
        # Two lines of "title text".
        for i, ty in enumerate((ly0 + lh // 3, ly0 + (2 * lh) // 3)):
            inset = 2 + (scaled(n, 1) if i else 0)
            for x in range(lx0 + inset, lx1 - inset + 1):
                c[ty][x] = DARK_GREY
    else:
        fill_rect(c, lx0, ly0, lx1, ly1, YELLOW)
    return c


def draw_page(n):
    """A white page with its top right corner folded over, black outline."""
    c = new_canvas(n)
    if n <= 8:
        L, R, f = 1, n - 2, 2
    else:
        L, R = scaled(n, 2), n - 1 - scaled(n, 2)
        f = max(3, scaled(n, 4))
    T, B = 0, n - 1
    fill_rect(c, L, T, R, B, WHITE)
    # Cut away the corner above the fold.
    for y in range(T, T + f):
        for x in range(R - f + 1 + (y - T), R + 1):
            c[y][x] = None
    # Outline.
    line(c, L, T, R - f, T, BLACK)
    line(c, R - f, T, R, T + f, BLACK)
    line(c, R, T + f, R, B, BLACK)
    line(c, L, B, R, B, BLACK)
    line(c, L, T, L, B, BLACK)
    # The folded flap: a light grey triangle under the diagonal.
    for y in range(T + 1, T + f):
        for x in range(R - f + 1, R - f + (y - T)):
            c[y][x] = LIGHT_GREY
    line(c, R - f, T, R - f, T + f, BLACK)
    line(c, R - f, T + f, R, T + f, BLACK)
    return c


def square_bounds(n):
    m = n // 16          # one pixel of margin from 16 up, none below
    return m, n - 1 - m


def draw_picture(n):
    """A square in four panes: yellow, red / blue, green, black frame."""
    c = new_canvas(n)
    a, b = square_bounds(n)
    mid = (a + b) // 2
    fill_rect(c, a + 1, a + 1, mid, mid, YELLOW)
    fill_rect(c, mid + 1, a + 1, b - 1, mid, RED)
    fill_rect(c, a + 1, mid + 1, mid, b - 1, BLUE)
    fill_rect(c, mid + 1, mid + 1, b - 1, b - 1, GREEN)
    frame_rect(c, a, a, b, b, BLACK)
    return c


def draw_book_info(n):
    """A blue square with a black border."""
    c = new_canvas(n)
    a, b = square_bounds(n)
    fill_rect(c, a, a, b, b, BLUE)
    frame_rect(c, a, a, b, b, BLACK)
    return c


def draw_attachment(n):
    """A yellow square crossed from corner to corner in grey, black border."""
    c = new_canvas(n)
    a, b = square_bounds(n)
    fill_rect(c, a, a, b, b, YELLOW)
    line(c, a + 1, a + 1, b - 1, b - 1, DARK_GREY)
    line(c, a + 1, b - 1, b - 1, a + 1, DARK_GREY)
    if n >= 24:  # thicker cross on the larger image
        line(c, a + 2, a + 1, b - 1, b - 2, DARK_GREY)
        line(c, a + 1, a + 2, b - 2, b - 1, DARK_GREY)
        line(c, a + 1, b - 2, b - 2, a + 1, DARK_GREY)
        line(c, a + 2, b - 1, b - 1, a + 2, DARK_GREY)
    frame_rect(c, a, a, b, b, BLACK)
    return c


# ---------------------------------------------------------------- ICO output

def image_bytes(c):
    """BITMAPINFOHEADER + palette + XOR bitmap + AND mask for one canvas."""
    n = len(c)
    xor_stride = ((n * 4 + 31) // 32) * 4
    and_stride = ((n + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for y in range(n - 1, -1, -1):            # bottom-up
        row = c[y]
        xrow = bytearray(xor_stride)
        mrow = bytearray(and_stride)
        for x, col in enumerate(row):
            if col is None:
                mrow[x // 8] |= 0x80 >> (x % 8)
                col = 0
            if x % 2 == 0:
                xrow[x // 2] |= col << 4
            else:
                xrow[x // 2] |= col
        xor += xrow
        mask += mrow
    header = struct.pack('<IiiHHIIiiII', 40, n, 2 * n, 1, 4, 0,
                         len(xor) + len(mask), 0, 0, 16, 0)
    pal = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    return header + pal + bytes(xor) + bytes(mask)


def ico_bytes(canvases):
    count = len(canvases)
    out = bytearray(struct.pack('<HHH', 0, 1, count))
    blobs = [image_bytes(c) for c in canvases]
    offset = 6 + 16 * count
    for c, blob in zip(canvases, blobs):
        n = len(c)
        out += struct.pack('<BBBBHHII', n % 256, n % 256, 16, 0, 1, 4,
                           len(blob), offset)
        offset += len(blob)
    for blob in blobs:
        out += blob
    return bytes(out)


ICONS = [
    ('book.ico', draw_book, (16, 32, 48)),
    ('page.ico', draw_page, (16, 24, 8, 12)),
    ('picture.ico', draw_picture, (16, 24, 8, 12)),
    ('book_info.ico', draw_book_info, (16, 24, 8, 12)),
    ('attachment.ico', draw_attachment, (16, 24, 8, 12)),
]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, draw, sizes in ICONS:
        data = ico_bytes([draw(n) for n in sizes])
        with open(os.path.join(here, name), 'wb') as f:
            f.write(data)
        print('%s: %s' % (name, ', '.join('%dx%d' % (n, n) for n in sizes)))


if __name__ == '__main__':
    main()
