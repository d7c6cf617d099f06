#!/usr/bin/env python3
"""Draws Wendelkamm's icon, a yellow smiley, and writes it once for every use:

  wendelkamm.ico      32 x 32 and 16 x 16, 16 colours (the Qt window and the Windows resource)
  wendelkamm-32.png   the same two images for the Linux icon theme
  wendelkamm-16.png
  wendelkamm-48.png   the larger sizes of the icon theme, drawn from the same shapes in full
  ... -256.png        colour with smooth edges (48, 64, 128 and 256 pixels)
  wendelkamm-192.png  the web app's icons (192 and 512 pixels), drawn the same way
  wendelkamm-512.png
  wendelkamm-maskable-512.png   the web app's icon that a launcher crops to its own shape, and
  wendelkamm-apple-180.png      the home-screen icon of iPad and iPhone: both on an opaque
                                ground, the smiley within the middle that every crop keeps

A yellow disc with a black outline, two black upright oval eyes and a black smiling mouth, on a
transparent ground. The 32-pixel image is drawn from the shapes below, sampled 8 x 8 times per
pixel; at 16 pixels those shapes come out ragged, so that image is set pixel by pixel after them.
The larger images keep each pixel's
share of ground, yellow and black as its transparency and colour. Run it again after a change; the outputs are kept in the repository so that building needs no
Python. The sizes and the ground come from the facts that CMake writes into the build folder:

  window/icon/smiley.py [build/wendelkamm.env]
"""
import math
import shlex
import struct
import sys
import zlib
from pathlib import Path

# The 16-colour palette (RGB), in the order Windows uses.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, YELLOW = 0, 11
CLEAR = None  # transparent

SAMPLES = 8

FACTS = dict(w.split('=', 1) for w in shlex.split(
    Path(sys.argv[1] if len(sys.argv) > 1 else 'build/wendelkamm.env').read_text()))

# The sizes of the icon theme above 32 pixels, and of the web app's icons.
LARGER = tuple(s for s in map(int, FACTS['WENDELKAMM_SYMBOLE_THEMA'].split()) if s > 32)
WEB = tuple(map(int, FACTS['WENDELKAMM_SYMBOLE_WEB'].split()))

# The ground of the icons that must be opaque: the page's background. A maskable icon's
# launcher keeps at least the circle of 80 % of its width, so the smiley fills 72 % of it; the
# Apple icon loses only its rounded corners.
GROUND = bytes.fromhex(FACTS['WENDELKAMM_HINTERGRUND'].lstrip('#'))
OPAQUE = {f'wendelkamm-maskable-{WEB[-1]}.png': (WEB[-1], 0.72), 'wendelkamm-apple-180.png': (180, 0.86)}


def shapes(size):
    """The smiley's parts as tests on a point (x, y) in pixel units."""
    c = size / 2
    r = size / 2 - 0.25
    outline = max(1.0, size / 16)
    eye_dx, eye_y = 0.19 * size, 0.36 * size
    eye_rx, eye_ry = 0.065 * size, 0.12 * size
    mouth_r, mouth_w = 0.29 * size, max(1.0, 0.075 * size)
    mouth_cy = 0.47 * size

    def disc(x, y):
        return math.hypot(x - c, y - c) <= r

    def rim(x, y):
        return r - outline <= math.hypot(x - c, y - c) <= r

    def eye(x, y):
        return any(((x - (c + s * eye_dx)) / eye_rx) ** 2 + ((y - eye_y) / eye_ry) ** 2 <= 1
                   for s in (-1, 1))

    def mouth(x, y):
        d = math.hypot(x - c, y - mouth_cy)
        angle = math.degrees(math.atan2(y - mouth_cy, x - c))  # 90 is straight down
        return abs(d - mouth_r) <= mouth_w / 2 and 25 <= angle <= 155

    return disc, rim, eye, mouth


def coverage(size, canvas=None):
    """For each pixel, row by row, how many of its SAMPLES x SAMPLES points lie on the disc and
    how many of those are black (outline, eyes, mouth). The smiley is drawn size pixels wide
    in the middle of an image canvas pixels wide (by default as wide as the smiley)."""
    canvas = canvas or size
    offset = (canvas - size) / 2
    disc, rim, eye, mouth = shapes(size)
    for py in range(canvas):
        row = []
        for px in range(canvas):
            inside = black = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = px - offset + (sx + 0.5) / SAMPLES
                    y = py - offset + (sy + 0.5) / SAMPLES
                    if disc(x, y):
                        inside += 1
                        if rim(x, y) or eye(x, y) or mouth(x, y):
                            black += 1
            row.append((inside, black))
        yield row


