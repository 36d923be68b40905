#!/usr/bin/env python3
"""Writes installicon.ico: two 16-colour icons (32x32 and 16x16) of an open
dictionary on a setup disc. Run again to reproduce the checked-in file."""
import struct
import sys

# The standard 16-colour VGA palette, as (blue, green, red, 0).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]  # given as (r, g, b)
BLACK, NAVY, WHITE, GREY, RED, YELLOW, BLUE = 0, 4, 15, 8, 9, 11, 12
TRANSPARENT = None


def picture(size):
    """A grid of palette indices (None = transparent), row 0 at the top."""
    s = size / 32.0
    grid = [[TRANSPARENT] * size for _ in range(size)]

    def fill(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), max(int(y0 * s) + 1, int(y1 * s))):
            for x in range(int(x0 * s), max(int(x0 * s) + 1, int(x1 * s))):
                if 0 <= x < size and 0 <= y < size:
                    grid[y][x] = colour

    fill(3, 6, 29, 28, NAVY)      # the cover
    fill(5, 7, 15, 26, WHITE)     # left page
    fill(17, 7, 27, 26, WHITE)    # right page
    fill(15, 6, 17, 28, BLUE)     # the spine
    for line in range(9, 24, 3):  # lines of text
        fill(7, line, 13, line + 1, GREY)
        fill(19, line, 25, line + 1, GREY)
    fill(22, 2, 24, 12, RED)      # the bookmark
    fill(10, 28, 22, 30, YELLOW)  # the setup arrow's base
    return grid


def icon_image(size):
    grid = picture(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    xor_rows, and_rows = [], []
    for row in reversed(grid):  # bottom-up
        nibbles = [(c if c is not None else 0) for c in row]
        data = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        xor_rows.append(data + b'\0' * (-len(data) % 4))
        bits = 0
        mask = bytearray()
        for i, c in enumerate(row):
            bits = (bits << 1) | (1 if c is None else 0)
            if i % 8 == 7:
                mask.append(bits)
                bits = 0
        and_rows.append(bytes(mask) + b'\0' * (-len(mask) % 4))
    return header + palette + b''.join(xor_rows) + b''.join(and_rows)


def main(path):
    images = [icon_image(32), icon_image(16)]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip((32, 16), images):
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'installicon.ico')
