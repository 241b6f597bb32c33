#!/usr/bin/env python3
"""Draws t905's icon (16x16 and 32x32, 16 colours) and writes it as a .ico file.

A sheet of paper with three lines of growing width and a small arrow: a layer
turned into a line width. Standard library only, so the icon can be redrawn
anywhere:  python3 scripts/make_icon.py app/win32/t905.ico
"""
import struct
import sys

# The classic 16-colour palette (R, G, B); indexes used below.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, NAVY, GREY, SILVER, RED, WHITE = 0, 4, 8, 7, 9, 15
CLEAR = None


def draw(size):
    """Returns rows (top first) of palette indexes or CLEAR."""
    u = size // 16  # one 16x16 pixel in this size
    img = [[CLEAR] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(y0, y1):
            for x in range(x0, x1):
                img[y][x] = colour

    # Paper with a grey edge and a shadow.
    rect(1 * u, 1 * u, 14 * u, 15 * u, GREY)
    rect(1 * u + 1, 1 * u + 1, 14 * u - 1, 15 * u - 1, WHITE)
    rect(14 * u, 2 * u, 15 * u, 16 * u, SILVER)
    rect(2 * u, 15 * u, 15 * u, 16 * u, SILVER)
    # Three lines, each wider than the one above.
    rect(6 * u, 3 * u, 13 * u, 3 * u + max(1, u // 2), BLACK)
    rect(6 * u, 7 * u, 13 * u, 8 * u, NAVY)
    rect(6 * u, 11 * u, 13 * u, 13 * u, RED)
    # The arrow on the left, pointing at the lines.
    rect(2 * u, 7 * u, 4 * u, 8 * u, RED)
    for j in range(2 * u):
        reach = 2 * u - 1 - j
        rect(4 * u + j, 7 * u - reach, 4 * u + j + 1, 8 * u + reach, RED)
    return img


def bmp_entry(size):
    img = draw(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(img):  # bottom-up
        line = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x, colour in enumerate(row):
            index = 0 if colour is CLEAR else colour
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
            if colour is CLEAR:
                bits[x // 8] |= 0x80 >> (x % 8)
        xor += line
        mask += bits
    return header + palette + bytes(xor) + bytes(mask)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else 'app/win32/t905.ico'
    images = [bmp_entry(16), bmp_entry(32)]
    data = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip((16, 32), images):
        data += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    with open(out, 'wb') as f:
        f.write(data + b''.join(images))


if __name__ == '__main__':
    main()
