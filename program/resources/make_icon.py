#!/usr/bin/env python3
"""Draws the program's icon: a 32x32 and a 16x16 image of 16 colours."""
import math
import struct
import sys

# Sixteen steps along the plasma's own colour ramps (blue, green, cyan, white).
PALETTE = [
    (0, 0, 0), (0, 0, 128), (0, 0, 255), (0, 64, 192), (0, 128, 128), (0, 192, 64),
    (0, 255, 0), (0, 255, 64), (0, 255, 128), (0, 255, 192), (0, 255, 255),
    (64, 255, 255), (128, 255, 255), (192, 255, 255), (255, 255, 255), (0, 32, 32),
]
# Colour index order from dark to light and back, like the plasma's palette.
BANDS = [0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 13, 12, 11, 10, 9, 8, 6, 4, 2]


def image(size):
    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            u, v = x / size, y / size
            s = (math.sin(u * 7.0) + math.sin(v * 5.0 + u * 3.0)
                 + math.sin(math.hypot(u - 0.5, v - 0.5) * 11.0) + 3.0) / 6.0
            row.append(BANDS[int(s * (len(BANDS) - 1)) % len(BANDS)])
        pixels.append(row)
    return pixels


def dib(size):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    stride = ((size * 4 + 31) // 32) * 4
    xor = b""
    for row in reversed(image(size)):  # bitmaps are stored bottom-up
        line = bytes((row[i] << 4) | row[i + 1] for i in range(0, size, 2))
        xor += line.ljust(stride, b"\0")
    mask_stride = ((size + 31) // 32) * 4
    mask = b"\0" * (mask_stride * size)  # every pixel opaque
    return header + palette + xor + mask


def main(path):
    images = [dib(32), dib(16)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((32, 16), images):
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "plasma.ico")
