#!/usr/bin/env python3
"""Draws the program's icon: two overlapping lenses, one blue and one red.

Writes app/resources/twinlens.ico (32x32 and 16x16, 32-bit BGRA). The icon
is committed; run this only to change it.
"""
import math
import struct
import sys


def lens_pixels(size):
    """BGRA rows, bottom-up, as an icon's bitmap wants them."""
    radius = size * 0.30
    ring = max(1.0, size / 12)
    centres = [(size * 0.36, size * 0.50, (0xD0, 0x60, 0x20)),  # blue (B, G, R)
               (size * 0.64, size * 0.50, (0x30, 0x30, 0xE0))]  # red
    rows = []
    for y in range(size - 1, -1, -1):
        row = bytearray()
        for x in range(size):
            px, py = x + 0.5, y + 0.5
            colour, alpha = (0, 0, 0), 0
            for cx, cy, c in centres:
                d = math.hypot(px - cx, py - cy)
                if d <= radius:
                    if d >= radius - ring:
                        colour, alpha = c, 255
                    elif alpha == 0:
                        colour, alpha = (0xF4, 0xEE, 0xE8), 200
            row += bytes((colour[0], colour[1], colour[2], alpha))
        rows.append(bytes(row))
    return b"".join(rows)


def icon_image(size):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    mask_row = ((size + 31) // 32) * 4
    return header + lens_pixels(size) + bytes(mask_row * size)


def main(path):
    images = [icon_image(32), icon_image(16)]
    sizes = [32, 16]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    out += b"".join(images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "app/resources/twinlens.ico")