def draw(size):
    n = SAMPLES * SAMPLES

    def colour(inside, black):
        if inside < n * 0.35:
            return CLEAR
        if black >= n * 0.4 or inside < n * 0.75:
            return BLACK  # the outline takes the disc's ragged edge
        return YELLOW

    return [[colour(*pixel) for pixel in row] for row in coverage(size)]


def draw_smooth(size):
    """The same shapes in full colour: each pixel's coverage gives its alpha, and its share of
    black within the disc darkens the yellow."""
    n = SAMPLES * SAMPLES

    def colour(inside, black):
        if inside == 0:
            return (0, 0, 0, 0)
        yellow = (inside - black) / inside
        return tuple(round(v * yellow) for v in PALETTE[YELLOW]) + (round(255 * inside / n),)

    return [[colour(*pixel) for pixel in row] for row in coverage(size)]


def draw_opaque(canvas, share):
    """The smooth smiley, share of the image wide, on the opaque GROUND (RGB pixels)."""
    n = SAMPLES * SAMPLES

    def colour(inside, black):
        a = inside / n
        yellow = (inside - black) / inside if inside else 0
        return tuple(round(g * (1 - a) + v * yellow * a) for g, v in zip(GROUND, PALETTE[YELLOW]))

    return [[colour(*pixel) for pixel in row] for row in coverage(round(canvas * share), canvas)]


# The 16-pixel smiley: '#' black, 'o' yellow, '.' transparent.
SMALL = """
.....######.....
...##oooooo##...
..#oooooooooo#..
.#oooooooooooo#.
.#oo##oooo##oo#.
#ooo##oooo##ooo#
#ooo##oooo##ooo#
#oooooooooooooo#
#oooooooooooooo#
#oo#oooooooo#oo#
#ooo#oooooo#ooo#
.#ooo######ooo#.
.#oooooooooooo#.
..#oooooooooo#..
...##oooooo##...
.....######.....
"""


def parse(art):
    colour = {'.': CLEAR, '#': BLACK, 'o': YELLOW}
    return [[colour[ch] for ch in line] for line in art.split()]


def ico_image(image):
    """One image of an .ico: a 4-bit BMP with its AND mask, bottom-up."""
    size = len(image)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('BBBB', b, g, r, 0) for r, g, b in PALETTE)
    xor = b''
    mask = b''
    mask_row_bytes = ((size + 31) // 32) * 4
    for row in reversed(image):
        nibbles = [0 if p is CLEAR else p for p in row]
        xor += bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        bits = 0
        for p in row:
            bits = (bits << 1) | (1 if p is CLEAR else 0)
        mask += bits.to_bytes(size // 8, 'big').ljust(mask_row_bytes, b'\0')
    return header + palette + xor + mask


def ico(images):
    head = struct.pack('<HHH', 0, 1, len(images))
    offset = len(head) + 16 * len(images)
    entries = b''
    data = b''
    for image in images:
        size = len(image)
        body = ico_image(image)
        entries += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(body), offset + len(data))
        data += body
    return head + entries + data


def rgba(image):
    """A 16-colour image as RGBA pixels."""
    return [[(0, 0, 0, 0) if p is CLEAR else PALETTE[p] + (255,) for p in row] for row in image]


def png(image):
    """A PNG of RGBA pixels, or of RGB pixels for an opaque image."""
    size = len(image)
    colour_type = 6 if len(image[0][0]) == 4 else 2
    raw = b''
    for row in image:
        raw += b'\0' + b''.join(bytes(p) for p in row)

    def chunk(kind, body):
        return (struct.pack('>I', len(body)) + kind + body
                + struct.pack('>I', zlib.crc32(kind + body) & 0xffffffff))

    header = struct.pack('>IIBBBBB', size, size, 8, colour_type, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header)
            + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def show(image):
    return '\n'.join(''.join('.' if p is CLEAR else '#' if p == BLACK else 'o' for p in row)
                     for row in image)


if __name__ == '__main__':
    here = Path(__file__).resolve().parent
    big, small = draw(32), parse(SMALL)
    (here / 'wendelkamm.ico').write_bytes(ico([big, small]))
    (here / 'wendelkamm-32.png').write_bytes(png(rgba(big)))
    (here / 'wendelkamm-16.png').write_bytes(png(rgba(small)))
    for size in LARGER + WEB:
        (here / f'wendelkamm-{size}.png').write_bytes(png(draw_smooth(size)))
    for name, (canvas, share) in OPAQUE.items():
        (here / name).write_bytes(png(draw_opaque(canvas, share)))
    print(show(big))
    print()
    print(show(small))
