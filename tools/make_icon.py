#!/usr/bin/env python3
"""Writes the programs' icon: a 16-colour .ico with a 32x32 and a 16x16 image.

The picture is an engraver's head over a work plate with a beam between them.
Run: tools/make_icon.py OUT.ico
"""
import struct
import sys

# The 16-colour palette (blue, green, red, reserved), standard VGA order.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_GREY, GREY, RED, WHITE = 0, 8, 7, 9, 15


def pixel(x, y, size):
    """Palette index of the pixel at (x, y), y counted from the top."""
    unit = size / 16.0
    if y >= 13 * unit:                      # work plate
        return DARK_GREY
    if 2 * unit <= x < 14 * unit and 1 * unit <= y < 5 * unit:
        return GREY if y >= 2 * unit else WHITE  # engraver head
    if 7 * unit <= x < 9 * unit and 5 * unit <= y < 13 * unit:
        return RED                            # the beam
    return BLACK


def image(size):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", r, g, b, 0) for (r, g, b) in PALETTE)
    xor_row = ((size * 4 + 31) // 32) * 4
    and_row = ((size + 31) // 32) * 4
    xor = bytearray()
    for y in reversed(range(size)):           # bottom-up rows
        row = bytearray(xor_row)
        for x in range(size):
            index = pixel(x, y, size)
            row[x // 2] |= index << (4 if x % 2 == 0 else 0)
        xor += row
    mask = bytes(and_row * size)              # fully opaque
    return header + palette + bytes(xor) + mask


def main(out):
    images = [image(32), image(16)]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, data in zip((32, 16), images):
        entries += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    with open(out, "wb") as f:
        f.write(directory + entries + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1])
